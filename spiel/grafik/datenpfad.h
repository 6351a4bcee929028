#pragma once
// The game's data folder: "Daten" under the application folder (the folder above bin64/).
// Every data file of the game is looked up there.
#include <string>

// The folder's name relative to the application folder.
std::wstring DatenPfad();
// The application folder joined with DatenPfad(); with a name, that file inside it.
std::wstring DatenOrdner();
std::wstring DatenDatei(const std::wstring& name);
