#pragma once
// Screenshots: the back buffer saved as the next free "screenshot%04d.png" in the folder
// "screenshots" of the user's data folder. Every outcome is reported in the log.
#include <string>

namespace Spiel {

// Saves the current back buffer (called after the interface is drawn, before presenting).
void SpeichereBildschirmfoto();

// The screenshot folder below the user folder, created when missing; empty (and logged)
// when it cannot be had.
std::wstring BildschirmfotoOrdner(const std::wstring& benutzerPfad);
// The first name "screenshot%04d.png" in the folder that is not taken, as a full path; empty
// when 0000 to 9999 are all taken.
std::wstring FreierBildschirmfotoName(const std::wstring& ordner);

}  // namespace Spiel
