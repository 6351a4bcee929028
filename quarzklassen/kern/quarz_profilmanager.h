#pragma once
// The small profiler: a list of registered profile points and a stack of active ones, with the
// root point "Gesamt" registered at static initialisation (index 0) and always on the stack.
// Nothing in the program measures with it yet.
#include <cstdint>
#include <string>
#include <vector>

class Quarz_ProfilManager {
public:
  struct Punkt {
    int64_t mIndex = 0;
    std::string mName;
    std::string mDatei;
    int64_t mZeile = 0;
    uint64_t mAufrufe = 0;    // how often entered
    uint64_t mSumme = 0;      // ticks spent inside
    int64_t mZeit[2] = {0, 0};
    std::vector<uint64_t> mEintraege;
  };

  Quarz_ProfilManager();
  Quarz_ProfilManager(const Quarz_ProfilManager&) = delete;
  Quarz_ProfilManager& operator=(const Quarz_ProfilManager&) = delete;

  // Appends a point and returns its index.
  int64_t Registriere(const std::string& name, const std::string& datei, int64_t zeile);
  // Enter and leave a point; leaving adds the ticks spent since entering.
  void Betrete(int64_t index);
  void Verlasse();

  std::vector<Punkt> mPunkte;
  std::vector<int64_t> mStapel;
};

extern Quarz_ProfilManager gProfilManager;
