// The drawing context on a real window under Xvfb: constants, drawing, bindings, device reset,
// eviction, buffers, the console commands and the shutdown report.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "quarzklassen/grafik/geraet/quarz_alphazustand.h"
#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_konsolebasisanzeige.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/textur/quarz_renderziel.h"
#include "quarzklassen/grafik/textur/quarz_sampler.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/grafik/textur/quarz_wuerfeltextur.h"
#include "quarzklassen/kern/tmatrix4.h"
#include "tests/grafik/geraet/grafik_hilfen.h"

namespace {

using Z = Quarz_ZeichenKontext;

constexpr uint32_t kSchwarz = 0xFF000000u;

// ---- constants -------------------------------------------------------------------------------

TEST_F(GrafikTest, PackedConstantIndexWritesOnlyThePresentStagesAndChecksLimits) {
  struct Fall {
    uint32_t index;
    int vertexRegister, pixelRegister;  // -1: no write
    bool meldung;
  } faelle[] = {
      {0xFFF005, 5, -1, false}, {0x003FFF, -1, 3, false}, {0xFFFFFF, -1, -1, false},
      {0x0020FF, 255, 2, false}, {0xFFF100, -1, -1, true},  {0x0E0FFF, -1, -1, true},
  };
  auto* impl = mKontext->mImpl;
  for (const Fall& f : faelle) {
    impl->InternVorZeichenAufruf(0);  // empties both ranges
    const int vorher = mLog.Zaehle("Ungültiger Konstantenindex");
    mKontext->SetProgrammKonstante(f.index, 1.0f, 2.0f, 3.0f, 4.0f);
    EXPECT_EQ(mLog.Zaehle("Ungültiger Konstantenindex") > vorher, f.meldung) << std::hex << f.index;
    if (f.vertexRegister < 0) {
      EXPECT_EQ(impl->mVertexHoch, 0u) << std::hex << f.index;
    } else {
      EXPECT_EQ(impl->mVertexNiedrig, static_cast<uint32_t>(f.vertexRegister));
      EXPECT_EQ(impl->mVertexKonstanten[f.vertexRegister * 4 + 2], 3.0f);
    }
    if (f.pixelRegister < 0) {
      EXPECT_EQ(impl->mPixelHoch, 0u) << std::hex << f.index;
    } else {
      EXPECT_EQ(impl->mPixelNiedrig, static_cast<uint32_t>(f.pixelRegister));
      EXPECT_EQ(impl->mPixelKonstanten[f.pixelRegister * 4 + 3], 4.0f);
    }
  }
}

TEST_F(GrafikTest, PixelConstantsFiveThenTwoUploadTwoToFiveInOneRange) {
  auto* impl = mKontext->mImpl;
  impl->InternVorZeichenAufruf(0);
  mKontext->SetProgrammKonstante(0x005FFF, 5.0f, 5.5f, 0.0f, 1.0f);
  mKontext->SetProgrammKonstante(0x002FFF, 2.0f, 2.5f, 0.0f, 1.0f);
  EXPECT_EQ(impl->mPixelNiedrig, 2u);
  EXPECT_EQ(impl->mPixelHoch, 6u);
  impl->InternVorZeichenAufruf(0);
  EXPECT_GT(impl->mPixelNiedrig, impl->mPixelHoch);  // empty afterwards
  float geraet[16] = {};
  ASSERT_EQ(impl->mGeraet->GetPixelShaderConstantF(2, geraet, 4), D3D_OK);
  EXPECT_EQ(geraet[0], 2.0f);
  EXPECT_EQ(geraet[1], 2.5f);
  EXPECT_EQ(geraet[12], 5.0f);
  EXPECT_EQ(geraet[4], 0.0f);  // registers 3 and 4 go along with the range, as zeros
  EXPECT_EQ(mKontext->mZaehler[Z::Z_KONSTANTEN], 2u);
}

TEST_F(GrafikTest, ColourConstantsAndMatrixReachTheShaders) {
  ErzeugeQuad(-1.0f, -1.0f, 0.0f, 1.0f);  // left half of the screen
  mKontext->Leeren(1, 0, 0, 0, 1);
  TMatrix4 verschiebung = TMatrix4::Einheit();
  verschiebung(0, 3) = 1.0f;  // x + 1: the quad moves to the right half
  ZeichneQuad(1.0f, 0.5f, 0.0f, 1.0f, verschiebung);
  EXPECT_EQ(Pixel(10, 24), kSchwarz);
  EXPECT_TRUE(FarbeNahe(Pixel(50, 24), 0xFFFF8000u)) << std::hex << Pixel(50, 24);
  EXPECT_EQ(mKontext->mZaehler[Z::Z_INDEX_ZEICHNUNGEN], 1u);
}

// ---- bindings and regions --------------------------------------------------------------------

TEST_F(GrafikTest, UnchangedBindingsCostNothingAndRegionsClampToTheTarget) {
  Quarz_AlphaZustand* blend = mKontext->ErzeugeAlphaZustand(Quarz_AlphaZustandBeschr(0, 2, 4));
  mKontext->NulleZaehler();
  mKontext->SetAlphaZustand(blend);
  mKontext->SetAlphaZustand(blend);
  EXPECT_EQ(mKontext->mZaehler[Z::Z_ALPHAZUSTAENDE], 1u);
  mKontext->SetAlphaZustand(nullptr);
  mKontext->SetAlphaZustand(nullptr);
  EXPECT_EQ(mKontext->mZaehler[Z::Z_ALPHAZUSTAENDE], 2u);

  mKontext->SetRenderBereich(10, 10, 5000, 5000);
  EXPECT_EQ(mKontext->mBereichBreite, static_cast<uint64_t>(kBreite - 10));
  EXPECT_EQ(mKontext->mBereichHoehe, static_cast<uint64_t>(kHoehe - 10));
  mKontext->SetRenderZiel(nullptr);  // back buffer current: back to the whole screen
  EXPECT_EQ(mKontext->mBereichX, 0u);
  EXPECT_EQ(mKontext->mBereichBreite, static_cast<uint64_t>(kBreite));
  EXPECT_EQ(mKontext->mZaehler[Z::Z_RENDERBEREICHE], 2u);
  mKontext->Freigeben(blend);
}

TEST_F(GrafikTest, ClearPacksTheColourAndStaysInsideTheRegion) {
  mKontext->Leeren(3, 0, 0, 0, 1);
  mKontext->SetRenderBereich(0, 0, kBreite / 2, kHoehe);
  mKontext->Leeren(1, 0.5f, 0.25f, 1.0f, 1.0f);
  EXPECT_EQ(Pixel(5, 5), 0xFF8040FFu);
  EXPECT_EQ(Pixel(kBreite - 5, 5), kSchwarz);
}

TEST_F(GrafikTest, FreeingABoundResourceForgetsItsBinding) {
  ErzeugeQuad(-1, -1, 1, 1);
  mKontext->SetProgramm(mProgramm);
  mKontext->SetVertexBuffer(0, mVb);
  mKontext->SetIndexBuffer(mIb);
  mKontext->Freigeben(mVb);
  mKontext->Freigeben(mIb);
  mVb = nullptr;
  mIb = nullptr;
  EXPECT_EQ(mKontext->mStromPuffer[0], nullptr);
  EXPECT_EQ(mKontext->mIndexPuffer, nullptr);
  // New buffers, quite possibly at the old addresses, must really be bound.
  mKontext->NulleZaehler();
  ErzeugeQuad(-1, -1, 1, 1);
  mKontext->SetVertexBuffer(0, mVb);
  mKontext->SetIndexBuffer(mIb);
  EXPECT_EQ(mKontext->mZaehler[Z::Z_VERTEXBUFFER], 1u);
  EXPECT_EQ(mKontext->mZaehler[Z::Z_INDEXBUFFER], 1u);
  mKontext->Leeren(1, 0, 0, 0, 1);
  ZeichneQuad(0, 1, 0, 1);
  EXPECT_EQ(Pixel(32, 24), 0xFF00FF00u);

  Quarz_AlphaZustand* a = mKontext->ErzeugeAlphaZustand(Quarz_AlphaZustandBeschr(0, 1, 1));
  mKontext->SetAlphaZustand(a);
  mKontext->Freigeben(a);
  Quarz_AlphaZustand* b = mKontext->ErzeugeAlphaZustand(Quarz_AlphaZustandBeschr(0, 1, 1));
  const uint64_t vorher = mKontext->mZaehler[Z::Z_ALPHAZUSTAENDE];
  mKontext->SetAlphaZustand(b);
  EXPECT_EQ(mKontext->mZaehler[Z::Z_ALPHAZUSTAENDE], vorher + 1);
  mKontext->Freigeben(b);
}

TEST_F(GrafikTest, InstanceCountsSetStreamFrequenciesOnlyWhenTheyChange) {
  auto* inst = mKontext->ErzeugeObjekt<TTestProgramm>(kQuadVS, kFarbePS, true);
  mKontext->SetProgramm(inst);
  auto* impl = mKontext->mImpl;
  impl->InternVorZeichenAufruf(3);
  EXPECT_EQ(impl->mStromFrequenz[0], D3DSTREAMSOURCE_INDEXEDDATA | 3u);
  EXPECT_EQ(impl->mStromFrequenz[1], D3DSTREAMSOURCE_INSTANCEDATA | 1u);
  impl->mGeraet->SetStreamSourceFreq(0, 7);  // a second draw with 3 must not touch it again
  impl->InternVorZeichenAufruf(3);
  UINT wert = 0;
  impl->mGeraet->GetStreamSourceFreq(0, &wert);
  EXPECT_EQ(wert, 7u);
  impl->InternVorZeichenAufruf(0);  // an ordinary draw: frequency 1 on the program's streams
  for (UINT s = 0; s < 2; ++s) {
    impl->mGeraet->GetStreamSourceFreq(s, &wert);
    EXPECT_EQ(wert, 1u) << s;
  }
  mKontext->SetProgramm(mProgramm);
  mKontext->Freigeben(inst);
}

// Which streams a draw sets a frequency on, after a sequence of draws with a one-stream and a
// two-stream (instanced) program: the calls are counted on the device, whose frequencies are
// set to a marker the layer never writes just before the last draw.
TEST_F(GrafikTest, OnlyStreamsWhoseFrequencyIsNotAsNeededAreSet) {
  auto* inst = mKontext->ErzeugeObjekt<TTestProgramm>(kQuadVS, kFarbePS, true);
  auto* impl = mKontext->mImpl;
  struct Schritt {
    bool instanziert;  // the two-stream program, else the one-stream one
    uint32_t instanzen;
  };
  struct Fall {
    std::vector<Schritt> vorher;
    Schritt zuletzt;
    std::vector<UINT> aufrufe;  // streams set by the last draw
  } faelle[] = {
      // The one-stream draw resets stream 0 only; stream 1 still carries instance data.
      {{{true, 3}, {false, 0}}, {true, 0}, {1}},
      {{{true, 3}}, {true, 0}, {0, 1}},
      {{{true, 3}}, {true, 3}, {}},
      {{{true, 3}}, {true, 4}, {0}},
      {{{false, 0}}, {false, 0}, {}},
      {{{false, 0}}, {true, 2}, {0, 1}},
      {{{true, 3}, {false, 0}}, {false, 0}, {}},
  };
  constexpr UINT kMarke = 7;
  for (const Fall& f : faelle) {
    // Nothing set yet, as after a reset.
    for (auto& frequenz : impl->mStromFrequenz) frequenz = 0;
    const auto zeichne = [&](const Schritt& s) {
      mKontext->SetProgramm(s.instanziert ? static_cast<Quarz_Programm*>(inst) : mProgramm);
      impl->InternVorZeichenAufruf(s.instanzen);
    };
    for (const Schritt& s : f.vorher) zeichne(s);
    for (UINT s = 0; s < 4; ++s) impl->mGeraet->SetStreamSourceFreq(s, kMarke);
    zeichne(f.zuletzt);
    std::vector<UINT> aufrufe;
    for (UINT s = 0; s < 4; ++s) {
      UINT wert = 0;
      impl->mGeraet->GetStreamSourceFreq(s, &wert);
      if (wert != kMarke) aufrufe.push_back(s);
    }
    EXPECT_EQ(aufrufe, f.aufrufe) << "case " << (&f - faelle);
  }
  for (UINT s = 0; s < 4; ++s) impl->mGeraet->SetStreamSourceFreq(s, 1);
  for (auto& frequenz : impl->mStromFrequenz) frequenz = 1;
  mKontext->SetProgramm(mProgramm);
  mKontext->Freigeben(inst);
}

// ---- device reset ------------------------------------------------------------------------------

TEST_F(GrafikTest, AfterAForcedResetKeptCopiesDrawTheSamePixels) {
  ErzeugeQuad(-0.5f, -0.5f, 0.5f, 0.5f);
  mKontext->Leeren(1, 0, 0, 0, 1);
  ZeichneQuad(0.2f, 0.4f, 0.8f, 1.0f);
  const std::vector<uint32_t> vorher = Bild();

  Plattform::ErzwingeGeraeteVerlust();
  mKontext->Praesentiere();
  EXPECT_EQ(mLog.Zaehle("ReInit Darstellung: Device zurücksetzen"), 1);
  EXPECT_FALSE(mKontext->mImpl->mGeraetVerloren);
  EXPECT_EQ(mVb->mZustand, Quarz_BasisObjekt::FREIGEGEBEN);
  EXPECT_EQ(mKontext->mProgramm, nullptr);  // nothing counts as bound after a reset

  mKontext->NulleZaehler();
  mKontext->SetAlphaZustand(nullptr);
  EXPECT_EQ(mKontext->mZaehler[Z::Z_ALPHAZUSTAENDE], 1u);
  mKontext->Leeren(1, 0, 0, 0, 1);
  ZeichneQuad(0.2f, 0.4f, 0.8f, 1.0f);
  EXPECT_EQ(mVb->mZustand, Quarz_BasisObjekt::VORHANDEN);
  EXPECT_EQ(Bild(), vorher);
  EXPECT_NE(vorher[24 * kBreite + 32], vorher[0]);
}

TEST_F(GrafikTest, ALostDeviceWaitsWhileMinimisedAndIsResetWhenShownAgain) {
  gSystem.SetzeFensterZustand(false, true);
  Plattform::ErzwingeGeraeteVerlust();
  for (int frame = 0; frame < 2; ++frame) {
    mKontext->SetRueckseite(frame + 1);
    mKontext->Praesentiere();
    EXPECT_TRUE(mKontext->mImpl->mGeraetVerloren);
    EXPECT_EQ(mKontext->mZaehler[Z::Z_RUECKSEITEN], 0u);  // counters zeroed all the same
  }
  EXPECT_EQ(mLog.Zaehle("ReInit Darstellung"), 0);
  gSystem.SetzeFensterZustand(true, true);
  mKontext->Praesentiere();
  EXPECT_FALSE(mKontext->mImpl->mGeraetVerloren);
  EXPECT_EQ(mLog.Zaehle("ReInit Darstellung"), 1);
}

// ---- eviction ----------------------------------------------------------------------------------

// Ticks of `sekunden` seconds.
int64_t Ticks(double sekunden) { return static_cast<int64_t>(sekunden * gTimerFrequenzD); }

TEST_F(GrafikTest, EvictionTakesWhatIsOlderThanNineTenthsOfTheOldest) {
  gTimer.mGesamt = Ticks(100.0);
  const double alter[4] = {10.0, 9.5, 8.0, 2.0};
  std::array<uint8_t, 64> daten{};
  Quarz_VertexBuffer* puffer[4];
  for (int i = 0; i < 4; ++i) {
    TInitialInhalt inhalt{daten.data(), daten.size(), 0};
    puffer[i] = mKontext->ErzeugeVertexBuffer(0, 0, &inhalt);
    puffer[i]->mLetzteNutzung = gTimer.mGesamt - Ticks(alter[i]);
  }
  Quarz_Screen3D::SchaffeVideoRAMPlatz(mKontext->mRegister);
  EXPECT_EQ(puffer[0]->mZustand, Quarz_BasisObjekt::FREIGEGEBEN);
  EXPECT_EQ(puffer[1]->mZustand, Quarz_BasisObjekt::FREIGEGEBEN);
  EXPECT_EQ(puffer[2]->mZustand, Quarz_BasisObjekt::VORHANDEN);
  EXPECT_EQ(puffer[3]->mZustand, Quarz_BasisObjekt::VORHANDEN);
  EXPECT_FALSE(mLog.Enthaelt("sehr jung"));
  const std::string zeile = "VideoRAM voll, Platz geschaffen: 2 Resourcen rausgeworfen, Grenzalter ";
  ASSERT_TRUE(mLog.Enthaelt(zeile)) << mLog.Alle();
  const std::string alle = mLog.Alle();
  EXPECT_NEAR(std::stod(alle.substr(alle.find(zeile) + zeile.size())), 9.0, 1e-3);

  // Everything used just now: the warning, and nothing goes.
  for (auto* p : puffer) p->Benutzen();
  Quarz_Screen3D::SchaffeVideoRAMPlatz(mKontext->mRegister);
  EXPECT_TRUE(mLog.Enthaelt("?Quarz_Screen3D::SchaffeVideoRAMPlatz(): Rausgeworfene Resourcen sind sehr jung!"));
  EXPECT_TRUE(mLog.Enthaelt("0 Resourcen rausgeworfen"));
  for (auto* p : puffer) {
    EXPECT_EQ(p->mZustand, Quarz_BasisObjekt::VORHANDEN);
    mKontext->Freigeben(p);
  }
}

TEST_F(GrafikTest, OutOfVideoMemoryEvictsTheOldBufferAndCreatesTheNewOne) {
  gTimer.mGesamt = Ticks(50.0);
  std::array<uint8_t, 4096> daten{};
  TInitialInhalt inhalt{daten.data(), daten.size(), 0};
  Quarz_VertexBuffer* alt = mKontext->ErzeugeVertexBuffer(0, 0, &inhalt);
  alt->mLetzteNutzung = gTimer.mGesamt - Ticks(10.0);
  Plattform::SetzeVideoRAMBudget(Plattform::GetBelegterVideoRAM() + 1024);  // no room for 4 kb
  Quarz_VertexBuffer* neu = mKontext->ErzeugeVertexBuffer(0, 0, &inhalt);
  EXPECT_EQ(alt->mZustand, Quarz_BasisObjekt::FREIGEGEBEN);
  EXPECT_EQ(neu->mZustand, Quarz_BasisObjekt::VORHANDEN);
  EXPECT_EQ(mLog.Zaehle("VideoRAM voll, Platz geschaffen: 1 Resourcen"), 1);
  mKontext->Freigeben(alt);
  mKontext->Freigeben(neu);
}

TEST_F(GrafikTest, CreationGivesUpAfterBoundedRetriesAndUploadsLater) {
  Plattform::SetzeVideoRAMBudget(Plattform::GetBelegterVideoRAM());
  ErzeugeQuad(-1, -1, 1, 1);  // both creations fail: nothing can be evicted
  EXPECT_EQ(mVb->mZustand, Quarz_BasisObjekt::FREIGEGEBEN);
  EXPECT_EQ(mLog.Zaehle("VideoRAM voll"), 2 * Quarz::Intern::kMaxPlatzVersuche);
  EXPECT_TRUE(mLog.Enthaelt("!Quarz_VertexBuffer::Quarz_VertexBuffer( 48): Failed to create vertex buffer"));
  EXPECT_TRUE(mLog.Enthaelt("\"VertexBuffer creation failed\" aufgetreten in Funktion Quarz_VertexBuffer::Benutzen"));
  EXPECT_FALSE(mLog.Enthaelt("Schreiben der Initialdaten gescheitert"));

  Plattform::SetzeVideoRAMBudget(UINT64_MAX);
  mKontext->Leeren(1, 0, 0, 0, 1);
  ZeichneQuad(1, 1, 1, 1);  // the next use creates the buffers from their kept copies
  EXPECT_EQ(mVb->mZustand, Quarz_BasisObjekt::VORHANDEN);
  EXPECT_EQ(Pixel(32, 24), 0xFFFFFFFFu);
}

TEST_F(GrafikTest, ABoundBufferEvictedAndRecreatedIsBoundAgain) {
  ErzeugeQuad(-1, -1, 1, 1);
  mKontext->Leeren(1, 0, 0, 0, 1);
  ZeichneQuad(0, 0, 1, 1);
  mVb->Rauswerfen();
  mIb->Rauswerfen();
  mKontext->NulleZaehler();
  mKontext->Leeren(1, 0, 0, 0, 1);
  ZeichneQuad(1, 0, 0, 1);  // same buffers, new device objects
  EXPECT_EQ(mKontext->mZaehler[Z::Z_VERTEXBUFFER], 1u);
  EXPECT_EQ(mKontext->mZaehler[Z::Z_INDEXBUFFER], 1u);
  EXPECT_EQ(Pixel(32, 24), 0xFFFF0000u);
}

// ---- buffers -----------------------------------------------------------------------------------

TEST_F(GrafikTest, BufferContentIsCheckedAndClamped) {
  std::array<uint8_t, 48> daten;
  for (size_t i = 0; i < daten.size(); ++i) daten[i] = static_cast<uint8_t>(i + 1);

  TInitialInhalt zuViel{daten.data(), daten.size(), 0};
  Quarz_VertexBuffer* dyn = mKontext->ErzeugeVertexBuffer(24, FLAG_DYNAMISCH, &zuViel);
  ASSERT_NE(dyn->mKopie, nullptr);
  EXPECT_EQ(std::memcmp(dyn->mKopie, daten.data(), 24), 0);

  TInitialInhalt kurz{daten.data(), 8, 0};
  Quarz_VertexBuffer* statisch = mKontext->ErzeugeVertexBuffer(16, 0, &kurz);
  EXPECT_TRUE(mLog.Enthaelt("\"Initialdaten müssen zum Buffer passen\""));
  EXPECT_EQ(statisch->mKopie[8], 0);

  TInitialInhalt neu{daten.data(), daten.size(), 0};
  dyn->SchreibeInhalt(&neu);  // larger than the buffer: refused
  EXPECT_TRUE(mLog.Enthaelt("\"Neuer Inhalt zu groß für Buffer\""));
  statisch->SchreibeInhalt(&kurz);
  EXPECT_TRUE(mLog.Enthaelt("nur bei dynamischer Ressource möglich"));

  TInitialInhalt indizes{daten.data(), 16, 0};
  Quarz_IndexBuffer* ib = mKontext->ErzeugeIndexBuffer(0, 0x102, &indizes);
  EXPECT_EQ(ib->mFormat, Quarz_IndexBuffer::INDEX_32);
  EXPECT_EQ(ib->mFlags, FLAG_DYNAMISCH);

  // Handed-over memory becomes the kept copy.
  void* eigen = std::malloc(16);
  std::memset(eigen, 7, 16);
  TInitialInhalt uebergabe{eigen, 16, 1};
  Quarz_VertexBuffer* genommen = mKontext->ErzeugeVertexBuffer(0, 0, &uebergabe);
  EXPECT_EQ(uebergabe.mDaten, nullptr);
  EXPECT_EQ(genommen->mKopie, eigen);

  for (Quarz_BasisObjekt* o : {static_cast<Quarz_BasisObjekt*>(dyn), static_cast<Quarz_BasisObjekt*>(statisch),
                               static_cast<Quarz_BasisObjekt*>(ib), static_cast<Quarz_BasisObjekt*>(genommen)})
    mKontext->Freigeben(o);
}

// ---- commands, window and shutdown -------------------------------------------------------------

TEST_F(GrafikTest, VideoRamListsTheResources) {
  std::array<uint8_t, 2048> daten{};
  TInitialInhalt inhalt{daten.data(), daten.size(), 0};
  Quarz_VertexBuffer* vb = mKontext->ErzeugeVertexBuffer(0, 0, &inhalt);
  Quarz_KonsoleBasisAnzeige::FuehreAus("videoram");
  EXPECT_TRUE(mLog.Enthaelt("Insgesamt 4 Resourcen mit einer Gesamtgröße von schätzungsweise 2 kb."))
      << mLog.Alle();
  EXPECT_TRUE(mLog.Enthaelt("1 VertexBuffer (2 kb)"));
  EXPECT_TRUE(mLog.Enthaelt("  davon 1 im VideoRAM (2 kb)"));
  EXPECT_TRUE(mLog.Enthaelt("0 Renderziele, 0 Sampler-Konfigs, 1 Alpha-Konfigs, 1 Alpha-Zustände"));
  EXPECT_TRUE(mLog.Enthaelt("0 CubeMaps (0 kb)"));
  mKontext->Freigeben(vb);
}

TEST_F(GrafikTest, VideoRamSortsTexturesCubeMapsAndTargetsByTheirClass) {
  Quarz_Textur* tex =
      mKontext->ErzeugeTextur(32, 32, 1, uint32_t{FLAG_RENDERZIEL} | Quarz::PF_A8R8G8B8, nullptr);
  auto* cube = mKontext->ErzeugeObjekt<Quarz_WuerfelTextur>(16, 1, Quarz::PF_A8R8G8B8, nullptr);
  Quarz_Renderziel* ziel = mKontext->ErzeugeRenderziel(Quarz_RenderzielBeschr(tex));
  Quarz_Sampler* sampler = mKontext->ErzeugeSampler(Quarz_SamplerBeschr());
  Quarz_KonsoleBasisAnzeige::FuehreAus("videoram");
  // The test program derives from the program class and counts as one.
  EXPECT_TRUE(mLog.Enthaelt("1 Shader-Programme von")) << mLog.Alle();
  EXPECT_TRUE(mLog.Enthaelt("1 Renderziele, 1 Sampler-Konfigs, 1 Alpha-Konfigs, 1 Alpha-Zustände"));
  EXPECT_EQ(mLog.Zaehle("1 Texturen (4 kb)"), 1);
  EXPECT_EQ(mLog.Zaehle("  davon 1 Renderziele (4 kb)"), 1);  // the texture, not the cube map
  EXPECT_EQ(mLog.Zaehle("1 CubeMaps (6 kb)"), 1);  // six faces of 16 x 16 x 4 bytes
  mKontext->Freigeben(ziel);
  mKontext->Freigeben(sampler);
  mKontext->Freigeben(cube);
  mKontext->Freigeben(tex);
}

TEST_F(GrafikTest, OnlyTexturesAndCubeMapsReachTheSamplerStages) {
  Quarz_Textur* tex = mKontext->ErzeugeTextur(4, 4, 1, Quarz::PF_A8R8G8B8, nullptr);
  auto* cube = mKontext->ErzeugeObjekt<Quarz_WuerfelTextur>(4, 1, Quarz::PF_A8R8G8B8, nullptr);
  Quarz_Sampler* sampler = mKontext->ErzeugeSampler(Quarz_SamplerBeschr());
  ErzeugeQuad(-1, -1, 1, 1);
  const auto& stufen = mKontext->mImpl->mSampler;
  mKontext->SetTextur(0xFF00, sampler, tex);  // pixel stage 0 only
  EXPECT_EQ(stufen[0].mTextur, static_cast<IDirect3DBaseTexture9*>(tex->mTextur));
  mKontext->SetTextur(0x01FF, sampler, cube);  // vertex stage 1 only
  EXPECT_EQ(stufen[17].mTextur, static_cast<IDirect3DBaseTexture9*>(cube->mTextur));
  EXPECT_EQ(stufen[1].mTextur, nullptr);
  mKontext->SetTextur(0xFF00, sampler, mVb);  // a buffer is no texture: the stage is emptied
  EXPECT_EQ(stufen[0].mTextur, nullptr);
  EXPECT_EQ(mKontext->mZaehler[Z::Z_TEXTUREN], 3u);
  mKontext->SetTextur(0x01FF, nullptr, nullptr);
  mKontext->Freigeben(sampler);
  mKontext->Freigeben(cube);
  mKontext->Freigeben(tex);
}

TEST_F(GrafikTest, FreeingTheCurrentTargetReturnsToTheBackBuffer) {
  Quarz_Textur* tex =
      mKontext->ErzeugeTextur(16, 16, 1, uint32_t{FLAG_RENDERZIEL} | Quarz::PF_A8R8G8B8, nullptr);
  Quarz_Renderziel* ziel = mKontext->ErzeugeRenderziel(Quarz_RenderzielBeschr(tex));
  mKontext->Leeren(1, 0, 0, 0, 1);
  mKontext->SetRenderZiel(ziel);
  EXPECT_EQ(mKontext->mZielBreite, 16u);
  mKontext->Freigeben(ziel);
  EXPECT_EQ(mKontext->mRenderZiel, nullptr);
  EXPECT_EQ(mKontext->mZielBreite, static_cast<uint64_t>(kBreite));
  EXPECT_EQ(mKontext->mBereichHoehe, static_cast<uint64_t>(kHoehe));
  // Drawing after it reaches the screen, not the surfaces of the freed target.
  mKontext->Leeren(1, 1, 0, 0, 1);
  EXPECT_EQ(Pixel(40, 30), 0xFFFF0000u);
  mKontext->Freigeben(tex);
}

TEST_F(GrafikTest, ReinitVideoAppliesTheVariablesWithOneReset) {
  Quarz_Variable::Finde("displaywidth")->SetzeInt(80);
  Quarz_Variable::Finde("displayheight")->SetzeInt(60);
  Quarz_Variable::Finde("fullscreen")->SetzeBool(false);
  Quarz_KonsoleBasisAnzeige::FuehreAus("reinitvideo");
  EXPECT_TRUE(mLog.Enthaelt("Darstellung wird geändert auf 80x60, Fenster."));
  EXPECT_EQ(mLog.Zaehle("ReInit Darstellung"), 1);
  EXPECT_EQ(Quarz_Screen3D::mModus.mBreite, 80);
  EXPECT_EQ(mKontext->mZielBreite, 80u);
  int b = 0, h = 0;
  glfwGetWindowSize(Quarz_Screen3D::mFenster, &b, &h);
  EXPECT_EQ(b, 80);
  EXPECT_EQ(h, 60);
  // The window system's answer to our own change is not a change.
  for (int i = 0; i < 5; ++i) glfwPollEvents();
  Quarz_Screen3D::FensterGroesse(Quarz_Screen3D::mFenster, 80, 60);
  EXPECT_EQ(mLog.Zaehle("ReInit Darstellung"), 1);
  Quarz_Screen3D::FensterGroesse(Quarz_Screen3D::mFenster, 100, 60);  // a real resize
  EXPECT_EQ(mLog.Zaehle("ReInit Darstellung"), 2);
  EXPECT_EQ(Quarz_Variable::Finde("displaywidth")->mInt, 100);
}

// On a fresh configuration (0 x 0) "reinitvideo" means the monitor's size, as at the start.
TEST_F(GrafikTest, ReinitVideoWithSizeZeroTakesTheMonitorsSizeAndDrawsOn) {
  const GLFWvidmode* monitor = glfwGetVideoMode(glfwGetPrimaryMonitor());
  ASSERT_NE(monitor, nullptr);
  const int b = monitor->width, h = monitor->height;
  Quarz_Variable::Finde("displaywidth")->SetzeInt(0);
  Quarz_Variable::Finde("displayheight")->SetzeInt(0);
  Quarz_Variable::Finde("fullscreen")->SetzeBool(false);
  Quarz_KonsoleBasisAnzeige::FuehreAus("reinitvideo");
  EXPECT_TRUE(mLog.Enthaelt("Darstellung wird geändert auf 0x0, Fenster."));
  EXPECT_EQ(Quarz_Screen3D::mModus.mBreite, b);
  EXPECT_EQ(Quarz_Screen3D::mModus.mHoehe, h);
  int fb = 0, fh = 0;
  glfwGetWindowSize(Quarz_Screen3D::mFenster, &fb, &fh);
  EXPECT_EQ(fb, b);
  EXPECT_EQ(fh, h);
  // The next frame: black with a green right half.
  ErzeugeQuad(0, -1, 1, 1);
  mKontext->Leeren(1, 0, 0, 0, 1);
  ZeichneQuad(0, 1, 0, 1);
  const std::vector<uint32_t> bild = LiesBildschirm(*mKontext, b, h);
  EXPECT_EQ(bild[(h / 2) * b + b / 4] | kSchwarz, kSchwarz);
  EXPECT_TRUE(FarbeNahe(bild[(h / 2) * b + 3 * b / 4] | kSchwarz, 0xFF00FF00u)) << std::hex << bild[(h / 2) * b + 3 * b / 4];
  EXPECT_EQ(mLog.Zaehle("!"), 0) << mLog.Alle();
}

// A mode the screen cannot take is refused in one line, and the old one goes on drawing.
TEST_F(GrafikTest, AModeTheScreenCannotTakeLeavesTheOldModeWorking) {
  const int64_t zuBreit = static_cast<int64_t>(mKontext->mMaxTexturBreite) + 1;
  for (const int64_t breite : {zuBreit, int64_t{-5}}) {
    const int vorher = mLog.Zaehle("!");
    Quarz_Screen3D::SetDarstellung(Quarz_Screen3D::Modus{breite, kHoehe, 0, 0}, false, false);
    EXPECT_EQ(mLog.Zaehle("!"), vorher + 1) << breite;
    EXPECT_EQ(mLog.Zaehle("!Quarz_Screen3D::SetDarstellung(...): " + std::to_string(breite) + "x48 ist nicht "
                          "darstellbar, Darstellung bleibt 64x48."), 1) << mLog.Alle();
    EXPECT_EQ(Quarz_Screen3D::mModus.mBreite, kBreite);
    EXPECT_EQ(Quarz_Variable::Finde("displaywidth")->mInt, 0);
    mKontext->Leeren(1, 1, 0, 0, 1);
    EXPECT_EQ(Pixel(kBreite - 1, kHoehe - 1), 0xFFFF0000u) << breite;
  }
}

TEST_F(GrafikTest, WindowOpensWithTheTitleInTheConfiguredMode) {
  for (int i = 0; i < 5; ++i) glfwPollEvents();
  // Other tests may have windows of the same name open at the same time: ask for ours.
  const std::string befehl = "xdotool search --all --pid " + std::to_string(getpid()) +
                             " --name '^Weilerbau$' getwindowgeometry 2>&1";
  // The search walks every window on the display; one that another test closes meanwhile
  // makes it fail with BadWindow, so it is asked again a few times.
  std::string ausgabe;
  for (int versuch = 0; versuch < 5 && ausgabe.find("Geometry:") == std::string::npos; ++versuch) {
    FILE* rohr = popen(befehl.c_str(), "r");
    ASSERT_NE(rohr, nullptr);
    ausgabe.clear();
    char zeile[256];
    while (fgets(zeile, sizeof(zeile), rohr)) ausgabe += zeile;
    pclose(rohr);
  }
  EXPECT_NE(ausgabe.find("Geometry: 64x48"), std::string::npos) << ausgabe;
  EXPECT_EQ(Quarz_Variable::Finde("fullscreen")->mBool, false);
}

TEST_F(GrafikTest, ShutdownReportsEveryResourceNotFreed) {
  std::array<uint8_t, 12> daten{};
  TInitialInhalt inhalt{daten.data(), daten.size(), 0};
  Quarz_VertexBuffer* vergessen = mKontext->ErzeugeVertexBuffer(0, 0, &inhalt);
  const uint64_t id = vergessen->mAllocId;
  mKontext->Freigeben(mProgramm);
  mProgramm = nullptr;
  Quarz_Screen3D::Beenden();
  mKontext = nullptr;
  EXPECT_TRUE(mLog.Enthaelt("Quarz_VertexBuffer mit AllocID " + std::to_string(id) + " nicht freigegeben."))
      << mLog.Alle();
  EXPECT_EQ(mLog.Zaehle("nicht freigegeben"), 1);  // the default states are freed, not reported
  EXPECT_TRUE(mLog.Enthaelt("Screen wird geschlossen."));
}

// ---- 16-bit back buffer ------------------------------------------------------------------------

// A 5-6-5 back buffer cleared to a colour reads back (as screenshots read it) as that colour
// within the format's steps, not as black.
TEST(Rueckpuffer16Bit, GeleertesBildLiestSichInDerFarbeZurueck) {
  gTimer.Starte();
  ASSERT_TRUE(Quarz_Screen3D::Init(Quarz_Screen3D::Modus{32, 16, 1, 0}, Quarz_Screen3D::FLAG_ANWENDUNG));
  Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
  ASSERT_NE(kontext, nullptr);
  EXPECT_EQ(Quarz_Screen3D::mModus.m16Bit, 1u);
  kontext->Leeren(1, 0.5f, 0.25f, 1.0f, 1.0f);
  const std::vector<uint32_t> bild = LiesBildschirm(*kontext, 32, 16);
  Quarz_Screen3D::Beenden();
  // One 5-bit step is 255 / 31 = 8.2 of 8 bits: nearer than that to 0x80, 0x40, 0xFF.
  int falsch = 0;
  for (uint32_t p : bild)
    for (auto [schiebe, soll] : {std::pair{24, 0xFF}, {16, 0x80}, {8, 0x40}, {0, 0xFF}})
      falsch += std::abs(static_cast<int>(p >> schiebe & 0xFF) - soll) > 8;
  EXPECT_EQ(falsch, 0) << std::hex << bild[0];
}

}  // namespace
