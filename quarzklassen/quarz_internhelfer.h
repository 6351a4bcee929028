#pragma once
// Small helpers the graphics classes share: the active drawing context and its device, and
// the create-with-eviction loop that every video-memory resource runs.
#include <cstdint>
#include <string>

#include "plattform/d3d9.h"

// The texture and target classes are completed with the texture code; their fields are read
// here through their declarations, without needing their type information at link time.
#define QUARZ_OHNE_TYPPRUEFUNG __attribute__((no_sanitize("vptr")))

class Quarz_ZeichenKontext;
class Quarz_BasisObjekt;

namespace Quarz::Intern {

// How often a create call that reports out of video memory is retried after an eviction.
// When the eviction frees nothing, repeating forever would hang the program.
constexpr int kMaxPlatzVersuche = 3;

// The drawing context that is alive (null before the screen starts and after it closed).
Quarz_ZeichenKontext* Kontext();
// Its Direct3D device, or null.
IDirect3DDevice9* Geraet();
// Its depth format (chosen at device creation).
D3DFORMAT TiefenFormat();

// Evicts old resources of the active context (Quarz_Screen3D::SchaffeVideoRAMPlatz).
void SchaffePlatz();

// Runs `erzeuge` (returning an HRESULT); while it answers out of video memory, makes room and
// tries again, at most kMaxPlatzVersuche times. With `meldeKnapp` each eviction is announced
// by the warning line that textures and depth buffers write.
template <class F>
HRESULT ErzeugeMitPlatz(F&& erzeuge, bool meldeKnapp);

void MeldeKnapp();

// The run-time class name of a resource, demangled ("Quarz_Textur").
std::string KlassenName(const Quarz_BasisObjekt* objekt);

template <class F>
HRESULT ErzeugeMitPlatz(F&& erzeuge, bool meldeKnapp) {
  HRESULT hr = erzeuge();
  for (int versuch = 0; hr == D3DERR_OUTOFVIDEOMEMORY && versuch < kMaxPlatzVersuche; ++versuch) {
    if (meldeKnapp) MeldeKnapp();
    SchaffePlatz();
    hr = erzeuge();
  }
  return hr;
}

}  // namespace Quarz::Intern
