#include "tests/grafik/textur/textur_hilfen.h"

#include <cmath>
#include <cstring>

#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"

namespace {

const char* const kVS = R"(
float4 gVersatz;
float4 gSkala;
$rein float3 pos;
$rein float2 uv;
$raus float4 position;
$raus float2 tc;
$main() {
  position = float4(pos.xy + gVersatz.xy, gVersatz.z, 1.0);
  tc = uv * gSkala.xy + gSkala.zw;
}
)";

const char* const kTexturPS = R"(
DEF_SAMPLER_2D( gTextur);
$rein float2 tc;
$raus float4 farbe;
$main() { farbe = SAMPLE_2D( gTextur, tc); }
)";

const char* const kWuerfelPS = R"(
DEF_SAMPLER_CUBE( gWuerfel);
float4 gRichtung;
$rein float2 tc;
$raus float4 farbe;
$main() { farbe = SAMPLE_CUBE( gWuerfel, gRichtung.xyz); }
)";

const char* const kFarbePS = R"(
float4 gFarbe;
$rein float2 tc;
$raus float4 farbe;
$main() { farbe = gFarbe; }
)";

// Pixel sampler 0, no vertex sampler.
constexpr uint32_t kSampler0 = 0xFF00;

}  // namespace

void TexturTest::ErzeugeProgramm(TTexturProgramm& programm, const char* ps) {
  programm.mVs = mKontext->ErzeugeVertexShader();
  programm.mPs = mKontext->ErzeugePixelShader();
  ASSERT_TRUE(programm.mVs->UebersetzeAusString(kVS, {}, false)) << mLog.Alle();
  ASSERT_TRUE(programm.mPs->UebersetzeAusString(ps, {}, false)) << mLog.Alle();
  programm.mProgramm = mKontext->ErzeugeProgramm(mEingabe, programm.mVs, programm.mPs);
}

void TexturTest::SetUp() {
  ShaderGeraetTest::SetUp();
  if (HasFatalFailure()) return;
  mEingabe = ErzeugeQuadEingabe();
  ErzeugeProgramm(mTexturProgramm, kTexturPS);
  ErzeugeProgramm(mWuerfelProgramm, kWuerfelPS);
  ErzeugeProgramm(mFarbProgramm, kFarbePS);
  ASSERT_EQ(mTexturProgramm.mProgramm->GetSamplerIndex("gTextur"), kSampler0);
  // Top-left, top-right, bottom-right, bottom-left; clockwise.
  ErzeugeQuad(-1.0f, -1.0f, 1.0f, 1.0f);
}

void TexturTest::TearDown() {
  Plattform::SetzeVideoRAMBudget(UINT64_MAX);
  if (mKontext && Quarz_Screen3D::mInitialisiert) {
    mKontext->SetProgramm(nullptr);
    for (auto it = mAufraeumen.rbegin(); it != mAufraeumen.rend(); ++it) mKontext->Freigeben(*it);
    for (TTexturProgramm* p : {&mTexturProgramm, &mWuerfelProgramm, &mFarbProgramm}) {
      mKontext->Freigeben(p->mProgramm);
      mKontext->Freigeben(p->mVs);
      mKontext->Freigeben(p->mPs);
    }
    mKontext->Freigeben(mEingabe);
  }
  ShaderGeraetTest::TearDown();
}

TexturTest::TZiel TexturTest::ErzeugeZiel(uint64_t breite, uint64_t hoehe, Quarz_ZBuffer* zbuffer) {
  TZiel ziel;
  ziel.mTextur = mKontext->ErzeugeTextur(
      breite, hoehe, 1, FLAG_RENDERZIEL | FLAG_FLUECHTIG | uint32_t{Quarz::PF_A32B32G32R32F},
      nullptr);
  ziel.mZiel = mKontext->ErzeugeRenderziel(Quarz_RenderzielBeschr(ziel.mTextur, zbuffer));
  mKontext->SetRenderZiel(ziel.mZiel);
  mKontext->Leeren(1, 0.0f, 0.0f, 0.0f, 0.0f);
  return ziel;
}

void TexturTest::GibFrei(TZiel& ziel) {
  mKontext->Freigeben(ziel.mZiel);
  mKontext->Freigeben(ziel.mTextur);
  ziel = TZiel{};
}

void TexturTest::ZeichneQuad(const TTexturProgramm& programm, float versatzX, float versatzY,
                             float z) {
  mKontext->SetProgramm(programm.mProgramm);
  mKontext->SetVertexBuffer(0, mVb);
  mKontext->SetIndexBuffer(mIb);
  mKontext->SetProgrammKonstante(programm.Index("gVersatz"), versatzX, versatzY, z, 0.0f);
  mKontext->ZeichneIndexElemente(0, 2);
}

