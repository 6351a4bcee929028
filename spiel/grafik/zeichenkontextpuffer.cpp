#include "spiel/grafik/zeichenkontextpuffer.h"

#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "spiel/welt/modell.h"

namespace Spiel {

namespace {
// Static usage; the index format 32-bit in the low byte.
constexpr uint32_t kStatisch = 0;
constexpr uint32_t kDynamisch = FLAG_DYNAMISCH;
constexpr uint32_t kIndex32Statisch = 2;
}  // namespace

void ZeichenKontextPuffer::Erzeuge(Modell& modell, const Vertex* vertices, uint64_t vertexAnzahl,
                                   const uint32_t* indizes, uint64_t indexAnzahl)
{
    // An empty mesh (a tower without rings, a world without regions) gets no buffers: a buffer
    // of size 0 is a precondition violation, and there is nothing to draw.
    if (vertexAnzahl == 0 || indexAnzahl == 0)
        return;
    // Not handed over: the buffers copy the content, the lists stay the caller's.
    TInitialInhalt vertexInhalt{const_cast<Vertex*>(vertices), vertexAnzahl * sizeof(Vertex), 0};
    TInitialInhalt indexInhalt{const_cast<uint32_t*>(indizes), indexAnzahl * sizeof(uint32_t), 0};
    modell.mVertexPuffer = mKontext.ErzeugeVertexBuffer(0, modell.mVeraenderlich ? kDynamisch : kStatisch, &vertexInhalt);
    modell.mIndexPuffer = mKontext.ErzeugeIndexBuffer(0, kIndex32Statisch, &indexInhalt);
}

void ZeichenKontextPuffer::Aktualisiere(Modell& modell, const Netz& netz, uint64_t anzahl, bool indizesNeu)
{
    if (!modell.mVertexPuffer || !modell.mVeraenderlich)
        return;
    if (anzahl > 0 && !netz.mVertices.empty())
    {
        // A dynamic buffer's write discards: whatever it does not cover is undefined afterwards,
        // so the whole vertex list goes up, however few vertices changed. A list of another
        // length than the buffer's gets a buffer of its own.
        const uint64_t bytes = netz.mVertices.size() * sizeof(Vertex);
        TInitialInhalt inhalt{const_cast<Vertex*>(netz.mVertices.data()), bytes, 0};
        if (bytes == modell.mVertexPuffer->mGroesse)
            modell.mVertexPuffer->SchreibeInhalt(&inhalt);
        else
        {
            mKontext.Freigeben(modell.mVertexPuffer);
            modell.mVertexPuffer = mKontext.ErzeugeVertexBuffer(0, kDynamisch, &inhalt);
        }
    }
    if (indizesNeu)
    {
        // Index buffers are static: the new list gets a buffer of its own.
        if (modell.mIndexPuffer)
            mKontext.Freigeben(modell.mIndexPuffer);
        modell.mIndexPuffer = nullptr;
        if (!netz.mIndizes.empty())
        {
            TInitialInhalt indexInhalt{const_cast<uint32_t*>(netz.mIndizes.data()),
                                       netz.mIndizes.size() * sizeof(uint32_t), 0};
            modell.mIndexPuffer = mKontext.ErzeugeIndexBuffer(0, kIndex32Statisch, &indexInhalt);
        }
    }
}

void ZeichenKontextPuffer::GibFrei(Modell& modell)
{
    if (modell.mVertexPuffer)
        mKontext.Freigeben(modell.mVertexPuffer);
    if (modell.mIndexPuffer)
        mKontext.Freigeben(modell.mIndexPuffer);
}

}  // namespace Spiel
