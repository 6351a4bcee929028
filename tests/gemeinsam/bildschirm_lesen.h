#pragma once
// The engine's back buffer read back, for tests and benchmarks alike.
#include <cstdint>
#include <vector>

class Quarz_ZeichenKontext;

// The back buffer of the drawing context as 0xAARRGGBB pixels, row 0 on top.
std::vector<uint32_t> LiesBildschirm(Quarz_ZeichenKontext& kontext, int breite, int hoehe);
