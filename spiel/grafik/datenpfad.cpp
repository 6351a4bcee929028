#include "spiel/grafik/datenpfad.h"

#include "quarzklassen/kern/quarz_system.h"

std::wstring DatenPfad() { return L"Daten"; }

std::wstring DatenOrdner()
{
    std::wstring ordner = gSystem.mAnwendungsPfad;
    if (!ordner.empty() && ordner.back() != L'/')
        ordner += L'/';
    return ordner + DatenPfad();
}

std::wstring DatenDatei(const std::wstring& name) { return DatenOrdner() + L'/' + name; }
