// Decoding a 2048 x 2048 RGBA PNG: the engine's reader against libpng on the same bytes, both
// into A8R8G8B8 (B, G, R, A in memory). The file is written by libpng with its default,
// adaptive filtering, so every filter type occurs.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstring>
#include <vector>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/tspeicher.h"

namespace {

constexpr uint32_t kKante = 2048;

// Gradients with texture-like noise and hard edges: neither all smooth nor all noise.
std::vector<uint8_t> Bildinhalt() {
  std::vector<uint8_t> rgba(size_t{kKante} * kKante * 4);
  uint32_t z = 12345;
  for (uint32_t y = 0; y < kKante; ++y)
    for (uint32_t x = 0; x < kKante; ++x) {
      z = z * 1664525u + 1013904223u;
      const uint32_t rauschen = (z >> 28);
      uint8_t* p = &rgba[(size_t{y} * kKante + x) * 4];
      const bool feld = ((x / 64) ^ (y / 64)) & 1;
      p[0] = static_cast<uint8_t>(x / 8 + rauschen);
      p[1] = static_cast<uint8_t>(y / 8 + (feld ? 40 : 0));
      p[2] = static_cast<uint8_t>((x + y) / 16 + rauschen * 2);
      p[3] = static_cast<uint8_t>(feld ? 255 : 128 + x % 128);
    }
  return rgba;
}

void Schreiben(png_structp png, png_bytep daten, png_size_t n) {
  auto* ziel = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  ziel->insert(ziel->end(), daten, daten + n);
}

const std::vector<uint8_t>& Datei() {
  static const std::vector<uint8_t> datei = [] {
    std::vector<uint8_t> rgba = Bildinhalt(), aus;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &aus, Schreiben, nullptr);
    png_set_IHDR(png, info, kKante, kKante, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < kKante; ++y) png_write_row(png, &rgba[size_t{y} * kKante * 4]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return aus;
  }();
  return datei;
}

void EngineLadePNG(benchmark::State& state) {
  TSpeicher speicher;
  speicher.SchreibeMem(Datei().data(), Datei().size());
  Quarz_Bild bild;
  for (auto _ : state) {
    speicher.ZurueckZumAnfang();
    if (!bild.LadePNG(speicher)) state.SkipWithError("LadePNG failed");
    benchmark::DoNotOptimize(bild.mPixel);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kKante * kKante * 4);
}

struct TLeser {
  const std::vector<uint8_t>* datei;
  size_t pos;
};

void Lesen(png_structp png, png_bytep ziel, png_size_t n) {
  auto* l = static_cast<TLeser*>(png_get_io_ptr(png));
  if (l->pos + n > l->datei->size()) png_error(png, "short");
  std::memcpy(ziel, l->datei->data() + l->pos, n);
  l->pos += n;
}

void LibPng(benchmark::State& state) {
  // The same target as the engine: one allocation per image, rows in A8R8G8B8 order.
  std::vector<uint8_t> pixel(size_t{kKante} * kKante * 4);
  std::vector<png_bytep> zeilen(kKante);
  for (uint32_t y = 0; y < kKante; ++y) zeilen[y] = &pixel[size_t{y} * kKante * 4];
  for (auto _ : state) {
    TLeser leser{&Datei(), 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &leser, Lesen);
    png_read_info(png, info);
    png_set_bgr(png);
    png_read_update_info(png, info);
    png_read_image(png, zeilen.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    benchmark::DoNotOptimize(pixel.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kKante * kKante * 4);
}

BENCHMARK(EngineLadePNG)->Unit(benchmark::kMillisecond);
BENCHMARK(LibPng)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
