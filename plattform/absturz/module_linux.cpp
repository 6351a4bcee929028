#include <cstring>

#include "plattform/absturz/absturz_linux.h"
#include "plattform/absturz/intern/elf.h"
#include "plattform/absturz/intern/maps.h"

namespace Plattform {
namespace Intern {

namespace {

bool LeseHex(const char*& p, uint64_t& wert) {
  const char* start = p;
  wert = 0;
  for (;; ++p) {
    const char c = *p;
    int ziffer;
    if (c >= '0' && c <= '9') ziffer = c - '0';
    else if (c >= 'a' && c <= 'f') ziffer = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') ziffer = c - 'A' + 10;
    else break;
    wert = wert << 4 | static_cast<uint64_t>(ziffer);
  }
  return p != start;
}

void UeberspringeFeld(const char*& p) {
  while (*p == ' ') ++p;
  while (*p != ' ' && *p != '\0') ++p;
}

}  // namespace

bool LeseMapsZeile(char* zeile, MapsZeile& z) {
  const char* p = zeile;
  if (!LeseHex(p, z.von) || *p++ != '-' || !LeseHex(p, z.bis) || *p++ != ' ') return false;
  for (int i = 0; i < 4; ++i) {
    if (*p == '\0') return false;
    z.rechte[i] = *p++;
  }
  z.rechte[4] = '\0';
  while (*p == ' ') ++p;
  if (!LeseHex(p, z.versatz)) return false;
  UeberspringeFeld(p);  // device
  UeberspringeFeld(p);  // inode
  while (*p == ' ') ++p;
  z.pfad = p;
  return true;
}

bool LeseElf(uint64_t basis, ElfBild& bild) {
  if (!LeseSicher(basis, &bild.kopf, sizeof(bild.kopf))) return false;
  if (std::memcmp(bild.kopf.e_ident, ELFMAG, SELFMAG) != 0 ||
      bild.kopf.e_ident[EI_CLASS] != ELFCLASS64 || bild.kopf.e_phentsize != sizeof(Elf64_Phdr))
    return false;
  bild.anzahl = bild.kopf.e_phnum < 64 ? bild.kopf.e_phnum : 64;
  if (!LeseSicher(basis + bild.kopf.e_phoff, bild.segmente, bild.anzahl * sizeof(Elf64_Phdr)))
    return false;
  uint64_t niedrigste = UINT64_MAX;
  for (size_t i = 0; i < bild.anzahl; ++i)
    if (bild.segmente[i].p_type == PT_LOAD && bild.segmente[i].p_vaddr < niedrigste)
      niedrigste = bild.segmente[i].p_vaddr;
  if (niedrigste == UINT64_MAX) return false;
  bild.verschiebung = basis - (niedrigste & ~uint64_t(0xFFF));
  return true;
}

size_t BuildId(const ElfBild& bild, uint8_t* id, size_t max) {
  for (size_t i = 0; i < bild.anzahl; ++i) {
    const Elf64_Phdr& s = bild.segmente[i];
    if (s.p_type != PT_NOTE) continue;
    uint8_t notizen[4096];
    const size_t laenge = s.p_filesz < sizeof(notizen) ? s.p_filesz : sizeof(notizen);
    if (!LeseSicher(bild.verschiebung + s.p_vaddr, notizen, laenge)) continue;
    size_t pos = 0;
    while (pos + sizeof(Elf64_Nhdr) <= laenge) {
      Elf64_Nhdr kopf;
      std::memcpy(&kopf, notizen + pos, sizeof(kopf));
      const size_t name = pos + sizeof(kopf);
      const size_t inhalt = name + ((kopf.n_namesz + 3) & ~3u);
      const size_t naechste = inhalt + ((kopf.n_descsz + 3) & ~3u);
      if (naechste > laenge) break;
      if (kopf.n_type == NT_GNU_BUILD_ID && kopf.n_namesz == 4 &&
          std::memcmp(notizen + name, "GNU", 4) == 0) {
        const size_t n = kopf.n_descsz < max ? kopf.n_descsz : max;
        std::memcpy(id, notizen + inhalt, n);
        return n;
      }
      pos = naechste;
    }
  }
  return 0;
}

}  // namespace Intern

const char* DateiNameVon(const char* pfad) {
  const char* name = pfad;
  for (const char* p = pfad; *p; ++p)
    if (*p == '/') name = p + 1;
  return name;
}

size_t FuerJedesModul(void (*rueckruf)(const ModulOrt& modul, void* daten), void* daten) {
  ModulOrt aktuell;
  bool offen = false;
  size_t anzahl = 0;
  auto schliesse = [&] {
    if (!offen) return;
    rueckruf(aktuell, daten);
    ++anzahl;
    offen = false;
  };
  uint64_t elfEnde = 0;
  Intern::FuerJedeMapsZeile([&](const Intern::MapsZeile& z) {
    // The module's own mappings, and the anonymous ones that directly follow them inside its
    // last segment (its zero-filled data).
    if (offen && (std::strcmp(z.pfad, aktuell.pfad) == 0 ||
                  (z.pfad[0] == '\0' && z.von == aktuell.ende && z.von < elfEnde))) {
      aktuell.ende = z.bis;
      return true;
    }
    if (z.pfad[0] != '/') return true;
    // A module begins where a file is mapped from its start with an ELF header.
    char magie[SELFMAG];
    if (z.versatz != 0 || z.rechte[0] != 'r' || !LeseSicher(z.von, magie, SELFMAG) ||
        std::memcmp(magie, ELFMAG, SELFMAG) != 0)
      return true;
    schliesse();
    const size_t laenge = std::strlen(z.pfad);
    if (laenge >= sizeof(aktuell.pfad)) return true;
    std::memcpy(aktuell.pfad, z.pfad, laenge + 1);
    aktuell.basis = z.von;
    aktuell.ende = z.bis;
    elfEnde = 0;
    Intern::ElfBild bild;
    if (Intern::LeseElf(z.von, bild))
      for (size_t i = 0; i < bild.anzahl; ++i)
        if (bild.segmente[i].p_type == PT_LOAD &&
            bild.verschiebung + bild.segmente[i].p_vaddr + bild.segmente[i].p_memsz > elfEnde)
          elfEnde = bild.verschiebung + bild.segmente[i].p_vaddr + bild.segmente[i].p_memsz;
    offen = true;
    return true;
  });
  schliesse();
  return anzahl;
}

bool FindeModul(uint64_t adresse, ModulOrt& ort) {
  struct Suche {
    uint64_t adresse;
    ModulOrt* ort;
    bool gefunden;
  } suche{adresse, &ort, false};
  FuerJedesModul(
      [](const ModulOrt& modul, void* d) {
        Suche& s = *static_cast<Suche*>(d);
        if (s.gefunden || s.adresse < modul.basis || s.adresse >= modul.ende) return;
        *s.ort = modul;
        s.gefunden = true;
      },
      &suche);
  if (!suche.gefunden) return false;
  ort.abschnitt = 0;
  ort.versatz = 0;
  Intern::ElfBild bild;
  if (!Intern::LeseElf(ort.basis, bild)) return true;
  // Half-open ranges: an address at a segment's end belongs to the next one.
  const uint64_t relativ = adresse - bild.verschiebung;
  uint32_t nummer = 0;
  for (size_t i = 0; i < bild.anzahl; ++i) {
    const Elf64_Phdr& s = bild.segmente[i];
    if (s.p_type != PT_LOAD) continue;
    ++nummer;
    const uint64_t groesse = s.p_memsz > s.p_filesz ? s.p_memsz : s.p_filesz;
    if (relativ >= s.p_vaddr && relativ - s.p_vaddr < groesse) {
      ort.abschnitt = nummer;
      ort.versatz = relativ - s.p_vaddr;
      break;
    }
  }
  return true;
}

}  // namespace Plattform
