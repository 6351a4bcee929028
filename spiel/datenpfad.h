#pragma once
// The game's data folder, relative to the application folder: every data file is looked up as
// gSystem.mAnwendungsPfad / DatenPfad() / name.
#include <string>

std::wstring DatenPfad();
