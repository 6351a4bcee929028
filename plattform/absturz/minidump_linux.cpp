// The minidump in the layout that crash tools read for Linux processes: the Windows header,
// directory and streams, with the Linux extensions (platform id, the maps stream, the ELF build
// id as CodeView record). Written with open/write from inside the signal handler: no
// allocation, and process memory goes straight from its address to the file, so an unmapped
// page is a failed write, not a second fault.
#include <fcntl.h>
#include <sys/utsname.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "plattform/absturz/absturz_linux.h"
#include "plattform/absturz/intern/elf.h"
#include "plattform/absturz/intern/maps.h"

namespace Plattform {

namespace {

constexpr uint32_t kSignatur = 0x504D444D;  // "MDMP"
constexpr uint32_t kVersion = 0xA793;

enum Strom : uint32_t {
  ThreadListe = 3,
  ModulListe = 4,
  SpeicherListe = 5,
  AusnahmeStrom = 6,
  SystemInfoStrom = 7,
  MiscInfoStrom = 15,
  LinuxMaps = 0x47670009,
};
constexpr uint32_t kAnzahlStroeme = 7;

constexpr uint32_t kKontextGroesse = 1232;
// AMD64 context with control, integer, segment and floating-point registers.
constexpr uint32_t kKontextFlags = 0x00100000 | 0x1 | 0x2 | 0x4 | 0x8;
constexpr uint16_t kArchitekturAmd64 = 9;
constexpr uint32_t kPlattformLinux = 0x8201;
constexpr uint32_t kCodeViewElf = 0x4270454C;  // "BpEL" followed by the build id
constexpr uint32_t kModulEintrag = 108;
constexpr size_t kMaxModule = 512;
constexpr uint64_t kMaxStapel = 256 * 1024;

// Little-endian fields into a byte buffer (the format packs its structures to 4 bytes).
void Setze16(uint8_t* p, uint16_t w) { std::memcpy(p, &w, 2); }
void Setze32(uint8_t* p, uint32_t w) { std::memcpy(p, &w, 4); }
void Setze64(uint8_t* p, uint64_t w) { std::memcpy(p, &w, 8); }

struct Ort {
  uint32_t groesse = 0;
  uint32_t rva = 0;
};

class Datei {
public:
  explicit Datei(int fd) : mFd(fd) {}

  // Appends at the end, 8-byte aligned; returns where it went.
  Ort Anhaengen(const void* daten, size_t laenge) {
    Ausrichten();
    const Ort ort{static_cast<uint32_t>(laenge), mPos};
    Schreibe(daten, laenge);
    return ort;
  }
  // Copies process memory; an unreadable page is written as zeros.
  Ort Speicher(uint64_t von, uint64_t bis) {
    Ausrichten();
    const Ort ort{static_cast<uint32_t>(bis - von), mPos};
    static const uint8_t nullen[4096] = {};
    while (von < bis) {
      const uint64_t seitenEnde = (von | 0xFFF) + 1;
      const size_t stueck = static_cast<size_t>((seitenEnde < bis ? seitenEnde : bis) - von);
      const ssize_t n = Intern::RoherWrite(mFd, reinterpret_cast<const void*>(von), stueck);
      const size_t geschrieben = n > 0 ? static_cast<size_t>(n) : 0;
      if (geschrieben < stueck) SchreibeRoh(nullen, stueck - geschrieben);
      mPos += static_cast<uint32_t>(stueck);
      von += stueck;
    }
    return ort;
  }
  void Schreibe(const void* daten, size_t laenge) {
    SchreibeRoh(daten, laenge);
    mPos += static_cast<uint32_t>(laenge);
  }
  bool SchreibeBei(uint32_t pos, const void* daten, size_t laenge) {
    return ::pwrite(mFd, daten, laenge, pos) == static_cast<ssize_t>(laenge);
  }
  uint32_t Position() const { return mPos; }
  int Fehler() const { return mFehler; }

private:
  void Ausrichten() {
    static const uint8_t nullen[8] = {};
    if (mPos % 8) Schreibe(nullen, 8 - mPos % 8);
  }
  void SchreibeRoh(const void* daten, size_t laenge) {
    const char* p = static_cast<const char*>(daten);
    while (laenge > 0) {
      const ssize_t n = ::write(mFd, p, laenge);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (mFehler == 0) mFehler = n < 0 ? errno : EIO;
        return;
      }
      p += n;
      laenge -= static_cast<size_t>(n);
    }
  }

