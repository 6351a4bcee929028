#pragma once
// A vertex shader compiled from dialect source. Created empty by the drawing context
// (ErzeugeVertexShader), usable after a successful UebersetzeAusString; untouched by device
// resets.
#include <atomic>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"
#include "quarzklassen/grafik/shader/quarz_highlevelshaderbasis.h"

class Quarz_VertexShader : public Quarz_NichtVideoObjekt, public Quarz_HighLevelShaderBasis {
public:
  Quarz_VertexShader();
  ~Quarz_VertexShader() override;

  // Translates and compiles the source, creates the device shader and fills the name map.
  // Failure (reported unless quiet) leaves the shader empty with its messages kept.
  bool UebersetzeAusString(const char* quelle, const Quarz::TShaderDefinitionen& definitionen,
                           bool leise);
  // Creates the device shader from the compiled code and walks the constant table.
  bool InternErzeugeShader(bool leise);

  IDirect3DVertexShader9* mD3DShader = nullptr;

  // Numbers of the dump files "vs%03d.txt", process-wide.
  static std::atomic<uint32_t> sDumpZaehler;

private:
  // The words and numbers of its compiles.
  static const TArt kArt;
};
