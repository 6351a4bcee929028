// Construction rules, partial writes, and the kept copies that bring a texture back after a
// device reset or an eviction.
#include <cstring>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "tests/grafik/textur/textur_hilfen.h"

namespace {

class TexturInhalt : public TexturTest {
protected:
  // A tight A8R8G8B8 level buffer of w x h in one colour.
  static std::vector<uint8_t> Flaeche(uint64_t w, uint64_t h, uint32_t farbe) {
    std::vector<uint8_t> b(w * h * 4);
    for (uint64_t i = 0; i < w * h; ++i) std::memcpy(&b[i * 4], &farbe, 4);
    return b;
  }
  Quarz_Textur* Erzeuge(uint64_t w, uint64_t h, uint64_t mips, uint32_t flags,
                        TTexturInhalt* inhalt) {
    auto* t = mKontext->ErzeugeTextur(w, h, mips, flags, inhalt);
    mAufraeumen.push_back(t);
    return t;
  }
  // The texture drawn into a float target of its size.
  std::vector<TFarbe> Gezeichnet(Quarz_Textur* textur) {
    TZiel ziel = ErzeugeZiel(textur->mBreite, textur->mHoehe);
    Zeichne(ziel, textur, PunktSampler());
    std::vector<TFarbe> texel = Lies(ziel);
    GibFrei(ziel);
    return texel;
  }
};

TEST_F(TexturInhalt, KonstruktionsRegeln) {
  std::vector<std::vector<uint8_t>> ebene{Flaeche(4, 4, 0xFF00FF00u)};
  TTexturInhalt gueltig = Inhalt(Quarz::PF_A8R8G8B8, ebene, 4, 4);
  const struct {
    const char* name;
    uint64_t w, h, mips;
    uint32_t flags;
    bool mitInhalt;
    uint64_t sollMips, sollFlags;
    const char* zeile;  // expected log text, or null
  } faelle[] = {
      {"volle Kette", 256, 64, 0, FLAG_DYNAMISCH, false, 9, FLAG_DYNAMISCH, nullptr},
      {"zu viele Stufen", 256, 64, 12, FLAG_DYNAMISCH, false, 9, FLAG_DYNAMISCH,
       "Zuviele MipMap-Stufen angegeben."},
      {"Renderziel wird flüchtig", 16, 16, 1, FLAG_RENDERZIEL, false, 1, 0xA00,
       "Renderziel-Texturen sind immer flüchtig."},
      {"DXT wird manuell", 16, 16, 1, FLAG_DYNAMISCH | uint32_t{Quarz::PF_DXT1}, false, 1,
       FLAG_DYNAMISCH | FLAG_MANUELLE_MIPMAPS, "Ich vermute manuelle MipMaps."},
      {"ohne Inhalt wird dynamisch", 8, 8, 1, 0, false, 1, FLAG_DYNAMISCH,
       "Textur ohne Initialinhalt muss dynamisch sein"},
      {"Größe vom Inhalt", 0, 0, 1, 0, true, 1, 0, nullptr},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    mLog.mZeilen.clear();
    TTexturInhalt inhalt = gueltig;
    Quarz_Textur* t = Erzeuge(f.w, f.h, f.mips, f.flags, f.mitInhalt ? &inhalt : nullptr);
    EXPECT_EQ(t->mMipAnzahl, f.sollMips);
    EXPECT_EQ(t->mFlags, f.sollFlags);
    EXPECT_EQ(t->mZustand, Quarz_BasisObjekt::VORHANDEN);
    EXPECT_NE(t->mTextur, nullptr);
    if (f.zeile) {
      EXPECT_TRUE(mLog.Enthaelt(f.zeile));
    }
    // Volatile textures keep nothing; the others keep level 0.
    EXPECT_EQ(t->mKopien[0] != nullptr, !(t->mFlags & FLAG_FLUECHTIG));
  }
  EXPECT_EQ(Erzeuge(0, 0, 0, 0, &gueltig)->mBreite, 4u);
}

TEST_F(TexturInhalt, UngueltigeVorgabenWerdenAbgewiesen) {
  std::vector<std::vector<uint8_t>> ebene{Flaeche(4, 4, 0xFF00FF00u)};
  TTexturInhalt falscheGroesse = Inhalt(Quarz::PF_A8R8G8B8, ebene, 4, 4);
  TTexturInhalt falschesFormat = Inhalt(Quarz::PF_R32F, ebene, 4, 4);
  const struct {
    const char* name;
    uint64_t w, h;
    uint32_t flags;
    TTexturInhalt* inhalt;
    const char* meldung;
  } faelle[] = {
      {"Format 15", 4, 4, FLAG_DYNAMISCH | 15, nullptr, "Ungültiges Texturformat"},
      {"Inhalt zu klein", 8, 8, 0, &falscheGroesse, "Ungültige Vorgabedaten"},
      {"anderes Format", 4, 4, Quarz::PF_A8R8G8B8, &falschesFormat, "Ungültige Vorgabedaten"},
      {"Breite 0", 0, 4, FLAG_DYNAMISCH, nullptr, "Ungültige Texturgröße."},
      {"zu groß", 1u << 20, 4, FLAG_DYNAMISCH, nullptr, "Ungültige Texturgröße."},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    mLog.mZeilen.clear();
    Quarz_Textur* t = Erzeuge(f.w, f.h, 1, f.flags, f.inhalt);
    EXPECT_TRUE(mLog.Enthaelt(std::string("!Ausnahme \"") + f.meldung));
    // Nothing is made and nothing can be written afterwards.
    EXPECT_EQ(t->mTextur, nullptr);
    t->Benutzen();
    EXPECT_EQ(t->mTextur, nullptr);
    EXPECT_EQ(t->mKopien[0], nullptr);
  }
}

TEST_F(TexturInhalt, TeilInhaltLandetInTexturUndKopie) {
  Quarz_Textur* t = Erzeuge(8, 4, 1, FLAG_DYNAMISCH, nullptr);
  std::vector<uint8_t> rot = Flaeche(2, 2, 0xFFFF0000u);
  TBereich quelle{rot.data(), Quarz::PF_A8R8G8B8, 2, 2, 8};
  t->SchreibeTeilInhalt(5, 1, quelle);
  // A source overhanging the right edge is cut there.
  std::vector<uint8_t> blau = Flaeche(4, 1, 0xFF0000FFu);
  TBereich rand{blau.data(), Quarz::PF_A8R8G8B8, 4, 1, 16};
  t->SchreibeTeilInhalt(6, 3, rand);

  const std::vector<TFarbe> texel = Gezeichnet(t);
  const auto* kopie = reinterpret_cast<const uint32_t*>(t->mKopien[0]);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool istRot = x >= 5 && x < 7 && y >= 1 && y < 3;
      const bool istBlau = x >= 6 && y == 3;
      const TFarbe soll = istRot    ? TFarbe{1, 0, 0, 1}
                          : istBlau ? TFarbe{0, 0, 1, 1}
                                    : TFarbe{0, 0, 0, 0};
      EXPECT_TRUE(FarbeGleich(texel[static_cast<size_t>(y * 8 + x)], soll, 0.002f))
          << x << "," << y;
      EXPECT_EQ(kopie[y * 8 + x], istRot    ? 0xFFFF0000u
                                  : istBlau ? 0xFF0000FFu
                                            : 0u)
          << x << "," << y;
    }
}

