#pragma once
// Frame time in performance-counter ticks, a total time, and one-shot timed callbacks.
// gTimer is the engine timer: its total is the engine-wide "now" and it holds every timed
// callback. The game clock is a second instance owned by the main loop.
#include <boost/function.hpp>
#include <cstdint>
#include <vector>

#include "quarzklassen/kern/quarz_timerereignis.h"

// Tick-rate constants, set by every Starte: the counter frequency and its reciprocal, each as
// f32 and f64. Ticks times the reciprocal give seconds. Zero until a timer has started.
extern constinit float gTimerFrequenz;
extern constinit double gTimerFrequenzD;
extern constinit float gTimerKehrwert;
extern constinit double gTimerKehrwertD;

class Quarz_Timer {
public:
  constexpr Quarz_Timer() = default;
  Quarz_Timer(const Quarz_Timer&) = delete;
  Quarz_Timer& operator=(const Quarz_Timer&) = delete;

  // Starts the timer: frequency, tick-rate constants, scale 1, no maximum step, total 0, and
  // a first advance of 0.02 s. Both counts start at now, so the first frame does not
  // measure from zero. Returns true.
  bool Starte();
  // One tick per frame: advances the total by the mean of the last two frame times, scaled and
  // capped, and runs the due callbacks. While paused only the counts move.
  void Aktualisiere();
  // Advances the total by schritt ticks and runs every callback due strictly before it.
  void Vorruecken(int64_t schritt);
  // Schedules rueckruf at total + verzoegerung; returns its id. The function must not be empty.
  uint64_t Einplanen(int64_t verzoegerung, boost::function<void()> rueckruf);
  // Cancels a scheduled callback (deferred until the walk ends while callbacks run).
  void Entferne(uint64_t id);
  void Pausiere() { mPausiert = true; }
  void Fortsetzen() { mPausiert = false; }
  void SetZeitfaktor(double faktor) { mZeitfaktor = faktor; }
  // Upper bound of one tick's step in ticks; a negative value means no bound (0).
  void SetMaxSchritt(int64_t ticks) { mMaxSchritt = ticks < 0 ? 0 : ticks; }
  // Writes "Timer wird geschlossen." (debug entry) and clears active.
  void Schliesse();
  // Frees the callback list and the deferred removals.
  void Leere();

  // Convenience readers for seconds (ticks times the reciprocal frequency).
  double GesamtSekunden() const { return static_cast<double>(mGesamt) * gTimerKehrwertD; }
  float LetzterSchrittSekunden() const { return static_cast<float>(mLetzterSchritt) * gTimerKehrwert; }

  bool mAktiv = false;
  bool mPausiert = false;
  int64_t mFrequenz = 0;        // ticks per second
  int64_t mZaehler = 0;         // counter at the last tick
  int64_t mVorigerZaehler = 0;  // counter at the tick before
  int64_t mGesamt = 0;          // total time; for gTimer the engine-wide "now"
  int64_t mLetzterSchritt = 0;  // step of the last tick (0 while paused)
  double mZeitfaktor = 0.0;     // 1.0 after Starte
  int64_t mMaxSchritt = 0;      // 0 = no bound
  std::vector<Quarz_TimerEreignis> mEreignisse;  // in insertion order
  bool mFeuert = false;                          // set while callbacks run
  std::vector<uint64_t> mAufgeschobeneEntfernungen;
  uint64_t mNaechsteId = 0;
};

extern constinit Quarz_Timer gTimer;
