#include "spiel/datenpfad.h"

std::wstring DatenPfad()
{
    return L"Daten";
}
