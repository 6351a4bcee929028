#include "quarzklassen/kern/quarz_variable.h"

#include <tinyxml.h>

#include <cerrno>
#include <cstdarg>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "plattform/system/system_linux.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/quarz_konsolenbefehl.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_register.h"
#include "quarzklassen/kern/tzerleger.h"
#include "quarzklassen/kern/tspeicher.h"
#include "quarzklassen/kern/xmlwaechter.h"

constinit Quarz_Variable::Register* gVariablen = nullptr;

namespace {

// Path remembered by LadeKonfig for SpeichereKonfig.
constinit std::string* gKonfigPfad = nullptr;

// Set by LadeKonfig when the file was there but could not be used: the next save moves it
// aside before the defaults take its place, so the player's settings are never lost.
constinit bool gKonfigUnbrauchbar = false;

// Deepest element nesting a configuration file may have (it needs two).
constexpr int MaxVerschachtelung = 64;

constexpr const char* kKeineKonfig = "?Keine Konfig-Datei gefunden, benutze Standardwerte.";

std::string Formatiere(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Formatiere(const char* format, ...) {
  char puffer[256];
  va_list argumente;
  va_start(argumente, format);
  const int n = std::vsnprintf(puffer, sizeof puffer, format, argumente);
  va_end(argumente);
  if (n < 0) return {};
  if (static_cast<size_t>(n) < sizeof puffer) return std::string(puffer, static_cast<size_t>(n));
  std::string gross(static_cast<size_t>(n) + 1, '\0');
  va_start(argumente, format);
  std::vsnprintf(gross.data(), gross.size(), format, argumente);
  va_end(argumente);
  gross.resize(static_cast<size_t>(n));
  return gross;
}

bool IstJaWort(const std::string& text) {
  return text == "on" || text == "an" || text == "true" || text == "ja";
}

char TypBuchstabe(uint32_t typ) {
  static const char buchstaben[] = {'s', 'b', 'i', 'f', 'V', 'F'};
  return typ < sizeof buchstaben ? buchstaben[typ] : '?';
}

// The file a save writes before it renames it over the configuration.
std::string TempPfad() { return *gKonfigPfad + ".tmp"; }

// Where an unusable configuration file is kept.
std::string DefektPfad() { return *gKonfigPfad + ".defekt"; }

// Whether anything is at the path, even what cannot be read (a folder, a dangling link).
bool Existiert(const std::string& pfad) {
  std::error_code fehler;
  return std::filesystem::exists(std::filesystem::symlink_status(pfad, fehler));
}

// A failed save says nothing; the temporary file goes, the configuration stays as it was.
bool SpeichernGescheitert() {
  std::remove(TempPfad().c_str());
  return false;
}

// Moves the unusable file aside before the save replaces it; an older copy there is
// replaced. False when it cannot be moved: then it is not replaced either.
bool LegeUnbrauchbareBeiseite() {
  if (!gKonfigUnbrauchbar) return true;
  const std::string defekt = DefektPfad();
  int fehler = 0;
  if (std::rename(gKonfigPfad->c_str(), defekt.c_str()) != 0) {
    fehler = errno;
    // A folder cannot replace a file (nor a file a folder): the older copy goes first.
    std::error_code ignoriert;
    if (fehler != ENOENT && std::filesystem::remove(defekt, ignoriert) &&
        std::rename(gKonfigPfad->c_str(), defekt.c_str()) == 0)
      fehler = 0;
  }
  if (fehler == ENOENT) {  // gone meanwhile: nothing to keep
    gKonfigUnbrauchbar = false;
    return true;
  }
  if (fehler != 0) return false;
  gLog.Schreibe("!Quarz_Variable::SpeichereKonfig: Nicht verwendbare Konfig-Datei \"%s\" als \"%s\" beiseitegelegt.",
                gKonfigPfad->c_str(), defekt.c_str());
  gKonfigUnbrauchbar = false;
  return true;
}

}  // namespace

// The default goes through the setter of the type before the check callback is attached.
template <typename Setzer>
Quarz_Variable::Quarz_Variable(const char* name, uint32_t typ, uint32_t flags,
                               PruefFunktion pruefung, Setzer setzeStandard)
    : mName(name), mTyp(typ), mFlags(flags) {
  setzeStandard(*this);
  mPruefung = pruefung;
  Registriere(this);
}

Quarz_Variable::Quarz_Variable(const char* name, uint32_t flags, const char* standard,
                               PruefFunktion pruefung)
    : Quarz_Variable(name, TEXT, flags, standard, pruefung) {}

Quarz_Variable::Quarz_Variable(const char* name, uint32_t flags, bool standard,
                               PruefFunktion pruefung)
    : Quarz_Variable(name, BOOL, flags, pruefung,
                     [standard](Quarz_Variable& v) { v.SetzeBool(standard); }) {}

Quarz_Variable::Quarz_Variable(const char* name, uint32_t flags, int32_t standard,
                               PruefFunktion pruefung)
    : Quarz_Variable(name, INT, flags, pruefung,
                     [standard](Quarz_Variable& v) { v.SetzeInt(standard); }) {}

Quarz_Variable::Quarz_Variable(const char* name, Typ typ, uint32_t flags, const char* standard,
                               PruefFunktion pruefung)
    : Quarz_Variable(name, static_cast<uint32_t>(typ), flags, pruefung,
                     [standard](Quarz_Variable& v) { v.SetzeText(standard); }) {}

bool Quarz_Variable::SetzeText(const std::string& text) {
  std::string neu = text;
  if (mPruefung != nullptr && !mPruefung(*this, 0, &neu)) return false;
  mText = neu;
  mInt = LiesGanzzahl(neu);
  mFloat = std::strtof(neu.c_str(), nullptr);
  mBool = IstJaWort(neu) || mInt > 0;
  const TZerleger zerleger(neu);
  for (size_t i = 0; i < 3; ++i) mVektor3[i] = zerleger.Wert(i);
  for (size_t i = 0; i < 3; ++i) mVektor4[i] = zerleger.Wert(i);
  mVektor4[3] = zerleger.Anzahl() > 3 ? zerleger.Wert(3) : 1.0f;
  AktualisiereText();
  if (mPruefung != nullptr) mPruefung(*this, 1, &neu);
  return true;
}

bool Quarz_Variable::SetzeInt(int32_t wert) {
  std::string neu = Formatiere("%d", wert);
  if (mPruefung != nullptr && !mPruefung(*this, 0, &neu)) return false;
  mInt = wert;
  mFloat = static_cast<float>(wert);
  mBool = wert > 0;
  AktualisiereText();
  if (mPruefung != nullptr) mPruefung(*this, 1, &neu);
  return true;
}

bool Quarz_Variable::SetzeBool(bool wert) {
  std::string neu = wert ? "1" : "0";
  if (mPruefung != nullptr && !mPruefung(*this, 0, &neu)) return false;
  mInt = wert ? 1 : 0;
  mFloat = wert ? 1.0f : 0.0f;
  mBool = wert;
  AktualisiereText();
  if (mPruefung != nullptr) mPruefung(*this, 1, &neu);
  return true;
}

void Quarz_Variable::AktualisiereText() {
  switch (mTyp) {
    case BOOL: mText = mBool ? "ja" : "nein"; break;
    case INT: mText = Formatiere("%d", mInt); break;
    case FLOAT: mText = Formatiere("%f", static_cast<double>(mFloat)); break;
    case VEKTOR3:
      mText = Formatiere("%f, %f, %f", static_cast<double>(mVektor3[0]),
                         static_cast<double>(mVektor3[1]), static_cast<double>(mVektor3[2]));
      break;
    case VEKTOR4:
      mText = Formatiere("%f, %f, %f, %f", static_cast<double>(mVektor4[0]),
                         static_cast<double>(mVektor4[1]), static_cast<double>(mVektor4[2]),
                         static_cast<double>(mVektor4[3]));
      break;
    default: break;  // text (and unknown types): the text is the value
  }
}

int32_t Quarz_Variable::LiesGanzzahl(const std::string& text) {
  errno = 0;
  const long wert = std::strtol(text.c_str(), nullptr, 10);
  if (wert > INT32_MAX) return INT32_MAX;
  if (wert < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(wert);
}

Quarz_Variable::Register* Quarz_Variable::Variablen() { return gVariablen; }

void Quarz_Variable::Registriere(Quarz_Variable* variable) {
  Quarz_Register::Eintragen(gVariablen, variable);
}

Quarz_Variable* Quarz_Variable::Finde(const std::string& name) {
  return Quarz_Register::Finde(gVariablen, name);
}

std::string Quarz_Variable::Vervollstaendige(const std::string& praefix) {
  return Quarz_Register::Vervollstaendige(gVariablen, praefix);
}

const std::string& Quarz_Variable::KonfigPfad() {
  static const std::string leer;
  return gKonfigPfad != nullptr ? *gKonfigPfad : leer;
}

void Quarz_Variable::LadeKonfig(const std::wstring& ordner, const std::wstring& dateiname) {
  if (gKonfigPfad == nullptr) gKonfigPfad = new std::string;
  *gKonfigPfad = Utf8Pfad(ordner, dateiname);
  gKonfigUnbrauchbar = false;
  // A save cut short leaves its temporary file behind; the configuration itself is whole.
  std::remove(TempPfad().c_str());

  TSpeicher inhalt;
  if (!inhalt.LadeDatei(WandleUtf8NachUtf32(*gKonfigPfad), 0)) {
    gLog.Schreibe("%s", kKeineKonfig);
    // Something that cannot be read (a folder, no permission) is still the player's.
    gKonfigUnbrauchbar = Existiert(*gKonfigPfad);
    return;
  }
  gKonfigUnbrauchbar =
      !LadeKonfigText(std::string(reinterpret_cast<const char*>(inhalt.Daten()), inhalt.Groesse()));
}

bool Quarz_Variable::LadeKonfigText(const std::string& xml) {
  // The file is read as UTF-8. A byte that starts no well-formed sequence would make the
  // parser take the quote behind it into the value and lose the rest of the file; it
  // becomes U+FFFD instead, and the variable whose value held it is named below.
  const std::string_view roh(xml.c_str());
  const std::string text = GueltigesUtf8(roh);
  const bool ersetzt = text != roh;
  TiXmlDocument dokument;
  const std::string grund = LiesXmlBewacht(dokument, text, MaxVerschachtelung, TIXML_ENCODING_UTF8);
  if (!grund.empty()) {
    gLog.Schreibe("%s", kKeineKonfig);
    return false;
  }
  // The root's name does not matter: older files may use another one.
  const TiXmlElement* wurzel = dokument.FirstChildElement();
  if (wurzel == nullptr || wurzel->FirstChildElement("var") == nullptr) {
    gLog.Schreibe("?Konfig-Datei fehlerhaft, benutze Standardwerte.");
    return false;
  }
  for (const TiXmlElement* e = wurzel->FirstChildElement("var"); e != nullptr;
       e = e->NextSiblingElement("var")) {
    const char* name = e->Attribute("name");
    const char* wert = e->Attribute("wert");
    if (name == nullptr || wert == nullptr) continue;
    Quarz_Variable* variable = Finde(name);
    if (variable == nullptr) continue;
    if (ersetzt && std::strstr(wert, "\xEF\xBF\xBD") != nullptr)
      gLog.Schreibe("?Konfig-Datei: Wert von \"%s\" ist kein gültiges UTF-8, ungültige Bytes ersetzt.", name);
    // A value its check refuses leaves the variable as it is, without a word.
    variable->SetzeText(wert);
  }
  return true;
}

bool Quarz_Variable::SpeichereKonfig() {
  if (gKonfigPfad == nullptr || gKonfigPfad->empty()) return false;

  TiXmlDocument dokument;
  dokument.LinkEndChild(new TiXmlDeclaration("1.0", "", ""));
  TiXmlElement* wurzel = new TiXmlElement("config");
  dokument.LinkEndChild(wurzel);
  if (gVariablen != nullptr) {
    for (const auto& [name, variable] : *gVariablen) {
      if ((variable->mFlags & GESPEICHERT) == 0) continue;
      TiXmlElement* e = new TiXmlElement("var");
      e->SetAttribute("name", name.c_str());
      e->SetAttribute("wert", variable->mText.c_str());
      wurzel->LinkEndChild(e);
    }
  }

  // Write beside the old file and rename over it: the old file stays whole until the new
  // one is complete on disk.
  const std::string temp = TempPfad();
  std::FILE* datei = std::fopen(temp.c_str(), "wb");
  if (datei == nullptr) return SpeichernGescheitert();
  // A full disk shows at the flush or the sync.
  bool gut = dokument.SaveFile(datei);
  gut = std::fflush(datei) == 0 && gut;
  gut = Plattform::SynchronisiereDatei(datei) && gut;
  gut = std::fclose(datei) == 0 && gut;
  if (!gut || !LegeUnbrauchbareBeiseite() || std::rename(temp.c_str(), gKonfigPfad->c_str()) != 0)
    return SpeichernGescheitert();
  // The rename lives in the folder: without this a power cut may still bring back the old
  // file, or none. A folder that cannot be synced does not undo the save.
  Plattform::SynchronisiereOrdnerVon(*gKonfigPfad);
  return true;
}

void BefehlSet(const std::string& rest) {
  const TZerleger zerleger(rest);
  if (zerleger.Anzahl() == 0) {
    gLog.Schreibe("Definierte Variablen sind:");
    if (gVariablen == nullptr) {
      gLog.Schreibe("!Keine Variablen definiert.");
      return;
    }
    for (const auto& [name, v] : *gVariablen) {
      gLog.Schreibe("%c - %c%c%c - %s: %s", TypBuchstabe(v->mTyp),
                    (v->mFlags & Quarz_Variable::GESPEICHERT) ? 'd' : '*',
                    (v->mFlags & Quarz_Variable::SCHREIBGESCHUETZT) ? 'n' : '*',
                    v->mPruefung != nullptr ? 'f' : '*', name.c_str(), v->mText.c_str());
    }
    return;
  }

  Quarz_Variable* variable = Quarz_Variable::Finde(zerleger.Token(0));
  if (variable == nullptr) {
    gLog.Schreibe("!Variable %s ist nicht definiert.", zerleger.Token(0).c_str());
    return;
  }
  if (zerleger.Anzahl() == 1) {
    gLog.Schreibe("%s = %s", variable->mName.c_str(), variable->mText.c_str());
    return;
  }
  if (variable->mFlags & Quarz_Variable::SCHREIBGESCHUETZT) {
    if (!t_debug.mBool) {
      gLog.Schreibe("!Zuweisung unmöglich: Variable \"%s\" ist schreibgeschützt.",
                    variable->mName.c_str());
      return;
    }
    gLog.Schreibe("?Debug-Modus: schreibgeschützte Variable \"%s\" geändert.",
                  variable->mName.c_str());
  }
  std::string wert = zerleger.Token(1);
  for (size_t i = 2; i < zerleger.Anzahl(); ++i) wert += ", " + zerleger.Token(i);
  // A value the check refuses leaves the old text, and the line shows it.
  variable->SetzeText(wert);
  gLog.Schreibe("Variable \"%s\" auf Wert \"%s\" gesetzt.", variable->mName.c_str(),
                variable->mText.c_str());
}

// The engine core's own variables and the "set" command.
Quarz_Variable t_konfig("t_konfig", Quarz_Variable::SCHREIBGESCHUETZT, "programm.cfg");
Quarz_Variable t_debug("t_debug", Quarz_Variable::SCHREIBGESCHUETZT | Quarz_Variable::GESPEICHERT,
                       true);
Quarz_Variable t_logfile("t_logfile",
                         Quarz_Variable::SCHREIBGESCHUETZT | Quarz_Variable::GESPEICHERT, true);
Quarz_Variable sprache("sprache", Quarz_Variable::GESPEICHERT, int32_t{-1});

static Quarz_KonsolenBefehl gBefehlSet("set", BefehlSet);
