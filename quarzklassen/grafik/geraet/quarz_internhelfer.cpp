#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

namespace Quarz::Intern {

Quarz_ZeichenKontext* Kontext() { return Quarz_ZeichenKontext::sAktiv; }

IDirect3DDevice9* Geraet() {
  Quarz_ZeichenKontext* kontext = Kontext();
  return kontext ? kontext->mImpl->mGeraet : nullptr;
}

D3DFORMAT TiefenFormat() {
  Quarz_ZeichenKontext* kontext = Kontext();
  return kontext ? kontext->mImpl->mTiefenFormat : D3DFMT_D16;
}

void SchaffePlatz() {
  if (Quarz_ZeichenKontext* kontext = Kontext())
    Quarz_Screen3D::SchaffeVideoRAMPlatz(kontext->mRegister);
}

void MeldeKnapp() { gLog.Schreibe("?VideoRAM knapp. Versuche, Platz zu schaffen."); }

std::string KlassenName(const Quarz_BasisObjekt* objekt) {
  const char* roh = typeid(*objekt).name();
  int status = 0;
  char* lesbar = abi::__cxa_demangle(roh, nullptr, nullptr, &status);
  std::string name = status == 0 && lesbar ? lesbar : roh;
  std::free(lesbar);
  return name;
}

}  // namespace Quarz::Intern