TEST_F(TexturInhalt, TeilInhaltPruefung) {
  std::vector<uint8_t> block(16, 0);
  TBereich dxt{block.data(), Quarz::PF_DXT5, 4, 4, 4};
  Quarz_Textur* t = Erzeuge(16, 16, 1, FLAG_DYNAMISCH | uint32_t{Quarz::PF_DXT5}, nullptr);
  std::vector<uint8_t> klein = Flaeche(1, 1, 0xFFFFFFFFu);
  TBereich argb{klein.data(), Quarz::PF_A8R8G8B8, 1, 1, 4};
  std::vector<std::vector<uint8_t>> ebene{Flaeche(4, 4, 0xFF00FF00u)};
  TTexturInhalt inhalt = Inhalt(Quarz::PF_A8R8G8B8, ebene, 4, 4);
  Quarz_Textur* statisch = Erzeuge(4, 4, 1, Quarz::PF_A8R8G8B8, &inhalt);
  Quarz_Textur* dynamisch = Erzeuge(4, 4, 1, FLAG_DYNAMISCH, nullptr);
  const struct {
    const char* name;
    Quarz_Textur* textur;
    uint64_t x, y;
    TBereich* quelle;
    const char* meldung;  // null: accepted
    const char* zeile;    // a further log line, or null
  } faelle[] = {
      {"DXT an (4, 8)", t, 4, 8, &dxt, nullptr, nullptr},
      {"DXT an (2, 8)", t, 2, 8, &dxt, "Ungültiger Teilbereich",
       "!Quarz_Textur::SchreibeTeilInhalt( 0, 2, 8, ...): Der Zugriffsbereich auf einer "
       "DXT-komprimierten Textur muss durch vier teilbare Koordinaten haben."},
      {"statisch", statisch, 0, 0, &argb,
       "Statische Textur kann nachträglich nicht mehr beschrieben werden.", nullptr},
      {"außerhalb", dynamisch, 4, 0, &argb, "Ungültige Zielkoordinaten", nullptr},
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    mLog.mZeilen.clear();
    f.textur->SchreibeTeilInhalt(f.x, f.y, *f.quelle);
    if (f.meldung) {
      EXPECT_TRUE(mLog.Enthaelt(std::string("!Ausnahme \"") + f.meldung));
    } else {
      EXPECT_FALSE(mLog.Enthaelt("!Ausnahme"));
    }
    if (f.zeile) {
      EXPECT_TRUE(mLog.Enthaelt(f.zeile));
    }
  }
  // Nothing reached the kept copy of the texture written outside.
  for (int i = 0; i < 64; ++i) EXPECT_EQ(dynamisch->mKopien[0][i], 0) << i;
}