  int mFd;
  uint32_t mPos = 0;
  int mFehler = 0;
};

// A MINIDUMP_STRING: byte length, UTF-16LE text, two zero bytes.
Ort SchreibeText(Datei& datei, const char* utf8) {
  static uint8_t puffer[4 + 2 * 4096 + 2];
  size_t n = 0;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8);
  auto einheit = [&](uint32_t e) {
    if (4 + n + 4 <= sizeof(puffer)) {
      Setze16(puffer + 4 + n, static_cast<uint16_t>(e));
      n += 2;
    }
  };
  while (*p) {
    uint32_t c = *p++;
    int folge = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (folge) c &= 0x3Fu >> folge;
    for (; folge > 0 && (*p & 0xC0) == 0x80; --folge) c = c << 6 | (*p++ & 0x3Fu);
    if (c >= 0x10000) {
      einheit(0xD800 + ((c - 0x10000) >> 10));
      einheit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      einheit(c);
    }
  }
  Setze32(puffer, static_cast<uint32_t>(n));
  Setze16(puffer + 4 + n, 0);
  return datei.Anhaengen(puffer, 4 + n + 2);
}

void FuelleKontext(uint8_t* k, const ucontext_t* uc) {
  std::memset(k, 0, kKontextGroesse);
  Setze32(k + 0x30, kKontextFlags);
  if (uc == nullptr) return;
  const greg_t* r = uc->uc_mcontext.gregs;
  const uint64_t csgsfs = static_cast<uint64_t>(r[REG_CSGSFS]);
  Setze16(k + 0x38, static_cast<uint16_t>(csgsfs));        // cs
  Setze16(k + 0x3E, static_cast<uint16_t>(csgsfs >> 32));  // fs
  Setze16(k + 0x40, static_cast<uint16_t>(csgsfs >> 16));  // gs
  Setze16(k + 0x42, static_cast<uint16_t>(csgsfs >> 48));  // ss
  Setze32(k + 0x44, static_cast<uint32_t>(r[REG_EFL]));    // eflags
  const int ganz[16] = {REG_RAX, REG_RCX, REG_RDX, REG_RBX, REG_RSP, REG_RBP, REG_RSI, REG_RDI,
                        REG_R8,  REG_R9,  REG_R10, REG_R11, REG_R12, REG_R13, REG_R14, REG_R15};
  for (int i = 0; i < 16; ++i) Setze64(k + 0x78 + 8 * i, static_cast<uint64_t>(r[ganz[i]]));
  Setze64(k + 0xF8, static_cast<uint64_t>(r[REG_RIP]));
  if (uc->uc_mcontext.fpregs != nullptr) {
    // The kernel's FXSAVE image is the context's floating-point save area.
    std::memcpy(k + 0x100, uc->uc_mcontext.fpregs, 512);
    Setze32(k + 0x34, uc->uc_mcontext.fpregs->mxcsr);
  }
}

// The stack of the crashed thread from below its red zone up to the end of its mapping.
void StapelBereich(uint64_t sp, uint64_t& von, uint64_t& bis) {
  von = sp > 128 ? (sp - 128) & ~uint64_t(15) : 0;
  bis = von + 4096;
  Intern::FuerJedeMapsZeile([&](const Intern::MapsZeile& z) {
    if (sp < z.von || sp >= z.bis) return true;
    bis = z.bis;
    if (von < z.von) von = z.von;
    return false;
  });
  if (bis - von > kMaxStapel) bis = von + kMaxStapel;
}

struct ModulSammlung {
  Datei* datei;
  uint8_t (*eintraege)[kModulEintrag];
  size_t anzahl;
};

void SammleModul(const ModulOrt& modul, void* d) {
  ModulSammlung& s = *static_cast<ModulSammlung*>(d);
  if (s.anzahl == kMaxModule) return;
  uint8_t* e = s.eintraege[s.anzahl++];
  std::memset(e, 0, kModulEintrag);
  Setze64(e + 0, modul.basis);
  Setze32(e + 8, static_cast<uint32_t>(modul.ende - modul.basis));
  Setze32(e + 20, SchreibeText(*s.datei, modul.pfad).rva);
  Setze32(e + 24, 0xFEEF04BD);  // VS_FIXEDFILEINFO signature, no version data
  uint8_t cv[4 + 64];
  Setze32(cv, kCodeViewElf);
  Intern::ElfBild bild;
  const size_t id = Intern::LeseElf(modul.basis, bild) ? Intern::BuildId(bild, cv + 4, 64) : 0;
  if (id > 0) {
    const Ort ort = s.datei->Anhaengen(cv, 4 + id);
    Setze32(e + 76, ort.groesse);
    Setze32(e + 80, ort.rva);
  }
}

void Verzeichnis(uint8_t* eintrag, uint32_t typ, Ort ort) {
  Setze32(eintrag, typ);
  Setze32(eintrag + 4, ort.groesse);
  Setze32(eintrag + 8, ort.rva);
}

Ort KopiereMaps(Datei& datei) {
  const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  Ort ort{0, datei.Position()};
  if (fd < 0) return ort;
  char puffer[4096];
  ssize_t n;
  while ((n = ::read(fd, puffer, sizeof(puffer))) > 0) {
    datei.Schreibe(puffer, static_cast<size_t>(n));
    ort.groesse += static_cast<uint32_t>(n);
  }
  ::close(fd);
  return ort;
}

}  // namespace

