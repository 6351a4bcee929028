#include "quarzklassen/grafik/shader/quarz_shaderdialekt.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstring>
#include <memory>

#include "preprocessor/preprocessor.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/textkodierung.h"

namespace Quarz {

const char* const ShaderVorspann =
    "#define GRAFIK_DIRECTX 9\n"
    "#define DEF_SAMPLER_2D( name) sampler2D name\n"
    "#define DEF_SAMPLER_CUBE( name) samplerCUBE name\n"
    "#define SAMPLE_2D( name, tex) tex2D( name, tex)\n"
    "#define SAMPLE_2D_LOD( name, tex, lod) tex2Dlod( name, float4( tex.xy, 0.0f, lod))\n"
    "#define SAMPLE_CUBE( name, tex) texCUBE( name, tex)\n"
    "#define SAMPLE_CUBE_LOD( name, tex, lod) texCUBElod( name, float4( tex.xyz, lod))\n"
    "#define TEXKOORD( tex) tex\n"
    "float2 TEXKOORD_RT( float2 tex) { return float2( tex.x, 1.0f - tex.y); }\n"
    "float2 TEXKOORD_RTD( float2 texdiff) { return float2( texdiff.x, -texdiff.y); }\n"
    "#define CONST static const\n"
    "#define CONST_ARRAY_START( typ, name) static const typ name[] = {\n"
    "#define CONST_ARRAY_ENDE }\n"
    "float3x3 MachFloat3x3( float a1, float a2, float a3, float b1, float b2, float b3, "
    "float c1, float c2, float c3) { return float3x3( a1, a2, a3, b1, b2, b3, c1, c2, c3); } "
    "float4x4 MachFloat4x4( float a1, float a2, float a3, float a4, float b1, float b2, "
    "float b3, float b4, float c1, float c2, float c3, float c4, float d1, float d2, float d3, "
    "float d4) { return float4x4( a1, a2, a3, a4, b1, b2, b3, b4, c1, c2, c3, c4, d1, d2, d3, "
    "d4); }\n"
    "float2 MachV2( float x) { return float2( x, x); } "
    "float3 MachV3( float x) { return float3( x, x, x); } "
    "float4 MachV4( float x) { return float4( x, x, x, x); }\n"
    "#line 1\n";

namespace {

constexpr const char* kFunktion = "Quarz::UebersetzeShaderDialekt()";
// A message piece longer than this without a line end is written out anyway.
constexpr size_t kMaxMeldung = 4000;

// What the preprocessor callbacks share: the three input segments, the read position, the
// output and the message piece waiting for its line end.
struct TShaderLeseZustand {
  const char* mSegment[3] = {nullptr, nullptr, nullptr};
  size_t mLaenge[3] = {0, 0, 0};
  uint32_t mAktuell = 0;
  size_t mPosition = 0;
  TSpeicher* mAusgabe = nullptr;
  std::string mMeldung;
};

// One dialect declaration, with its input registers.
struct TDeklaration {
  std::string mText;
  uint32_t mRegister = 1;
};

bool IstLeerraum(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool IstNamensanfang(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IstNamenszeichen(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

void SchreibeMeldungszeilen(TShaderLeseZustand& z, bool alles) {
  size_t ende;
  while ((ende = z.mMeldung.find('\n')) != std::string::npos) {
    std::string zeile = z.mMeldung.substr(0, ende);
    if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
    gLog.Schreibe("%s", zeile.c_str());
    z.mMeldung.erase(0, ende + 1);
  }
  if ((alles || z.mMeldung.size() > kMaxMeldung) && !z.mMeldung.empty()) {
    gLog.Schreibe("%s", z.mMeldung.c_str());
    z.mMeldung.clear();
  }
}

// "$rein" or "$raus" followed by white space (any kind: a tab must work like a space) at `p`,
// which points at the "$". Returns 1 for an input, 2 for an output, 0 otherwise.
int DeklarationsArt(const char* p, const char* ende) {
  if (ende - p < 6) return 0;
  if (!IstLeerraum(p[5])) return 0;
  if (std::strncmp(p + 1, "rein", 4) == 0) return 1;
  if (std::strncmp(p + 1, "raus", 4) == 0) return 2;
  return 0;
}

bool IstMain(const char* p, const char* ende) {
  return ende - p >= 7 && std::strncmp(p, "$main()", 7) == 0;
}

// Text usable inside an #error line: one line, no quotes that could open a literal.
std::string FuerFehlerzeile(const std::string& text) {
  std::string s;
  for (char c : text) {
    const bool sicher = IstNamenszeichen(c) || std::strchr(" []().,;:+-*/<>=", c) != nullptr;
    s += sicher && c != 0 ? c : ' ';
  }
  return s;
}

// The matrix shape of a type name such as "float3x4": rows and columns, or false.
bool MatrixForm(const std::string& name, int& zeilen, int& spalten) {
  const size_t n = name.size();
  if (n < 4 || name[n - 2] != 'x') return false;
  if (!std::isdigit(static_cast<unsigned char>(name[n - 3])) ||
      !std::isdigit(static_cast<unsigned char>(name[n - 1])))
    return false;
  if (!std::isalpha(static_cast<unsigned char>(name[n - 4]))) return false;
  zeilen = name[n - 3] - '0';
  spalten = name[n - 1] - '0';
  return true;
}

struct TZerlegung {
  std::vector<std::string> mNamen;  // identifiers outside brackets; the last is the variable
  std::vector<std::string> mFelder;  // the contents of every [...]
  bool mOffeneKlammer = false;
};

TZerlegung Zerlege(const std::string& d) {
  TZerlegung z;
  size_t i = 0;
  while (i < d.size()) {
    if (d[i] == '[') {
      const size_t zu = d.find(']', i + 1);
      if (zu == std::string::npos) {
        z.mOffeneKlammer = true;
        break;
      }
      z.mFelder.push_back(d.substr(i + 1, zu - i - 1));
      i = zu + 1;
    } else if (IstNamensanfang(d[i])) {
      size_t j = i;
      while (j < d.size() && IstNamenszeichen(d[j])) ++j;
      z.mNamen.push_back(d.substr(i, j - i));
      i = j;
    } else {
      ++i;
    }
  }
  return z;
}

// The element count of "[n]" text, or 0 when it is no plain number.
uint32_t Feldgroesse(const std::string& inhalt) {
  size_t a = 0, e = inhalt.size();
  while (a < e && IstLeerraum(inhalt[a])) ++a;
  while (e > a && IstLeerraum(inhalt[e - 1])) --e;
  if (a == e || e - a > 6) return 0;
  uint32_t n = 0;
  for (size_t i = a; i < e; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(inhalt[i]))) return 0;
    n = n * 10 + static_cast<uint32_t>(inhalt[i] - '0');
  }
  return n;
}

// True when a path component of `name` is "..". Both slashes count as separators, so that a
// name written for another system cannot slip through either.
bool VerlaesstOrdner(const char* name) {
  const char* teil = name;
  for (const char* p = name;; ++p) {
    if (*p == '/' || *p == '\\' || *p == 0) {
      if (p - teil == 2 && teil[0] == '.' && teil[1] == '.') return true;
      if (*p == 0) return false;
      teil = p + 1;
    }
  }
}

// Reads the defines, the prelude and the source through the preprocessor into `ausgabe`.
void Vorverarbeite(TShaderLeseZustand& zustand) {
  auto state = std::make_unique<PreprocessorState>();
  const PreprocessorTag tags[] = {
      {PPTAG_EINGABE_NAME, PreprocessorWert("Lesetext")},
      {PPTAG_EINGABE, PreprocessorWert(&ShaderPPLiesEingabe)},
      {PPTAG_AUSGABE, PreprocessorWert(&ShaderPPSchreibeAusgabe)},
      {PPTAG_FEHLERMELDUNG, PreprocessorWert(&ShaderPPMeldeFehler)},
      {PPTAG_NUTZERDATEN, PreprocessorWert(&zustand)},
      {PPTAG_ZEILENANGABEN, 0},
      {PPTAG_BANNER, 0},
      {PPTAG_INCLUDE_OEFFNEN, PreprocessorWert(&ShaderPPOeffneInclude)},
      {PPTAG_ENDE, 0}};
  // Its messages are in the log already; the compiler reports whatever is still wrong.
  PreprocessorEntry(tags, state.get());
  SchreibeMeldungszeilen(zustand, true);
}

// Collects the declarations of one kind; refused ones are logged and noted in `abgelehnt`.
void Sammle(const char* text, const char* ende, std::vector<TDeklaration> listen[2],
            std::vector<std::string>& abgelehnt) {
  for (const char* p = text; (p = static_cast<const char*>(std::memchr(p, '$', ende - p)));) {
    const int art = DeklarationsArt(p, ende);
    if (art == 0) {
      ++p;
      continue;
    }
    const char* a = p + 5;
    while (a < ende && IstLeerraum(*a)) ++a;
    const char* e = static_cast<const char*>(std::memchr(a, ';', ende - a));
    if (!e) e = ende;
    TDeklaration d;
    d.mText.assign(a, e);
    std::string grund;
    d.mRegister = ShaderDeklarationRegister(d.mText, &grund);
    std::vector<TDeklaration>& liste = listen[art - 1];
    if (d.mRegister != 0 && liste.size() >= kMaxShaderDeklarationen) {
      d.mRegister = 0;
      grund = art == 1 ? "mehr als 16 Eingaben" : "mehr als 16 Ausgaben";
    }
    if (d.mRegister == 0) {
      gLog.Schreibe("!%s: Deklaration \"%s\" abgelehnt: %s.", kFunktion, d.mText.c_str(),
                    grund.c_str());
      abgelehnt.push_back(FuerFehlerzeile(d.mText) + " - " + grund);
    } else {
      liste.push_back(std::move(d));
    }
    p = e;
  }
}

void SchreibeSignatur(TSpeicher& aus, const std::vector<TDeklaration>& ein,
                      const std::vector<TDeklaration>& raus, uint32_t art) {
  aus.SchreibeText("void main( ");
  bool erstes = true;
  auto trenne = [&] {
    if (!erstes) aus.SchreibeText(", ");
    erstes = false;
  };
  uint32_t register_ = 0;
  for (size_t i = 0; i < ein.size(); ++i) {
    trenne();
    aus.SchreibeText(ein[i].mText.c_str());
    if (art == SHADER_VERTEX && i == 0) aus.SchreibeText(" : POSITION0");
    else if (art == SHADER_VERTEX) aus.SchreibeFormatText(" : TEXCOORD%u", register_ - 1);
    else aus.SchreibeFormatText(" : TEXCOORD%u", register_);
    register_ += ein[i].mRegister;
  }
  register_ = 0;
  for (size_t i = 0; i < raus.size(); ++i) {
    trenne();
    aus.SchreibeText("out ");
    aus.SchreibeText(raus[i].mText.c_str());
    if (art == SHADER_PIXEL) aus.SchreibeFormatText(" : COLOR%u", register_);
    else if (i == 0) aus.SchreibeText(" : POSITION0");
    else aus.SchreibeFormatText(" : TEXCOORD%u", register_ - 1);
    register_ += raus[i].mRegister;
  }
  aus.SchreibeText(")");
}

}  // namespace

uint32_t ShaderDeklarationRegister(const std::string& deklaration, std::string* grund) {
  auto ablehnen = [&](const std::string& warum) {
    if (grund) *grund = warum;
    return 0u;
  };
  const TZerlegung z = Zerlege(deklaration);
  if (z.mOffeneKlammer) return ablehnen("Feldklammer nicht geschlossen");
  int matrixZeilen = 0;
  // Every name but the last (the variable) belongs to the type and its modifiers.
  for (size_t i = 0; i + 1 < z.mNamen.size(); ++i) {
    const std::string& n = z.mNamen[i];
    if (n == "matrix") return ablehnen("Typ matrix ohne Form wird nicht unterstützt");
    int zeilen = 0, spalten = 0;
    if (!MatrixForm(n, zeilen, spalten)) continue;
    const bool bekannt = (zeilen == 3 || zeilen == 4) && (spalten == 3 || spalten == 4);
    if (!bekannt) return ablehnen("Matrixform " + n + " wird nicht unterstützt");
    matrixZeilen = zeilen;
  }
  if (z.mFelder.empty()) return matrixZeilen ? static_cast<uint32_t>(matrixZeilen) : 1u;
  if (z.mFelder.size() > 1) return ablehnen("mehrdimensionale Felder werden nicht unterstützt");
  if (matrixZeilen) return ablehnen("Felder von Matrizen werden nicht unterstützt");
  const uint32_t n = Feldgroesse(z.mFelder[0]);
  if (n == 0) return ablehnen("Feldgröße [" + z.mFelder[0] + "] ist keine Zahl von 1 bis 4");
  if (n > 4) return ablehnen("Felder mit mehr als 4 Elementen werden nicht unterstützt");
  return n;
}

char* ShaderPPLiesEingabe(char* puffer, int groesse, void* nutzer, FILE*) {
  auto& z = *static_cast<TShaderLeseZustand*>(nutzer);
  while (z.mAktuell < 3 && z.mPosition >= z.mLaenge[z.mAktuell]) {
    ++z.mAktuell;
    z.mPosition = 0;
  }
  if (z.mAktuell >= 3 || groesse < 2) return nullptr;
  const size_t n = std::min<size_t>(static_cast<size_t>(groesse - 1),
                                    z.mLaenge[z.mAktuell] - z.mPosition);
  std::memcpy(puffer, z.mSegment[z.mAktuell] + z.mPosition, n);
  puffer[n] = 0;
  z.mPosition += n;
  return puffer;
}

void ShaderPPSchreibeAusgabe(int zeichen, void* nutzer) {
  auto& z = *static_cast<TShaderLeseZustand*>(nutzer);
  z.mAusgabe->SchreibeU8(static_cast<uint8_t>(zeichen));
}

void ShaderPPMeldeFehler(void* nutzer, const char* format, va_list argumente) {
  auto& z = *static_cast<TShaderLeseZustand*>(nutzer);
  va_list kopie;
  va_copy(kopie, argumente);
  const int n = std::vsnprintf(nullptr, 0, format, kopie);
  va_end(kopie);
  if (n <= 0) return;
  std::string stueck(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(stueck.data(), stueck.size(), format, argumente);
  stueck.resize(static_cast<size_t>(n));
  // The preprocessor hands a message over in pieces; the log gets it as one line.
  z.mMeldung += stueck;
  SchreibeMeldungszeilen(z, false);
}

FILE* ShaderPPOeffneInclude(const char* name, const char* modus) {
  if (!name || !modus) return nullptr;
  // Shader text may come from anywhere; an include must not climb out of the application
  // folder (nor reach an endless device file there). The preprocessor then reports the
  // include as missing.
  if (VerlaesstOrdner(name)) {
    gLog.Schreibe("!Quarz::ShaderPPOeffneInclude( \"%s\"): Include-Pfade mit \"..\" sind nicht "
                  "erlaubt.",
                  name);
    return nullptr;
  }
  // Without a known application folder the working folder stands in: a name beginning with
  // "/" must still stay below a folder.
  const std::wstring& ordner = gSystem.mAnwendungsPfad;
  std::string pfad = WandleUtf32NachUtf8(ordner.empty() ? std::wstring(L".") : ordner);
  if (pfad.empty() || pfad.back() != '/') pfad += '/';
  pfad += name;
  return std::fopen(pfad.c_str(), modus);
}

TSpeicher& UebersetzeShaderDialekt(TSpeicher& ergebnis, const char* quelle,
                                   const TShaderDefinitionen& definitionen, uint32_t art) {
  TSpeicher defines(512);
  for (const auto& [name, wert] : definitionen) {
    defines.SchreibeText("#define ");
    defines.SchreibeText(name.c_str());
    defines.SchreibeText(" ");
    defines.SchreibeText(wert.c_str());
    defines.SchreibeText("\n");
  }
  defines.SchreibeU8(0);

  TSpeicher vorverarbeitet(512);
  TShaderLeseZustand zustand;
  const char* segmente[3] = {reinterpret_cast<const char*>(defines.Daten()), ShaderVorspann,
                             quelle ? quelle : ""};
  for (int i = 0; i < 3; ++i) {
    zustand.mSegment[i] = segmente[i];
    zustand.mLaenge[i] = std::strlen(segmente[i]);
  }
  zustand.mAusgabe = &vorverarbeitet;
  Vorverarbeite(zustand);

  const char* text = reinterpret_cast<const char*>(vorverarbeitet.Daten());
  // The preprocessor may have passed a NUL through; the text ends at the first one.
  const char* ende = text + strnlen(text, vorverarbeitet.Groesse());

  std::vector<TDeklaration> listen[2];
  std::vector<std::string> abgelehnt;
  Sammle(text, ende, listen, abgelehnt);

  ergebnis.Leere();
  ergebnis.SicherePlatz(512);
  const char* p = text;
  for (const char* d; (d = static_cast<const char*>(std::memchr(p, '$', ende - p)));) {
    ergebnis.SchreibeMem(p, static_cast<uint64_t>(d - p));
    if (DeklarationsArt(d, ende) != 0) {
      const char* semikolon = static_cast<const char*>(std::memchr(d, ';', ende - d));
      p = semikolon ? semikolon + 1 : ende;
    } else if (IstMain(d, ende)) {
      SchreibeSignatur(ergebnis, listen[0], listen[1], art);
      p = d + 7;
    } else {
      p = d + 1;
    }
  }
  ergebnis.SchreibeMem(p, static_cast<uint64_t>(ende - p));
  // A refused declaration must not leave a shader that compiles with shifted semantics.
  for (const std::string& a : abgelehnt) {
    ergebnis.SchreibeText("\n#error Shader-Deklaration abgelehnt: ");
    ergebnis.SchreibeText(a.c_str());
    ergebnis.SchreibeText("\n");
  }
  ergebnis.SchreibeU8(0);
  return ergebnis;
}

}  // namespace Quarz