TEST_F(TexturInhalt, UebergebenerSpeicherWirdUebernommenOderFreigegeben) {
  // Handed-over memory (from malloc) becomes the kept copy; the sanitizer reports a leak or a
  // double free otherwise.
  auto* pixel = static_cast<uint8_t*>(std::malloc(16));
  std::memset(pixel, 0x7F, 16);
  TTexturInhalt inhalt;
  inhalt.mStufen[0] = TBereich{pixel, Quarz::PF_A8R8G8B8, 2, 2, 8};
  inhalt.mUebergabe = 1;
  Quarz_Textur* t = Erzeuge(2, 2, 1, 0, &inhalt);
  EXPECT_EQ(t->mKopien[0], pixel);
  EXPECT_EQ(inhalt.mStufen[0].mPixel, nullptr);

  // A volatile texture cannot keep it: it is freed.
  inhalt.mStufen[0] = TBereich{static_cast<uint8_t*>(std::malloc(16)), Quarz::PF_A8R8G8B8, 2, 2, 8};
  Erzeuge(2, 2, 1, FLAG_FLUECHTIG, &inhalt);
  EXPECT_EQ(inhalt.mStufen[0].mPixel, nullptr);

  auto* teil = static_cast<uint8_t*>(std::calloc(4, 1));
  TBereich quelle{teil, Quarz::PF_A8R8G8B8, 1, 1, 4};
  Erzeuge(2, 2, 1, FLAG_DYNAMISCH, nullptr)->SchreibeTeilInhalt(1, 1, quelle, 1);
  EXPECT_EQ(quelle.mPixel, nullptr);
}

TEST_F(TexturInhalt, OhneVideoRAMGibtDieErzeugungBegrenztAufUndHoltSieNach) {
  std::vector<std::vector<uint8_t>> ebene{Flaeche(4, 4, 0xFF112233u)};
  TTexturInhalt inhalt = Inhalt(Quarz::PF_A8R8G8B8, ebene, 4, 4);
  // Everything was used just now, so eviction frees nothing.
  Plattform::SetzeVideoRAMBudget(Plattform::GetBelegterVideoRAM());
  Quarz_Textur* t = Erzeuge(4, 4, 1, 0, &inhalt);
  EXPECT_EQ(t->mTextur, nullptr);
  EXPECT_EQ(t->mZustand, Quarz_BasisObjekt::FREIGEGEBEN);
  int knapp = 0;
  for (const auto& z : mLog.mZeilen) knapp += z.find("?VideoRAM knapp.") != std::string::npos;
  EXPECT_EQ(knapp, 3);
  EXPECT_TRUE(mLog.Enthaelt("Rückgabewert:"));
  EXPECT_TRUE(mLog.Enthaelt("!Ausnahme \"Textur-Erzeugung gescheitert.\""));
  // With room again its next use makes it from the kept copy.
  Plattform::SetzeVideoRAMBudget(UINT64_MAX);
  for (const TFarbe& f : Gezeichnet(t))
    EXPECT_TRUE(FarbeGleich(f, {0x11 / 255.0f, 0x22 / 255.0f, 0x33 / 255.0f, 1}, 0.002f));
}

