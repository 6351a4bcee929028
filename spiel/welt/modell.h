#pragma once
// A model: the GPU vertex and index buffers of one mesh, and the registry of named models.
#include <cstdint>
#include <map>
#include <string>

#include "spiel/welt/netz.h"

class Quarz_VertexBuffer;
class Quarz_IndexBuffer;

namespace Spiel {

class Modell
{
public:
    // Creates the two static GPU buffers from the lists; the lists stay the caller's.
    // veraenderlich: the vertices may be rewritten later (Aktualisiere), as the terrain's are.
    Modell(const Vertex* vertices, uint64_t vertexAnzahl, const uint32_t* indizes, uint64_t indexAnzahl,
           bool veraenderlich = false);
    explicit Modell(const Netz& netz, bool veraenderlich = false);
    Modell(const Modell&) = delete;
    Modell& operator=(const Modell&) = delete;

    // Releases the vertex buffer, then the index buffer. Safe to call twice: the pointers are
    // cleared, so a rebuilt mesh can never release its predecessor's buffers again.
    void Freigeben();
    // anzahl vertices have changed in the mesh (as many vertices as the model was made from);
    // with indizesNeu the index list changed too.
    void Aktualisiere(const Netz& netz, uint64_t anzahl, bool indizesNeu);

    Quarz_VertexBuffer* mVertexPuffer = nullptr;
    Quarz_IndexBuffer* mIndexPuffer = nullptr;
    // Index count / 3: what a render instance draws (index bytes / 12).
    uint64_t mDreiecke = 0;
    bool mVeraenderlich = false;
};

// Model name to model, filled once at start-up by LadeModelle.
extern std::map<std::string, Modell*> Modellregister;

// The model registered under the name, or null for a name that was never registered
// (the lookup adds no entry).
Modell* SucheModell(const std::string& name);

// Releases and deletes every registered model and empties the registry, so the drawing
// context finds no model buffer left at shutdown.
void GebeModelleFrei();

}  // namespace Spiel
