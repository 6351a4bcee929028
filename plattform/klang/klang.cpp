#include "plattform/klang/klang.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include "plattform/klang/intern/klang_alsa.h"

namespace Klang {

namespace {
std::atomic<Fabrik> gFabrik{nullptr};
std::atomic<MeldungsZiel> gMeldungsZiel{nullptr};
}  // namespace

Ergebnis System_Create(System** system) {
  *system = nullptr;
  const Fabrik fabrik = gFabrik.load();
  return fabrik ? fabrik(system) : Intern::ErstelleAlsa(system);
}

void SetzeFabrik(Fabrik fabrik) { gFabrik.store(fabrik); }

void SetzeMeldungsZiel(MeldungsZiel ziel) { gMeldungsZiel.store(ziel); }

void Melde(const char* zeile) {
  if (const MeldungsZiel ziel = gMeldungsZiel.load()) ziel(zeile);
}

Ergebnis AusFehlerNummer(int fehler) {
  switch (-fehler) {
    case 0: return OK;
    case ENOENT: return DATEI_NICHT_GEFUNDEN;
    case ENOMEM: return KEIN_SPEICHER;
    case EBUSY:
    case EAGAIN: return GERAET_BELEGT;
    case EINVAL: return UNGUELTIGER_PARAMETER;
    case ENODEV:
    case ENXIO: return GERAET_FEHLT;
    case EIO: return EIN_AUSGABE_FEHLER;
    case ENOSYS:
    case EOPNOTSUPP: return NICHT_UNTERSTUETZT;
    default: return INTERNER_FEHLER;
  }
}

void KopiereUtf8(const std::string& text, char* ziel, int groesse) {
  if (groesse <= 0) return;
  size_t laenge = text.size();
  if (laenge > static_cast<size_t>(groesse) - 1) {
    laenge = static_cast<size_t>(groesse) - 1;
    // Step back over continuation bytes to the lead byte of the cut character, and leave it out.
    while (laenge > 0 && (static_cast<unsigned char>(text[laenge]) & 0xC0) == 0x80) --laenge;
  }
  std::memcpy(ziel, text.data(), laenge);
  ziel[laenge] = '\0';
}

}  // namespace Klang
