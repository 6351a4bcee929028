#pragma once
// Console variables: named, typed settings registered at static initialisation, shown and
// changed with the console command "set" and, when flagged so, kept in "spiel.cfg".
// A variable holds its value in every typed form at once; readers take the form they need
// straight from the record (mInt, mFloat, mBool, mVektor3, mVektor4, mText).
#include <atomic>
#include <cstdint>
#include <map>
#include <string>

class Quarz_Variable {
public:
  enum Typ : uint32_t { TEXT = 0, BOOL = 1, INT = 2, FLOAT = 3, VEKTOR3 = 4, VEKTOR4 = 5 };
  enum Flag : uint32_t { SCHREIBGESCHUETZT = 1u << 0, GESPEICHERT = 1u << 1 };

  // Check callback: phase 0 runs before a change with the new text and may refuse it by
  // returning false (it may rewrite the text); phase 1 runs after the change.
  using PruefFunktion = bool (*)(Quarz_Variable& variable, uint32_t phase, std::string* text);

  // The default goes through the setter of the type before the check callback is attached,
  // so the callback never sees it. Each constructor registers the record.
  Quarz_Variable(const char* name, uint32_t flags, const char* standard,
                 PruefFunktion pruefung = nullptr);  // text variable
  Quarz_Variable(const char* name, uint32_t flags, bool standard,
                 PruefFunktion pruefung = nullptr);  // bool variable
  Quarz_Variable(const char* name, uint32_t flags, int32_t standard,
                 PruefFunktion pruefung = nullptr);  // integer variable
  // Any type, the default given as text (float and vector variables).
  Quarz_Variable(const char* name, Typ typ, uint32_t flags, const char* standard,
                 PruefFunktion pruefung = nullptr);
  Quarz_Variable(const Quarz_Variable&) = delete;
  Quarz_Variable& operator=(const Quarz_Variable&) = delete;

  // Assignments; each returns false when the check callback refused the value.
  bool SetzeText(const std::string& text);
  bool SetzeInt(int32_t wert);
  bool SetzeBool(bool wert);
  // Rewrites the value text in the canonical form of the type from the typed value.
  void AktualisiereText();
  // The leading decimal number of a text as an integer variable takes it (0 for none),
  // clamped to the 32-bit range; check callbacks read the new text with it.
  static int32_t LiesGanzzahl(const std::string& text);

  // Registry, ordered by name (byte-wise); created by the first registration.
  using Register = std::map<std::string, Quarz_Variable*>;
  static Register* Variablen();  // null until the first registration
  static void Registriere(Quarz_Variable* variable);
  static Quarz_Variable* Finde(const std::string& name);
  // First variable name (in name order) beginning with praefix; empty when none.
  static std::string Vervollstaendige(const std::string& praefix);

  // The configuration file. LadeKonfig remembers the path for SpeichereKonfig. A file that
  // is there but cannot be used (unreadable, no XML, nested too deep, no "var") leaves the
  // defaults and is kept: the next save moves it aside to "<path>.defekt" first.
  static void LadeKonfig(const std::wstring& ordner, const std::wstring& dateiname);
  // Loads from a text already in memory (used by LadeKonfig and the fuzz target). False
  // when the text cannot be used (logged); a value its check refuses is skipped silently.
  static bool LadeKonfigText(const std::string& xml);
  // Writes a temporary file beside the remembered path and renames it over the old file, so
  // a crash or a full disk never leaves a cut configuration behind. False on failure, which
  // is not logged; the old file is then unchanged.
  static bool SpeichereKonfig();
  // The remembered configuration path (UTF-8); empty before LadeKonfig.
  static const std::string& KonfigPfad();

  std::string mName;
  uint32_t mTyp = TEXT;
  uint32_t mFlags = 0;
  PruefFunktion mPruefung = nullptr;
  std::string mText;
  int32_t mInt = 0;
  float mFloat = 0.0f;
  std::atomic<bool> mBool{false};  // read from other threads (t_debug gates debug log lines)
  float mVektor3[3] = {0.0f, 0.0f, 0.0f};
  float mVektor4[4] = {0.0f, 0.0f, 0.0f, 1.0f};

private:
  template <typename Setzer>
  Quarz_Variable(const char* name, uint32_t typ, uint32_t flags, PruefFunktion pruefung,
                 Setzer setzeStandard);
};

// The registry; null until the first variable registers.
extern constinit Quarz_Variable::Register* gVariablen;

// The engine core's own variables.
extern Quarz_Variable t_konfig;   // text, read-only, "programm.cfg"
extern Quarz_Variable t_debug;    // bool, read-only, saved, on: gates debug log lines
extern Quarz_Variable t_logfile;  // bool, read-only, saved, on: gates the log file
extern Quarz_Variable sprache;    // integer, saved, -1

// Handler of the console command "set".
void BefehlSet(const std::string& rest);
