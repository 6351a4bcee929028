#include "spiel/welt/baum.h"

#include <algorithm>
#include <string>

#include "spiel/welt/pruefung.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/zufall.h"

namespace Spiel {

Baum::Baum(Szene* szene, const Vektor& position, bool setzling)
    : Objekt(szene, position), mZustand(setzling ? Zustand::Setzling : Zustand::Steht)
{
    Melde(ART);
    Melde(Art::Grundflaeche);
    mRadius = 5.0f;
    const std::string modell = "baum" + std::to_string(Spiel::rand() % 3);
    mInstanz = NeueInstanz(modell.c_str(), Welt(setzling ? 0.0f : 1.0f));
}

Baum::~Baum() { EntferneInstanz(mInstanz); }

TMatrix4 Baum::Welt(float s) const
{
    TMatrix4 welt = TMatrix4::Skalierung(s, s, s);
    welt *= TMatrix4::RotationY(AdressWinkel());
    welt *= TMatrix4::Verschiebung(mPosition.x, mPosition.y, mPosition.z);
    return welt;
}

void Baum::StarteWachstum()
{
    mZustand = Zustand::Waechst;
    mWachstumsdauer = static_cast<int64_t>(480.0f * gTimerFrequenz);
    mZeitpunkt = Jetzt() + mWachstumsdauer;
}

void Baum::Reserviere()
{
    SPIEL_PRUEFE(mZustand == Zustand::Steht);
    mZustand = Zustand::Reserviert;
}

void Baum::Faelle()
{
    mZustand = Zustand::Faellt;
    mZeitpunkt = Jetzt();
}

void Baum::SetzeHoehe(float y)
{
    mPosition.y = y;
    if (mZustand == Zustand::Steht)
        SetzeMatrix(mInstanz, Welt(1.0f));
}

void Baum::Aktualisiere()
{
    const Zeitpunkt jetzt = Jetzt();
    if (mZustand == Zustand::Waechst)
    {
        if (jetzt >= mZeitpunkt || mWachstumsdauer == 0)
        {
            mZustand = Zustand::Steht;
            return;
        }
        const float f = Sekunden(mZeitpunkt - jetzt) / Sekunden(mWachstumsdauer);
        SetzeMatrix(mInstanz, Welt(1.0f - std::max(f, 0.0f)));
    }
    else if (mZustand == Zustand::Faellt)
    {
        const float t = Sekunden(jetzt - mZeitpunkt);
        const float anteil = t / 3.0f;
        const float kippen = std::min(anteil * anteil, 1.0f) * 1.5707964f;
        const float sinken = std::max(t - 3.0f, 0.0f);
        TMatrix4 welt = TMatrix4::RotationZ(kippen);
        welt *= TMatrix4::RotationY(AdressWinkel());
        welt *= TMatrix4::Verschiebung(mPosition.x, mPosition.y - sinken * sinken * 10.0f, mPosition.z);
        SetzeMatrix(mInstanz, welt);
        if (t > 4.0f && !mLoeschungGeplant)
        {
            mLoeschungGeplant = true;
            LoescheVerzoegert(0, this);
        }
    }
}

}  // namespace Spiel