void TexturTest::Zeichne(const TZiel& ziel, Quarz_BasisObjekt* textur, Quarz_Sampler* sampler,
                         TFarbe skala) {
  mKontext->SetRenderZiel(ziel.mZiel);
  mKontext->SetTextur(kSampler0, sampler, textur);
  mKontext->SetProgrammKonstante(mTexturProgramm.Index("gSkala"), skala[0], skala[1], skala[2],
                                 skala[3]);
  // Direct3D 9 puts pixel centres on integer coordinates: half a pixel to the upper left
  // lays texel centres on them.
  const auto w = static_cast<float>(ziel.mTextur->mBreite),
             h = static_cast<float>(ziel.mTextur->mHoehe);
  ZeichneQuad(mTexturProgramm, -1.0f / w, 1.0f / h, 0.5f);
}

void TexturTest::ZeichneWuerfel(const TZiel& ziel, Quarz_WuerfelTextur* wuerfel, TFarbe richtung) {
  mKontext->SetRenderZiel(ziel.mZiel);
  mKontext->SetTextur(kSampler0, PunktSampler(), wuerfel);
  mKontext->SetProgrammKonstante(mWuerfelProgramm.Index("gSkala"), 1.0f, 1.0f, 0.0f, 0.0f);
  mKontext->SetProgrammKonstante(mWuerfelProgramm.Index("gRichtung"), richtung[0], richtung[1],
                                 richtung[2], richtung[3]);
  ZeichneQuad(mWuerfelProgramm, 0.0f, 0.0f, 0.5f);
}

void TexturTest::ZeichneFarbe(TFarbe farbe, float z) {
  mKontext->SetProgrammKonstante(mFarbProgramm.Index("gFarbe"), farbe[0], farbe[1], farbe[2],
                                 farbe[3]);
  mKontext->SetProgrammKonstante(mFarbProgramm.Index("gSkala"), 1.0f, 1.0f, 0.0f, 0.0f);
  ZeichneQuad(mFarbProgramm, 0.0f, 0.0f, z);
}

std::vector<TFarbe> TexturTest::Lies(const TZiel& ziel) {
  const uint64_t n = ziel.mTextur->mBreite * ziel.mTextur->mHoehe;
  std::vector<TFarbe> texel(n, TFarbe{-1, -1, -1, -1});
  IDirect3DTexture9* t = ziel.mTextur->mTextur;
  D3DLOCKED_RECT gesperrt{};
  if (!t || FAILED(t->LockRect(0, &gesperrt, nullptr, D3DLOCK_READONLY))) return texel;
  for (uint64_t y = 0; y < ziel.mTextur->mHoehe; ++y)
    std::memcpy(&texel[y * ziel.mTextur->mBreite],
                static_cast<uint8_t*>(gesperrt.pBits) + y * static_cast<uint64_t>(gesperrt.Pitch),
                ziel.mTextur->mBreite * sizeof(TFarbe));
  t->UnlockRect(0);
  return texel;
}

Quarz_Sampler* TexturTest::PunktSampler() {
  static Quarz_SamplerBeschr beschr = [] {
    Quarz_SamplerBeschr b;
    b.mAdresse = 0x15;  // clamp on U, V and W
    return b;
  }();
  auto* s = mKontext->ErzeugeSampler(beschr);
  mAufraeumen.push_back(s);
  return s;
}

TTexturInhalt Inhalt(Quarz_Pixelformat format, std::vector<std::vector<uint8_t>>& stufen,
                     uint64_t breite, uint64_t hoehe) {
  TTexturInhalt inhalt;
  for (size_t s = 0; s < stufen.size(); ++s) {
    const uint64_t b = std::max<uint64_t>(1, breite >> s), h = std::max<uint64_t>(1, hoehe >> s);
    TBereich& r = inhalt.mStufen[s];
    r.mPixel = stufen[s].data();
    r.mFormat = format;
    r.mBreite = b;
    r.mHoehe = h;
    r.mPitch = Quarz::GetZeilenBytes(format, b);
  }
  return inhalt;
}

::testing::AssertionResult FarbeGleich(const TFarbe& ist, const TFarbe& soll, float toleranz) {
  for (int k = 0; k < 4; ++k)
    if (!(std::fabs(ist[k] - soll[k]) <= toleranz))
      return ::testing::AssertionFailure()
             << "(" << ist[0] << ", " << ist[1] << ", " << ist[2] << ", " << ist[3] << ") statt ("
             << soll[0] << ", " << soll[1] << ", " << soll[2] << ", " << soll[3] << ")";
  return ::testing::AssertionSuccess();
}
