#pragma once
// Small helpers the graphics classes share: the active drawing context and its device, and
// the create-with-eviction loop that every video-memory resource runs.
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

#include "plattform/d3d9/d3d9.h"

class Quarz_ZeichenKontext;
class Quarz_BasisObjekt;

namespace Quarz::Intern {

// How often a create call that reports out of video memory is retried after an eviction.
// When the eviction frees nothing, repeating forever would hang the program.
constexpr int kMaxPlatzVersuche = 3;

// How often a device reset that answers "device lost" is tried again. A device that stays lost
// would otherwise keep the reset loop, and the program, waiting forever.
constexpr int kMaxResetVersuche = 50;

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

// Copies `bytes` bytes to the start of a vertex or index buffer, discarding its old content
// when `verwerfen`; false when there is no buffer or it cannot be locked.
template <class Buffer>
bool FuelleBuffer(Buffer* buffer, const void* daten, uint64_t bytes, bool verwerfen) {
  void* ziel = nullptr;
  const DWORD sperre = verwerfen ? D3DLOCK_DISCARD : 0;
  if (!buffer || FAILED(buffer->Lock(0, static_cast<UINT>(bytes), &ziel, sperre)) || !ziel)
    return false;
  std::memcpy(ziel, daten, bytes);
  buffer->Unlock();
  return true;
}

// Runs `setzeZurueck` (the device's Reset, returning an HRESULT) after a pause, again while it
// answers D3DERR_DEVICELOST, at most kMaxResetVersuche times; gives the last answer.
template <class F>
HRESULT SetzeGeraetZurueck(F&& setzeZurueck,
                           std::chrono::milliseconds pause = std::chrono::milliseconds(100)) {
  HRESULT hr = D3DERR_DEVICELOST;
  for (int versuch = 0; versuch < kMaxResetVersuche && hr == D3DERR_DEVICELOST; ++versuch) {
    std::this_thread::sleep_for(pause);
    hr = setzeZurueck();
  }
  return hr;
}

// The run-time class name of a resource, demangled ("Quarz_Textur"), for the leak report.
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