DumpErgebnis SchreibeMiniDump(const char* pfad, const AbsturzFall& fall, int& fehler) {
  fehler = 0;
  const int fd = ::open(pfad, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) {
    fehler = errno;
    return DumpErgebnis::DateiFehler;
  }
  Datei datei(fd);
  uint8_t kopf[32 + 12 * kAnzahlStroeme] = {};
  datei.Schreibe(kopf, sizeof(kopf));
  uint8_t* verzeichnis = kopf + 32;

  const auto* uc = static_cast<const ucontext_t*>(fall.kontext);
  static uint8_t kontext[kKontextGroesse];
  FuelleKontext(kontext, uc);
  const Ort kontextOrt = datei.Anhaengen(kontext, sizeof(kontext));

  uint64_t von = 0, bis = 0;
  StapelBereich(uc ? static_cast<uint64_t>(uc->uc_mcontext.gregs[REG_RSP]) : 0, von, bis);
  const Ort stapelOrt = datei.Speicher(von, bis);

  uint8_t threads[4 + 48] = {};
  Setze32(threads, 1);
  Setze32(threads + 4, fall.thread);
  Setze64(threads + 4 + 24, von);
  Setze32(threads + 4 + 32, stapelOrt.groesse);
  Setze32(threads + 4 + 36, stapelOrt.rva);
  Setze32(threads + 4 + 40, kontextOrt.groesse);
  Setze32(threads + 4 + 44, kontextOrt.rva);
  Verzeichnis(verzeichnis + 0, ThreadListe, datei.Anhaengen(threads, sizeof(threads)));

  // The stack once more as memory: without it a debugger sees the top frame only.
  uint8_t speicher[4 + 16] = {};
  Setze32(speicher, 1);
  Setze64(speicher + 4, von);
  Setze32(speicher + 12, stapelOrt.groesse);
  Setze32(speicher + 16, stapelOrt.rva);
  Verzeichnis(verzeichnis + 12, SpeicherListe, datei.Anhaengen(speicher, sizeof(speicher)));

  static uint8_t module[kMaxModule][kModulEintrag];
  ModulSammlung sammlung{&datei, module, 0};
  FuerJedesModul(&SammleModul, &sammlung);
  uint8_t anzahl[4];
  Setze32(anzahl, static_cast<uint32_t>(sammlung.anzahl));
  Ort modulOrt = datei.Anhaengen(anzahl, 4);
  datei.Schreibe(module, sammlung.anzahl * kModulEintrag);
  modulOrt.groesse += static_cast<uint32_t>(sammlung.anzahl * kModulEintrag);
  Verzeichnis(verzeichnis + 24, ModulListe, modulOrt);

  // On Linux: the signal as the code, si_code as the flags, the touched address.
  uint8_t ausnahme[168] = {};
  Setze32(ausnahme, fall.thread);
  Setze32(ausnahme + 8, static_cast<uint32_t>(fall.signal));
  Setze32(ausnahme + 12, static_cast<uint32_t>(fall.signalCode));
  Setze64(ausnahme + 24, fall.zugriff);
  Setze32(ausnahme + 160, kontextOrt.groesse);
  Setze32(ausnahme + 164, kontextOrt.rva);
  Verzeichnis(verzeichnis + 36, AusnahmeStrom, datei.Anhaengen(ausnahme, sizeof(ausnahme)));

  utsname name{};
  ::uname(&name);
  uint32_t major = 0, minor = 0, patch = 0;
  SystemVersion(major, minor, patch);
  const Ort csd = SchreibeText(datei, name.version);
  uint8_t system[56] = {};
  Setze16(system, kArchitekturAmd64);
  const long prozessoren = ::sysconf(_SC_NPROCESSORS_ONLN);
  system[6] = static_cast<uint8_t>(prozessoren > 0 && prozessoren < 256 ? prozessoren : 1);
  Setze32(system + 8, major);
  Setze32(system + 12, minor);
  Setze32(system + 16, patch);
  Setze32(system + 20, kPlattformLinux);
  Setze32(system + 24, csd.rva);
  Verzeichnis(verzeichnis + 48, SystemInfoStrom, datei.Anhaengen(system, sizeof(system)));

  uint8_t misc[24] = {};
  Setze32(misc, sizeof(misc));
  Setze32(misc + 4, 1);  // the process id is valid
  Setze32(misc + 8, static_cast<uint32_t>(::getpid()));
  Verzeichnis(verzeichnis + 60, MiscInfoStrom, datei.Anhaengen(misc, sizeof(misc)));

  Verzeichnis(verzeichnis + 72, LinuxMaps, KopiereMaps(datei));

  Setze32(kopf, kSignatur);
  Setze32(kopf + 4, kVersion);
  Setze32(kopf + 8, kAnzahlStroeme);
  Setze32(kopf + 12, 32);
  const bool kopfGut = datei.SchreibeBei(0, kopf, sizeof(kopf));
  fehler = datei.Fehler() ? datei.Fehler() : (kopfGut ? 0 : errno);
  ::close(fd);
  return fehler == 0 ? DumpErgebnis::Erstellt : DumpErgebnis::DumpFehler;
}

}  // namespace Plattform
