#pragma once
// The models' GPU buffers through the engine's drawing context: a static vertex buffer and a
// static index buffer of 32-bit indices per model, each keeping its own copy of the content;
// a changeable model (the terrain) gets a dynamic vertex buffer.
// Installed with SetzeModellPuffer once the screen and its drawing context exist.
#include "spiel/welt/modellpuffer.h"

class Quarz_ZeichenKontext;

namespace Spiel {

class ZeichenKontextPuffer : public ModellPuffer
{
public:
    explicit ZeichenKontextPuffer(Quarz_ZeichenKontext& kontext) : mKontext(kontext) {}

    void Erzeuge(Modell& modell, const Vertex* vertices, uint64_t vertexAnzahl, const uint32_t* indizes,
                 uint64_t indexAnzahl) override;
    void GibFrei(Modell& modell) override;
    void Aktualisiere(Modell& modell, const Netz& netz, uint64_t anzahl, bool indizesNeu) override;

private:
    Quarz_ZeichenKontext& mKontext;
};

}  // namespace Spiel
