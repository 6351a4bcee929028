#include "quarzklassen/kern/quarz_timer.h"

#include <algorithm>
#include <utility>

#include "plattform/system/system_linux.h"
#include "quarzklassen/kern/quarz_log.h"

constinit float gTimerFrequenz = 0.0f;
constinit double gTimerFrequenzD = 0.0;
constinit float gTimerKehrwert = 0.0f;
constinit double gTimerKehrwertD = 0.0;

constinit Quarz_Timer gTimer;

bool Quarz_Timer::Starte() {
  mAktiv = true;
  mPausiert = false;
  mFrequenz = Plattform::LeistungsFrequenz();
  gTimerFrequenz = static_cast<float>(mFrequenz);
  gTimerFrequenzD = static_cast<double>(mFrequenz);
  gTimerKehrwert = 1.0f / gTimerFrequenz;
  gTimerKehrwertD = 1.0 / gTimerFrequenzD;
  mZeitfaktor = 1.0;
  mMaxSchritt = 0;
  // Both counts start at now: the first tick measures the first frame, not the counter's age.
  mZaehler = Plattform::LeistungsZaehler();
  mVorigerZaehler = mZaehler;
  mGesamt = 0;
  const float anlauf = gTimerFrequenz * 0.02f;
  Vorruecken(static_cast<int64_t>(anlauf));
  return true;
}

void Quarz_Timer::Aktualisiere() {
  const int64_t zweiZurueck = mVorigerZaehler;
  mVorigerZaehler = mZaehler;
  mZaehler = Plattform::LeistungsZaehler();
  if (mPausiert) {
    mLetzterSchritt = 0;
    return;
  }
  // The mean of the last two frame times smooths single slow frames.
  const int64_t spanne = (mZaehler - zweiZurueck) >> 1;
  const double sekunden = static_cast<double>(spanne) * gTimerKehrwertD * mZeitfaktor;
  int64_t schritt = static_cast<int64_t>(sekunden * static_cast<double>(mFrequenz));
  if (mMaxSchritt > 0) schritt = std::min(schritt, mMaxSchritt);
  Vorruecken(schritt);
}

void Quarz_Timer::Vorruecken(int64_t schritt) {
  mGesamt += schritt;
  mLetzterSchritt = schritt;
  mFeuert = true;
  // Walk by index and re-read the length: callbacks may schedule (append) or remove entries.
  for (size_t i = 0; i < mEreignisse.size();) {
    const Quarz_TimerEreignis& e = mEreignisse[i];
    if (std::find(mAufgeschobeneEntfernungen.begin(), mAufgeschobeneEntfernungen.end(), e.mId) !=
        mAufgeschobeneEntfernungen.end()) {
      ++i;  // cancelled while firing: removed after the walk
      continue;
    }
    if (e.mFaellig >= mGesamt) {
      ++i;
      continue;
    }
    // Move the callback out and erase the entry before calling it: the call may append to the
    // list (moving its storage) or cancel entries.
    boost::function<void()> rueckruf = std::move(mEreignisse[i].mRueckruf);
    mEreignisse.erase(mEreignisse.begin() + static_cast<std::ptrdiff_t>(i));
    if (rueckruf) rueckruf();
  }
  mFeuert = false;
  // Deferred removals, last queued first; each removes the first entry with its id.
  while (!mAufgeschobeneEntfernungen.empty()) {
    const uint64_t id = mAufgeschobeneEntfernungen.back();
    mAufgeschobeneEntfernungen.pop_back();
    auto it = std::find_if(mEreignisse.begin(), mEreignisse.end(),
                           [id](const Quarz_TimerEreignis& e) { return e.mId == id; });
    if (it != mEreignisse.end()) mEreignisse.erase(it);
  }
}

uint64_t Quarz_Timer::Einplanen(int64_t verzoegerung, boost::function<void()> rueckruf) {
  const uint64_t id = mNaechsteId++;
  mEreignisse.push_back(Quarz_TimerEreignis{id, mGesamt + verzoegerung, std::move(rueckruf)});
  return id;
}

void Quarz_Timer::Entferne(uint64_t id) {
  if (mFeuert) {
    mAufgeschobeneEntfernungen.push_back(id);
    return;
  }
  auto it = std::find_if(mEreignisse.begin(), mEreignisse.end(),
                         [id](const Quarz_TimerEreignis& e) { return e.mId == id; });
  if (it != mEreignisse.end()) mEreignisse.erase(it);
}

void Quarz_Timer::Schliesse() {
  gLog.SchreibeDebug("Timer wird geschlossen.");
  mAktiv = false;
}

void Quarz_Timer::Leere() {
  std::vector<Quarz_TimerEreignis>().swap(mEreignisse);
  std::vector<uint64_t>().swap(mAufgeschobeneEntfernungen);
}
