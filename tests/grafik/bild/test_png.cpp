// PNG reading against ImageMagick's own files and decodes, files built by hand for every way a
// file can be damaged, and the writer read back by the engine and by ImageMagick.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/tspeicher.h"
#include "tests/grafik/bild/bild_testhilfe.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

using namespace BildTest;

namespace {

using Bytes = std::vector<uint8_t>;

void HaengeBE(Bytes& d, uint32_t w) {
  d.insert(d.end(), {uint8_t(w >> 24), uint8_t(w >> 16), uint8_t(w >> 8), uint8_t(w)});
}

// The bytes with more behind them.
Bytes Mit(Bytes d, const Bytes& dahinter) {
  d.insert(d.end(), dahinter.begin(), dahinter.end());
  return d;
}

// One chunk with zlib's CRC (or a wrong one).
void HaengeChunk(Bytes& d, const char* typ, const Bytes& inhalt, bool crcFalsch = false) {
  HaengeBE(d, static_cast<uint32_t>(inhalt.size()));
  Bytes typUndDaten(typ, typ + 4);
  typUndDaten.insert(typUndDaten.end(), inhalt.begin(), inhalt.end());
  d.insert(d.end(), typUndDaten.begin(), typUndDaten.end());
  const uint32_t crc = static_cast<uint32_t>(crc32(0, typUndDaten.data(), static_cast<uInt>(typUndDaten.size())));
  HaengeBE(d, crcFalsch ? ~crc : crc);
}

Bytes Kopf(uint32_t w, uint32_t h, uint8_t farbtyp, uint8_t tiefe = 8, uint8_t interlace = 0) {
  Bytes k;
  HaengeBE(k, w);
  HaengeBE(k, h);
  k.insert(k.end(), {tiefe, farbtyp, 0, 0, interlace});
  return k;
}

Bytes Packe(const Bytes& roh, int stufe = 6) {
  uLongf n = compressBound(static_cast<uLong>(roh.size()));
  Bytes aus(n);
  EXPECT_EQ(compress2(aus.data(), &n, roh.data(), static_cast<uLong>(roh.size()), stufe), Z_OK);
  aus.resize(n);
  return aus;
}

// Raw rows with the given filter byte in front of each (the bytes are taken as already
// filtered, so the decoder's reconstruction is what the test recomputes).
Bytes Zeilen(const Bytes& pixel, uint64_t zeilenBytes, uint8_t filter) {
  Bytes roh;
  for (uint64_t i = 0; i < pixel.size(); i += zeilenBytes) {
    roh.push_back(filter);
    roh.insert(roh.end(), pixel.begin() + i, pixel.begin() + i + zeilenBytes);
  }
  return roh;
}

// A whole file: signature, IHDR, the compressed data split into `teile` IDAT chunks, IEND.
Bytes BauePng(const Bytes& kopf, const Bytes& gepackt, int teile = 1, bool crcFalsch = false) {
  Bytes d = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  HaengeChunk(d, "IHDR", kopf, crcFalsch);
  const size_t stueck = (gepackt.size() + teile - 1) / teile;
  for (size_t i = 0; i < gepackt.size(); i += stueck)
    HaengeChunk(d, "IDAT", Bytes(gepackt.begin() + i, gepackt.begin() + std::min(gepackt.size(), i + stueck)),
                crcFalsch);
  HaengeChunk(d, "IEND", {}, crcFalsch);
  return d;
}

struct TLadeErgebnis {
  bool gut = false;
  Bytes rgba;
  uint64_t breite = 0, hoehe = 0;
};

TLadeErgebnis Lade(const Bytes& datei) {
  TSpeicher s;
  s.SchreibeMem(datei.data(), datei.size());
  s.ZurueckZumAnfang();
  Quarz_Bild bild;
  TLadeErgebnis e;
  e.gut = bild.LadePNG(s);
  if (e.gut) {
    e.breite = bild.mBreite;
    e.hoehe = bild.mHoehe;
    e.rgba = AlsRgba(bild.mPixel, bild.mBreite, bild.mHoehe, bild.mPitch);
  }
  return e;
}

TEST(PNG, LiestImageMagicksDateienWieImageMagick) {
  const uint64_t groessen[][2] = {{1, 1}, {7, 5}, {33, 17}, {64, 1}, {1, 40}, {257, 131}};
  int fall = 0;
  for (int kanaele : {3, 4})
    // The ones digit of the quality is the filter of every row (5: ImageMagick picks per row),
    // the tens digit the compression level.
    for (int filter = 0; filter <= 5; ++filter)
      for (int stufe : {0, 1, 6, 9}) {
        const uint64_t w = groessen[fall % 6][0], h = groessen[fall % 6][1];
        ++fall;
        SCOPED_TRACE(testing::Message() << w << "x" << h << " channels " << kanaele << " filter "
                                        << filter << " level " << stufe);
        const Bytes quelle = Muster(w, h, kanaele, fall);
        SchreibeDatei("quelle.raw", quelle);
        const std::string art = kanaele == 3 ? "rgb" : "rgba";
        ASSERT_TRUE(Magick("-size " + std::to_string(w) + "x" + std::to_string(h) + " -depth 8 " +
                           art + ":quelle.raw -quality " + std::to_string(stufe * 10 + filter) +
                           (kanaele == 3 ? " PNG24:f.png" : " PNG32:f.png")));
        const Bytes datei = LiesDatei("f.png");
        ASSERT_GT(datei.size(), 33u);
        ASSERT_EQ(datei[25], kanaele == 3 ? 2 : 6);  // the colour type asked for

        const TLadeErgebnis e = Lade(datei);
        ASSERT_TRUE(e.gut);
        EXPECT_EQ(e.breite, w);
        EXPECT_EQ(e.hoehe, h);
        EXPECT_EQ(e.rgba, MagickRgba("f.png"));
        // And the pixels are the ones the file was made from (RGB files load opaque).
        Bytes soll;
        for (uint64_t i = 0; i < w * h; ++i) {
          soll.insert(soll.end(), quelle.begin() + i * kanaele, quelle.begin() + i * kanaele + 3);
          soll.push_back(kanaele == 4 ? quelle[i * 4 + 3] : 255);
        }
        EXPECT_EQ(e.rgba, soll);
      }
}

TEST(PNG, NichtUnterstuetzteMerkmale) {
  SchreibeDatei("quelle.raw", Muster(9, 6, 4, 3));
  const char* arten[] = {
      "PNG8:f.png",                                                       // palette
      "PNG64:f.png",                                                      // 16 bits per channel
      "-interlace PNG PNG32:f.png",                                       // Adam7
      "-colorspace gray -define png:color-type=0 -define png:bit-depth=8 f.png",  // grey
      "-colorspace gray -define png:color-type=4 -define png:bit-depth=8 f.png",  // grey + alpha
  };
  for (const char* art : arten) {
    TLogFaenger log;
    ASSERT_TRUE(Magick(std::string("-size 9x6 -depth 8 rgba:quelle.raw ") + art)) << art;
    EXPECT_FALSE(Lade(LiesDatei("f.png")).gut) << art;
    EXPECT_EQ(log.Zaehle("!Quarz_Bild::LadePNG(): PNG-Datei enthält nicht unterstützte Merkmale."), 1)
        << art;
  }
}

TEST(PNG, BeschaedigteDateienWerdenAbgewiesen) {
  const Bytes pixel = Muster(9, 7, 4, 5);
  const Bytes gut = BauePng(Kopf(9, 7, 6), Packe(Zeilen(pixel, 36, 0)));
  const size_t idatEnde = gut.size() - 12;  // IEND is the last 12 bytes
  const auto abgeschnitten = [&](size_t n) { return Bytes(gut.begin(), gut.begin() + n); };
  const auto geaendert = [&](size_t ort, uint8_t wert) {
    Bytes d = gut;
    d[ort] = wert;
    return d;
  };
  Bytes zuGross = Packe(Bytes((16 * 3 + 1) * 16 * 4000, 0));  // 3 MB of zeros for a 16 x 16 image
  Bytes langesIdat = gut;
  langesIdat[33] = 0xFF;  // IDAT's length reaches far past the end
  const std::string kurz = "!Quarz_Bild::LadePNG(): ";
  const std::string passt = "!Quarz_Bild::LadePNG():\n  Picture data doesn't fit picture size.";
  const auto filter = [](const char* wert) {
    return std::string("!Quarz_Bild::LadePNG():\n  Unknown filter type ") + wert + ".\n";
  };
  const struct {
    const char* name;
    Bytes datei;
    std::string meldung;  // the whole line
  } faelle[] = {
      {"empty", {}, kurz + "Datei ist kein PNG-Bild."},
      {"half a signature", abgeschnitten(5), kurz + "Datei ist kein PNG-Bild."},
      {"wrong signature", geaendert(1, 'Q'), kurz + "Datei ist kein PNG-Bild."},
      {"signature only", abgeschnitten(8), kurz + "PNG-Header ist ungültig."},
      {"inside IHDR", abgeschnitten(20), kurz + "PNG-Header ist ungültig."},
      {"IHDR without CRC", abgeschnitten(31), kurz + "PNG-Header ist ungültig."},
      {"IHDR length 12", geaendert(11, 12), kurz + "PNG-Header ist ungültig."},
      {"not IHDR first", geaendert(12, 'i'), kurz + "PNG-Header ist ungültig."},
      {"inside IDAT's data", abgeschnitten(60), kurz + "PNG-Datei ist abgeschnitten."},
      {"inside IDAT's CRC", abgeschnitten(idatEnde - 2), kurz + "PNG-Datei ist abgeschnitten."},
      {"inside IEND's CRC", abgeschnitten(gut.size() - 1), kurz + "PNG-Datei ist abgeschnitten."},
      {"IDAT length past the end", langesIdat, kurz + "PNG-Datei ist abgeschnitten."},
      {"short IDAT", BauePng(Kopf(9, 7, 6), Packe(Zeilen(Bytes(pixel.begin(), pixel.end() - 36), 36, 0))), passt},
      {"long IDAT", BauePng(Kopf(9, 6, 6), Packe(Zeilen(pixel, 36, 0))), passt},
      {"inflates far beyond the image", BauePng(Kopf(16, 16, 2), zuGross), passt},
      {"largest image from a few bytes", BauePng(Kopf(16384, 16384, 6), Packe(Bytes(100, 0))), passt},
      {"data for an image of height 0", BauePng(Kopf(5, 0, 6), Packe({0})), passt},
      {"filter 5", BauePng(Kopf(9, 7, 6), Packe(Zeilen(pixel, 36, 5))), filter("5")},
      {"filter 200", BauePng(Kopf(9, 7, 6), Packe(Zeilen(pixel, 36, 200))), filter("-56")},
      {"filter 255", BauePng(Kopf(9, 7, 6), Packe(Zeilen(pixel, 36, 255))), filter("-1")},
      {"filter 200 in an image of width 0", BauePng(Kopf(0, 2, 2), Packe({0, 200})), filter("-56")},
      {"chunk past the end after IDAT", Mit(Bytes(gut.begin(), gut.end() - 12), {0, 0, 0, 9, 't', 'E', 'X', 't'}),
       kurz + "PNG-Datei ist abgeschnitten."},
      // The walk goes on behind "IEND" to the end of the data.
      {"chunk past the end after IEND", Mit(gut, {0, 0, 9, 9, 'I', 'D', 'A', 'T', 1}),
       kurz + "PNG-Datei ist abgeschnitten."},
      {"wider than any image", BauePng(Kopf(100000, 1, 6), {}), kurz + "PNG-Bild ist zu groß (100000 x 1)."},
      {"taller than any image", BauePng(Kopf(1, 0x7FFFFFFF, 2), {}), kurz + "PNG-Bild ist zu groß (1 x 2147483647)."},
  };
  for (const auto& f : faelle) {
    TLogFaenger log;
    EXPECT_FALSE(Lade(f.datei).gut) << f.name;
    ASSERT_EQ(log.mZeilen.size(), 1u) << f.name << ": " << log.Alle();
    // Behind the log's time stamp; the log ends a line without its own newline with one.
    const std::string& zeile = log.mZeilen[0];
    const std::string soll = f.meldung.back() == '\n' ? f.meldung : f.meldung + "\n";
    EXPECT_EQ(zeile.substr(std::min(zeile.find('!'), zeile.size())), soll) << f.name;
  }
}

TEST(PNG, DateienDieLaden) {
  const Bytes pixel = Muster(9, 7, 3, 8);
  const Bytes gepackt = Packe(Zeilen(pixel, 27, 0));
  Bytes mitText = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  HaengeChunk(mitText, "IHDR", Kopf(9, 7, 2));
  HaengeChunk(mitText, "tEXt", Bytes(300, 'x'));
  HaengeChunk(mitText, "IDAT", {});
  HaengeChunk(mitText, "IDAT", gepackt);
  HaengeChunk(mitText, "IEND", {});
  Bytes ohneIend(mitText.begin(), mitText.end() - 12);
  // Chunk order is not checked: image data after an "IEND" still counts.
  const size_t haelfte = gepackt.size() / 2;
  Bytes idatNachIend = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  HaengeChunk(idatNachIend, "IHDR", Kopf(9, 7, 2));
  HaengeChunk(idatNachIend, "IDAT", Bytes(gepackt.begin(), gepackt.begin() + haelfte));
  HaengeChunk(idatNachIend, "IEND", {});
  HaengeChunk(idatNachIend, "IDAT", Bytes(gepackt.begin() + haelfte, gepackt.end()));
  HaengeChunk(idatNachIend, "IEND", {});
  Bytes soll;
  for (size_t i = 0; i < pixel.size(); i += 3) soll.insert(soll.end(), {pixel[i], pixel[i + 1], pixel[i + 2], 255});
  const struct {
    const char* name;
    Bytes datei;
    uint64_t breite, hoehe;
    Bytes rgba;
  } faelle[] = {
      {"one IDAT", BauePng(Kopf(9, 7, 2), gepackt), 9, 7, soll},
      {"three IDATs", BauePng(Kopf(9, 7, 2), gepackt, 3), 9, 7, soll},
      {"one byte per IDAT", BauePng(Kopf(9, 7, 2), gepackt, static_cast<int>(gepackt.size())), 9, 7, soll},
      {"wrong CRCs", BauePng(Kopf(9, 7, 2), gepackt, 2, true), 9, 7, soll},
      {"other chunks and an empty IDAT", mitText, 9, 7, soll},
      {"no IEND", ohneIend, 9, 7, soll},
      {"IDAT behind IEND", idatNachIend, 9, 7, soll},
      // Too few bytes for a length and a type end the walk.
      {"two newlines after IEND", Mit(BauePng(Kopf(9, 7, 2), gepackt), {'\n', '\n'}), 9, 7, soll},
      {"seven bytes after IEND", Mit(BauePng(Kopf(9, 7, 2), gepackt), Bytes(7, 0xFF)), 9, 7, soll},
      {"IEND cut to 6 bytes", Bytes(mitText.begin(), mitText.end() - 6), 9, 7, soll},
      {"height 0", BauePng(Kopf(5, 0, 6), Packe({})), 5, 0, {}},
      {"width 0", BauePng(Kopf(0, 3, 6), Packe({0, 1, 4})), 0, 3, {}},
  };
  for (const auto& f : faelle) {
    TLogFaenger log;
    const TLadeErgebnis e = Lade(f.datei);
    EXPECT_TRUE(e.gut) << f.name << ": " << log.Alle();
    EXPECT_EQ(e.breite, f.breite) << f.name;
    EXPECT_EQ(e.hoehe, f.hoehe) << f.name;
    EXPECT_EQ(e.rgba, f.rgba) << f.name;
    EXPECT_TRUE(log.mZeilen.empty()) << f.name << ": " << log.Alle();
  }
}

// Each line behind the log's time stamp, without the newline the log ends it with.
std::vector<std::string> Meldungen(const TLogFaenger& log) {
  std::vector<std::string> m;
  for (const std::string& zeile : log.mZeilen) {
    std::string text = zeile.substr(std::min(zeile.find('!'), zeile.size()));
    if (!text.empty() && text.back() == '\n') text.pop_back();
    m.push_back(text);
  }
  return m;
}

// The stream is inflated first (a break gives the zlib unpacking's line), then its size is
// checked, then each row's filter: the lines come in that order and a wrong size hides a bad
// filter. Inflating stops one byte past the image, so a break behind that goes unseen. Data
// that zlib finds corrupt is refused even when it inflates to the image's size; data that
// merely runs out before the stream's end is judged by its size.
TEST(PNG, EntpackenVorGroesseVorFilter) {
  const Bytes pixel = Muster(9, 7, 4, 5);
  const Bytes sechsZeilen(pixel.begin(), pixel.end() - 36);
  const auto ohne = [](const Bytes& d, size_t n) { return Bytes(d.begin(), d.end() - n); };
  const auto halb = [](const Bytes& d) { return Bytes(d.begin(), d.begin() + d.size() / 2); };
  const auto ersterFilter = [](Bytes roh, uint8_t filter) {
    roh[0] = filter;
    return roh;
  };
  const auto gekippt = [](Bytes d, size_t ort) {
    d[ort] ^= 0x10;
    return d;
  };
  const Bytes gepackt = Packe(Zeilen(pixel, 36, 0));
  // Level 0 stores the rows as they are behind the stream's 2 header bytes and the block's 5:
  // a flipped bit there changes one pixel and leaves the size as it is.
  const Bytes gespeichert = Packe(Zeilen(pixel, 36, 0), 0);
  const Bytes gut = BauePng(Kopf(9, 7, 6), gepackt);
  Bytes kaputt = gut;
  kaputt[43] = 0xFF;  // the first block's header: a block type that does not exist
  const std::string zlib = "!ZLib_Entpacken(...): Failed to inflate data.";
  const std::string passt = "!Quarz_Bild::LadePNG():\n  Picture data doesn't fit picture size.";
  const std::string filter5 = "!Quarz_Bild::LadePNG():\n  Unknown filter type 5.";
  const struct {
    const char* name;
    Bytes datei;
    bool gut;
    std::vector<std::string> meldungen;
    Bytes rgba = {};  // when it loads
  } faelle[] = {
      {"stream cut in half", BauePng(Kopf(9, 7, 6), halb(gepackt)), false, {zlib, passt}},
      {"broken stream", kaputt, false, {zlib, passt}},
      {"no IDAT", BauePng(Kopf(9, 7, 6), {}), false, {zlib, passt}},
      // Two bytes cannot begin a chunk: the walk ends there, without image data.
      {"inside IDAT's length", Bytes(gut.begin(), gut.begin() + 35), false, {zlib, passt}},
      {"checksum missing", BauePng(Kopf(9, 7, 6), ohne(gepackt, 4)), true, {zlib}, pixel},
      {"wrong checksum", BauePng(Kopf(9, 7, 6), gekippt(gepackt, gepackt.size() - 1)), false, {zlib}},
      {"a bit flipped in the data", BauePng(Kopf(9, 7, 6), gekippt(gespeichert, 7 + 100)), false, {zlib}},
      {"height 0 without IDAT", BauePng(Kopf(5, 0, 2), {}), true, {zlib}, {}},
      {"checksum missing, filter 5 in row 0",
       BauePng(Kopf(9, 7, 6), ohne(Packe(ersterFilter(Zeilen(pixel, 36, 0), 5)), 4)), false, {zlib, filter5}},
      {"a row short, filter 5 in row 0",
       BauePng(Kopf(9, 7, 6), Packe(ersterFilter(Zeilen(sechsZeilen, 36, 0), 5))), false, {passt}},
      {"a row too many, filter 5 in row 0",
       BauePng(Kopf(9, 6, 6), Packe(ersterFilter(Zeilen(pixel, 36, 0), 5))), false, {passt}},
      // Refused before the image takes its memory, yet inflated first all the same.
      {"broken stream far too small for the image", BauePng(Kopf(16384, 16384, 6), ohne(Packe(Bytes(100, 0)), 4)),
       false, {zlib, passt}},
  };
  for (const auto& f : faelle) {
    TLogFaenger log;
    const TLadeErgebnis e = Lade(f.datei);
    EXPECT_EQ(e.gut, f.gut) << f.name;
    EXPECT_EQ(Meldungen(log), f.meldungen) << f.name;
    EXPECT_EQ(e.rgba, f.rgba) << f.name;
  }
}

TEST(PNG, GeschriebeneDateiLiestSichZurueck) {
  const struct {
    uint64_t w, h;
    bool rauschen;  // incompressible: deflate's output is larger than its input
  } faelle[] = {{1, 1, false}, {13, 7, false}, {257, 129, true}, {640, 3, true}};
  for (const auto& f : faelle) {
    SCOPED_TRACE(testing::Message() << f.w << "x" << f.h);
    Quarz_Bild bild(f.w, f.h, Quarz::PF_A8R8G8B8, 1);
    uint32_t z = 7;
    for (uint64_t i = 0; i < f.w * f.h * 4; ++i) {
      z = z * 1664525u + 1013904223u;
      bild.mPixel[i] = f.rauschen ? static_cast<uint8_t>(z >> 24) : static_cast<uint8_t>(i * 3);
    }
    TLogFaenger log;
    ASSERT_TRUE(bild.SpeicherePNG(L"geschrieben.png"));
    EXPECT_TRUE(log.mZeilen.empty()) << log.Alle();
    Bytes soll = AlsRgba(bild.mPixel, f.w, f.h, bild.mPitch);
    for (size_t i = 3; i < soll.size(); i += 4) soll[i] = 255;  // alpha is not written

    const Bytes datei = LiesDatei("geschrieben.png");
    EXPECT_EQ(datei[24], 8);
    EXPECT_EQ(datei[25], 2);
    Quarz_Bild zurueck;
    ASSERT_TRUE(zurueck.LadeBildAusDatei(L"geschrieben.png"));
    EXPECT_EQ(AlsRgba(zurueck.mPixel, zurueck.mBreite, zurueck.mHoehe, zurueck.mPitch), soll);
    EXPECT_EQ(MagickRgba("geschrieben.png"), soll);
    // Two newlines behind the end (as a text-mode transfer may add) change nothing.
    const TLadeErgebnis mitZeilen = Lade(Mit(datei, {'\n', '\n'}));
    EXPECT_TRUE(mitZeilen.gut) << log.Alle();
    EXPECT_EQ(mitZeilen.rgba, soll);
    // Every CRC is right (ImageMagick warns about wrong ones; check them here too).
    for (size_t p = 8; p + 12 <= datei.size();) {
      const uint32_t n = uint32_t(datei[p]) << 24 | datei[p + 1] << 16 | datei[p + 2] << 8 | datei[p + 3];
      const uint32_t crc = static_cast<uint32_t>(crc32(0, datei.data() + p + 4, n + 4));
      const uint8_t* c = datei.data() + p + 8 + n;
      EXPECT_EQ(crc, uint32_t(c[0]) << 24 | c[1] << 16 | c[2] << 8 | c[3]);
      p += 12 + n;
    }
  }
}

TEST(PNG, SchreibfehlerWerdenGemeldet) {
  Quarz_Bild gut(4, 4, Quarz::PF_A8R8G8B8, 1), leer, dxt(4, 4, Quarz::PF_DXT1, 1), a8(4, 4, Quarz::PF_A8, 1);
  std::memset(gut.mPixel, 0x80, 64);
  const std::pair<const Quarz_Bild*, std::wstring> faelle[] = {
      {&gut, L"fehlt/bild.png"}, {&gut, L"."}, {&leer, L"leer.png"}, {&dxt, L"dxt.png"}, {&a8, L"a8.png"},
      {&gut, L"/dev/full"}};  // takes no bytes: the short write is reported, the device stays
  for (const auto& [bild, pfad] : faelle) {
    if (pfad == L"/dev/full" && !std::filesystem::exists("/dev/full")) continue;
    TLogFaenger log;
    EXPECT_FALSE(bild->SpeicherePNG(pfad));
    EXPECT_EQ(log.Zaehle("!Quarz_Bild::SpeicherePNG("), 1) << log.Alle();
    EXPECT_EQ(std::filesystem::exists(pfad), pfad == L"." || pfad == L"/dev/full");
  }
}

}  // namespace