// Textures made in each way come back after a forced device reset and after an eviction with
// the same pixels.
class TexturWiederherstellung : public TexturInhalt {
protected:
  void SetUp() override {
    TexturInhalt::SetUp();
    if (HasFatalFailure()) return;
    std::vector<std::vector<uint8_t>> ebene{Flaeche(4, 2, 0xFF336699u)};
    ebene[0][0] = 0x11;  // one texel differs, so that orientation counts
    TTexturInhalt inhalt = Inhalt(Quarz::PF_A8R8G8B8, ebene, 4, 2);
    mStatisch = Erzeuge(4, 2, 1, 0, &inhalt);
    mDynamisch = Erzeuge(4, 2, 1, FLAG_DYNAMISCH, &inhalt);
    // Made without content and written afterwards: its kept level 0 carries the write.
    mOhneInhalt = Erzeuge(4, 2, 1, FLAG_DYNAMISCH, nullptr);
    std::vector<uint8_t> gelb = Flaeche(2, 1, 0xFFFFFF00u);
    TBereich quelle{gelb.data(), Quarz::PF_A8R8G8B8, 2, 1, 8};
    mOhneInhalt->SchreibeTeilInhalt(1, 1, quelle);
    for (Quarz_Textur* t : Alle()) mVorher.push_back(Gezeichnet(t));
  }
  std::vector<Quarz_Textur*> Alle() const { return {mStatisch, mDynamisch, mOhneInhalt}; }
  void PruefeGleich() {
    for (size_t i = 0; i < Alle().size(); ++i) {
      SCOPED_TRACE(i);
      const std::vector<TFarbe> nachher = Gezeichnet(Alle()[i]);
      for (size_t k = 0; k < nachher.size(); ++k) EXPECT_EQ(nachher[k], mVorher[i][k]) << k;
    }
  }
  Quarz_Textur *mStatisch = nullptr, *mDynamisch = nullptr, *mOhneInhalt = nullptr;
  std::vector<std::vector<TFarbe>> mVorher;
};

TEST_F(TexturWiederherstellung, NachGeraeteVerlust) {
  EXPECT_TRUE(FarbeGleich(mVorher[2][5], {1, 1, 0, 1}, 0.002f));
  Plattform::ErzwingeGeraeteVerlust();
  mKontext->Praesentiere();
  EXPECT_TRUE(mLog.Enthaelt("ReInit Darstellung: Device zurücksetzen"));
  for (Quarz_Textur* t : Alle()) EXPECT_EQ(t->mZustand, Quarz_BasisObjekt::FREIGEGEBEN);
  PruefeGleich();
}

TEST_F(TexturWiederherstellung, NachRauswurfBeiKnappemVideoRAM) {
  // Age the three textures, then ask for a texture that fits only when they leave.
  gTimer.mGesamt += static_cast<int64_t>(10.0 / gTimerKehrwertD);
  const uint64_t groesse = 256 * 256 * 4;
  Plattform::SetzeVideoRAMBudget(Plattform::GetBelegterVideoRAM() + groesse - 1);
  Quarz_Textur* neu = Erzeuge(256, 256, 1, FLAG_DYNAMISCH, nullptr);
  EXPECT_NE(neu->mTextur, nullptr);
  EXPECT_TRUE(mLog.Enthaelt("?VideoRAM knapp. Versuche, Platz zu schaffen."));
  for (Quarz_Textur* t : Alle()) EXPECT_EQ(t->mZustand, Quarz_BasisObjekt::FREIGEGEBEN);
  Plattform::SetzeVideoRAMBudget(UINT64_MAX);
  PruefeGleich();
}

}  // namespace
