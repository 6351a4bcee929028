#pragma once
// Draws the world each frame: a shadow pass into a 2048 x 2048 target seen from a fixed light
// direction, a main pass into a screen-sized target seen from the orbit camera, then the
// post-processing chain, which writes the result to the back buffer.
#include <cstdint>
#include <string>

#include "quarzklassen/kern/bvektor.h"
#include "quarzklassen/kern/tmatrix4.h"
#include "spiel/darstellung/filterverwaltung.h"

class Quarz_VertexEingabe;
class Quarz_VertexShader;
class Quarz_PixelShader;
class Quarz_Programm;
class Quarz_ZBuffer;
class Quarz_Textur;
class Quarz_Renderziel;
class Quarz_Sampler;
class Quarz_TiefeZustand;
class FilterSatz;

namespace Spiel {

class Szene;

class SzenenRenderer
{
public:
    static constexpr uint64_t kSchattenGroesse = 2048;
    static constexpr uint32_t kZielFlags = 0xA00;  // A8R8G8B8, render target, volatile

    // Loads the effects and the shader pairs "start" and "schatten" from the data folder and
    // makes the shadow texture and the states. Shader files that are missing or do not compile
    // throw Quarz_Ausnahme; what was made before is released first.
    SzenenRenderer();
    // Releases every GPU object of the renderer.
    ~SzenenRenderer();
    SzenenRenderer(const SzenenRenderer&) = delete;
    SzenenRenderer& operator=(const SzenenRenderer&) = delete;

    // One frame: shadow pass, main pass around the camera target, filter chain to the back
    // buffer.
    void Zeichne(const Szene& szene, const BVektor<float>& ziel, float abstand, float neigung, FilterSatz& filter);
    // Draws every render instance of the world that has buffers with one of the two programs.
    void ZeichnePass(const Szene& szene, bool schatten, const TMatrix4& sicht, const TMatrix4& projektion);
    // Loads "<name>.vs" and "<name>.ps" from the data folder and builds their program.
    void LadeShaderpaar(const std::string& name, Quarz_VertexShader*& vs, Quarz_PixelShader*& ps,
                        Quarz_Programm*& programm);

    // The transforms of a frame, as Zeichne computes them.
    // Light view: T(0, 0, d) · Ry(0.3) · Rx(1.3) · T(-t).
    static TMatrix4 LichtSicht(const BVektor<float>& ziel, float abstand);
    // The orthographic light projection: ±1.25 d sideways, ±500 vertically, depth 0 to 2 d.
    static TMatrix4 LichtProjektion(float abstand);
    // Camera view: T(0, 0, d) · Rx(neigung) · T(-t).
    static TMatrix4 KameraSicht(const BVektor<float>& ziel, float abstand, float neigung);
    // Perspective with a horizontal half-angle of 0.6, near 0.1, far 1000, screen y flipped.
    static TMatrix4 KameraProjektion(uint64_t breite, uint64_t hoehe);
    // The direction the light travels: the third row of the light view's rotation.
    static BVektor<float> LichtRichtung(const TMatrix4& lichtSicht);

    Quarz_VertexEingabe* mVertexEingabe = nullptr;
    Quarz_VertexShader* mStartVS = nullptr;
    Quarz_VertexShader* mSchattenVS = nullptr;
    Quarz_PixelShader* mStartPS = nullptr;
    Quarz_PixelShader* mSchattenPS = nullptr;
    Quarz_Programm* mStartProgramm = nullptr;
    Quarz_Programm* mSchattenProgramm = nullptr;
    Quarz_ZBuffer* mZBuffer = nullptr;
    Quarz_Textur* mSchattenTextur = nullptr;
    Quarz_Renderziel* mSchattenZiel = nullptr;
    Quarz_Sampler* mSchattenSampler = nullptr;
    Quarz_TiefeZustand* mTiefeZustand = nullptr;
    TMatrix4 mLichtTransform = TMatrix4::Einheit();
    BVektor<float> mLichtRichtung;
    Quarz_Textur* mSzenenTextur = nullptr;
    Quarz_Renderziel* mSzenenZiel = nullptr;
    FilterVerwaltung mFilterVerwaltung;

private:
    // Register indices of the names the passes set, looked up once per program.
    struct Konstanten
    {
        uint32_t mWelt = 0, mSicht = 0, mProj = 0;
        uint32_t mLichtTransform = 0, mLichtRichtung = 0, mLichtFarbe = 0, mUmFarbe = 0;
        uint32_t mSchattenSampler = 0;
    };
    static Konstanten SucheKonstanten(const Quarz_Programm* programm);
    void ErzeugeZiele(uint64_t breite, uint64_t hoehe);
    void GibFrei();

    Konstanten mStartKonstanten;
    Konstanten mSchattenKonstanten;
};

}  // namespace Spiel
