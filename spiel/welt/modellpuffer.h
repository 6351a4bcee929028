#pragma once
// The one seam between the game's meshes and the GPU: whoever owns the drawing context installs
// an implementation that creates a model's static vertex and index buffers and releases them.
// Without one, models keep their triangle count but no buffers (the renderer skips them), which
// is how the simulation runs without a screen.
#include <cstdint>

#include "spiel/welt/netz.h"

namespace Spiel {

class Modell;

class ModellPuffer
{
public:
    virtual ~ModellPuffer() = default;
    // Creates both buffers from the lists (each keeps its own copy) and stores them in the model.
    virtual void Erzeuge(Modell& modell, const Vertex* vertices, uint64_t vertexAnzahl, const uint32_t* indizes,
                         uint64_t indexAnzahl) = 0;
    // Releases the model's buffers (a null buffer is skipped).
    virtual void GibFrei(Modell& modell) = 0;
    // anzahl vertices of a changeable model's mesh have changed (none: only the indices did): the
    // model's vertex buffer afterwards holds the whole mesh's vertex list (a GPU write may leave
    // what it does not cover undefined, so the whole list is written, or the model may get a new
    // buffer); with indizesNeu the index buffer is replaced by the mesh's index list.
    virtual void Aktualisiere(Modell& modell, const Netz& netz, uint64_t anzahl, bool indizesNeu) = 0;
};

// Installs the implementation (null: none); returns the previous one.
ModellPuffer* SetzeModellPuffer(ModellPuffer* puffer);
ModellPuffer* AktuelleModellPuffer();

}  // namespace Spiel
