#include "quarzklassen/kern/quarz_profilmanager.h"

#include "plattform/system/system_linux.h"

Quarz_ProfilManager gProfilManager;

Quarz_ProfilManager::Quarz_ProfilManager() {
  // The root point covers the whole run and is never left.
  mStapel.push_back(Registriere("Gesamt", "quarz_profilmanager.cpp", 12));
}

int64_t Quarz_ProfilManager::Registriere(const std::string& name, const std::string& datei,
                                         int64_t zeile) {
  Punkt punkt;
  punkt.mIndex = static_cast<int64_t>(mPunkte.size());
  punkt.mName = name;
  punkt.mDatei = datei;
  punkt.mZeile = zeile;
  mPunkte.push_back(std::move(punkt));
  return mPunkte.back().mIndex;
}

void Quarz_ProfilManager::Betrete(int64_t index) {
  if (index < 0 || static_cast<size_t>(index) >= mPunkte.size()) return;
  Punkt& punkt = mPunkte[static_cast<size_t>(index)];
  punkt.mAufrufe++;
  punkt.mZeit[0] = Plattform::LeistungsZaehler();
  mStapel.push_back(index);
}

void Quarz_ProfilManager::Verlasse() {
  if (mStapel.size() <= 1) return;  // the root stays
  Punkt& punkt = mPunkte[static_cast<size_t>(mStapel.back())];
  mStapel.pop_back();
  punkt.mZeit[1] = Plattform::LeistungsZaehler();
  punkt.mSumme += static_cast<uint64_t>(punkt.mZeit[1] - punkt.mZeit[0]);
}
