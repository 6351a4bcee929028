#include "spiel/welt/modell.h"

#include "spiel/welt/modellpuffer.h"

namespace Spiel {

std::map<std::string, Modell*> Modellregister;

Modell::Modell(const Vertex* vertices, uint64_t vertexAnzahl, const uint32_t* indizes, uint64_t indexAnzahl,
               bool veraenderlich)
    : mDreiecke(indexAnzahl / 3), mVeraenderlich(veraenderlich)
{
    if (ModellPuffer* puffer = AktuelleModellPuffer())
        puffer->Erzeuge(*this, vertices, vertexAnzahl, indizes, indexAnzahl);
}

Modell::Modell(const Netz& netz, bool veraenderlich)
    : Modell(netz.mVertices.data(), netz.mVertices.size(), netz.mIndizes.data(), netz.mIndizes.size(), veraenderlich)
{
}

void Modell::Aktualisiere(const Netz& netz, uint64_t anzahl, bool indizesNeu)
{
    if (indizesNeu)
        mDreiecke = netz.Dreiecke();
    if (ModellPuffer* puffer = AktuelleModellPuffer())
        puffer->Aktualisiere(*this, netz, anzahl, indizesNeu);
}

void Modell::Freigeben()
{
    if (ModellPuffer* puffer = AktuelleModellPuffer())
        puffer->GibFrei(*this);
    mVertexPuffer = nullptr;
    mIndexPuffer = nullptr;
}

Modell* SucheModell(const std::string& name)
{
    const auto it = Modellregister.find(name);
    return it == Modellregister.end() ? nullptr : it->second;
}

void GebeModelleFrei()
{
    for (auto& [name, modell] : Modellregister)
    {
        if (modell)
        {
            modell->Freigeben();
            delete modell;
        }
    }
    Modellregister.clear();
}

}  // namespace Spiel
