#include "spiel/welt/objekt.h"

#include <cstdint>

#include "quarzklassen/kern/quarz_timer.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/pruefung.h"
#include "spiel/welt/szene.h"

namespace Spiel {

Objekt::Objekt(Szene* szene, const Vektor& position) : mSzene(szene), mSzeneIndex(SIZE_MAX), mPosition(position)
{
    mSzeneIndex = mSzene->mObjekte.Einfuegen(this);
}

Objekt::~Objekt()
{
    SPIEL_PRUEFE(mSzeneIndex != SIZE_MAX);
    for (size_t art = 0; art < ARTEN; ++art)
        if (IstArt(static_cast<Art>(art)))
            mSzene->TrageAus(static_cast<Art>(art), this);
    mSzene->mObjekte.Entfernen(mSzeneIndex);
}

void Objekt::Melde(Art art)
{
    if (IstArt(art))
        return;
    mArten |= 1u << static_cast<uint32_t>(art);
    mSzene->TrageEin(art, this);
}

Zeitpunkt Objekt::Jetzt() const { return mSzene->Jetzt(); }
int64_t Objekt::Schritt() const { return mSzene->Schritt(); }

uint64_t Objekt::NeueInstanz(const char* modellName, const TMatrix4& welt)
{
    return NeueInstanz(SucheModell(modellName), welt);
}

uint64_t Objekt::NeueInstanz(const Modell* modell, const TMatrix4& welt)
{
    return mSzene->mInstanzen.Einfuegen(RenderInstanz(modell, welt));
}

void Objekt::EntferneInstanz(uint64_t& index)
{
    if (index != SIZE_MAX)
        mSzene->mInstanzen.Entfernen(index);
    index = SIZE_MAX;
}

void Objekt::SetzeMatrix(uint64_t index, const TMatrix4& welt)
{
    if (index != SIZE_MAX)
        mSzene->SetzeInstanzMatrix(index, welt);
}

float Objekt::AdressWinkel() const
{
    const uint64_t adresse = reinterpret_cast<uintptr_t>(this);
    return static_cast<float>((adresse * 3613u) % 65536u) * 9.58738e-5f;
}

uint64_t LoescheVerzoegert(int64_t verzoegerung, Objekt* objekt)
{
    Szene* szene = objekt ? objekt->mSzene : nullptr;
    const uint64_t id = gTimer.Einplanen(verzoegerung, [szene, objekt]() {
        if (!objekt)
            return;
        szene->VergissLoeschung(objekt);
        delete objekt;
    });
    if (szene)
        szene->MerkeLoeschung(objekt, id);
    return id;
}

}  // namespace Spiel
