// The timer on a fake clock: start, scale, pause, maximum step and timed callbacks.
#include <gtest/gtest.h>

#include "hilfen.h"
#include "quarzklassen/kern/quarz_timer.h"

using namespace testhilfe;

namespace {

constexpr int64_t MS = 1000000;  // nanosecond ticks per millisecond

class Timer : public ::testing::Test {
protected:
  FalscheUhrAn uhr{5000 * MS};
  Quarz_Timer timer;
  void SetUp() override { timer.Starte(); }
  // n frames of the given length.
  void Frames(int n, int64_t laenge) {
    for (int i = 0; i < n; ++i) {
      uhr.Vor(laenge);
      timer.Aktualisiere();
    }
  }
};

}  // namespace

TEST_F(Timer, StartSetztKonstantenUndLaeuftZwanzigMillisekundenAn) {
  EXPECT_TRUE(timer.mAktiv);
  EXPECT_EQ(timer.mFrequenz, 1000000000);
  EXPECT_FLOAT_EQ(gTimerFrequenz, 1e9f);
  EXPECT_DOUBLE_EQ(gTimerKehrwertD, 1e-9);
  EXPECT_EQ(timer.mGesamt, 20 * MS);
  EXPECT_EQ(timer.mZeitfaktor, 1.0);
  EXPECT_EQ(timer.mZaehler, 5000 * MS);
  EXPECT_EQ(timer.mVorigerZaehler, 5000 * MS);
}

TEST_F(Timer, ErsterTickMisstVomStartNichtVomZaehlerNullpunkt) {
  Frames(1, 16 * MS);
  EXPECT_EQ(timer.mLetzterSchritt, 8 * MS);  // mean with the start-up frame of length 0
  Frames(1, 16 * MS);
  EXPECT_EQ(timer.mLetzterSchritt, 16 * MS);
}

TEST_F(Timer, ZeitfaktorUndMittelZweierFrames) {
  Frames(2, 16 * MS);
  timer.SetZeitfaktor(2.0);
  const int64_t vorher = timer.mGesamt;
  Frames(1, 16 * MS);
  EXPECT_EQ(timer.mGesamt - vorher, 32 * MS);
  timer.SetZeitfaktor(1.0);
  Frames(1, 30 * MS);
  EXPECT_EQ(timer.mLetzterSchritt, 23 * MS);  // (16 + 30) / 2
}

TEST_F(Timer, MaximalerSchritt) {
  timer.SetMaxSchritt(100 * MS);
  Frames(2, 500 * MS);
  EXPECT_EQ(timer.mLetzterSchritt, 100 * MS);
  timer.SetMaxSchritt(-5);
  EXPECT_EQ(timer.mMaxSchritt, 0);
  Frames(1, 500 * MS);
  EXPECT_EQ(timer.mLetzterSchritt, 500 * MS);
}

TEST_F(Timer, PauseMisstNachherNurDieLetztenZweiFrames) {
  Frames(2, 16 * MS);
  const int64_t vorher = timer.mGesamt;
  timer.Pausiere();
  Frames(10, 1000 * MS);
  EXPECT_EQ(timer.mGesamt, vorher);
  EXPECT_EQ(timer.mLetzterSchritt, 0);
  timer.Fortsetzen();
  Frames(1, 16 * MS);
  EXPECT_EQ(timer.mLetzterSchritt, (1000 + 16) * MS / 2);  // not the ten paused seconds
}

TEST_F(Timer, RueckrufGenauZurNeuenGesamtzeitLaeuftNochNicht) {
  int laeufe = 0;
  timer.Einplanen(10 * MS, [&] { ++laeufe; });
  timer.Vorruecken(10 * MS);
  EXPECT_EQ(laeufe, 0);
  timer.Vorruecken(1);
  EXPECT_EQ(laeufe, 1);
  timer.Vorruecken(100 * MS);
  EXPECT_EQ(laeufe, 1);  // one-shot
  EXPECT_TRUE(timer.mEreignisse.empty());
}

TEST_F(Timer, VerzoegerungNullLaeuftBeimNaechstenVorruecken) {
  int laeufe = 0;
  timer.Einplanen(0, [&] { ++laeufe; });
  timer.Vorruecken(0);
  EXPECT_EQ(laeufe, 0);
  timer.Vorruecken(1);
  EXPECT_EQ(laeufe, 1);
}

TEST_F(Timer, GleicheFaelligkeitInEinplanungsreihenfolge) {
  std::string folge;
  timer.Einplanen(5 * MS, [&] { folge += 'a'; });
  timer.Einplanen(1 * MS, [&] { folge += 'b'; });
  timer.Einplanen(5 * MS, [&] { folge += 'c'; });
  timer.Einplanen(5 * MS, [&] { folge += 'd'; });
  timer.Vorruecken(10 * MS);
  EXPECT_EQ(folge, "abcd");  // insertion order, not due order
}

TEST_F(Timer, EntfernenAussenUndInnen) {
  std::string folge;
  const uint64_t a = timer.Einplanen(1, [&] { folge += 'a'; });
  uint64_t c = 0;
  timer.Einplanen(1, [&] { folge += 'b'; timer.Entferne(c); });
  c = timer.Einplanen(1, [&] { folge += 'c'; });
  timer.Entferne(a);
  timer.Entferne(999);  // unknown id: nothing
  timer.Vorruecken(10);
  EXPECT_EQ(folge, "b");
  EXPECT_TRUE(timer.mEreignisse.empty());
  EXPECT_TRUE(timer.mAufgeschobeneEntfernungen.empty());
}

TEST_F(Timer, RueckrufePlanenUndEntfernenWaehrendDesLaufs) {
  std::string folge;
  // Enough new entries from inside a callback to move the list's storage.
  timer.Einplanen(1, [&] {
    folge += 'a';
    for (int i = 0; i < 100; ++i) timer.Einplanen(5, [&] { folge += 'n'; });
    timer.Einplanen(-1, [&] { folge += 's'; });  // already due: runs in this walk
  });
  timer.Einplanen(1, [&] { folge += 'b'; });
  timer.Vorruecken(2);
  EXPECT_EQ(folge, "abs");
  timer.Vorruecken(10);
  EXPECT_EQ(folge, "abs" + std::string(100, 'n'));

  // A callback that removes itself, and one that empties the whole list.
  folge.clear();
  uint64_t selbst = 0;
  selbst = timer.Einplanen(0, [&] { folge += 'x'; timer.Entferne(selbst); });
  timer.Einplanen(0, [&] { folge += 'y'; timer.Leere(); });
  timer.Einplanen(0, [&] { folge += 'z'; });
  timer.Vorruecken(1);
  EXPECT_EQ(folge, "xy");
  EXPECT_TRUE(timer.mEreignisse.empty());
}

TEST_F(Timer, LeerenFunktionenWerdenNichtAufgerufen) {
  timer.Einplanen(0, boost::function<void()>());
  timer.Vorruecken(1);
  EXPECT_TRUE(timer.mEreignisse.empty());
}
