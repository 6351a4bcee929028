#pragma once
// The post-processing effects of the data folder and the drawing objects every pass shares:
// the full-screen quad, its layout and four samplers, and a built-in pass-through program
// that presents the frame when no pass is active. Lives with the scene renderer.
#include <string>
#include <vector>

#include "spiel/darstellung/filtereffekt.h"
#include "spiel/darstellung/filtersatz.h"

class Quarz_VertexEingabe;
class Quarz_VertexBuffer;
class Quarz_IndexBuffer;
class Quarz_Sampler;
class Quarz_VertexShader;
class Quarz_PixelShader;
class Quarz_Programm;

class FilterVerwaltung
{
public:
    // Creates the shared objects and loads every effect file "filter.<name>.xml" of the folder.
    // Without a drawing context no shared object is made and no pass loads.
    explicit FilterVerwaltung(const std::wstring& ordner);
    // Destroys the effects, then releases the shared objects.
    ~FilterVerwaltung();
    FilterVerwaltung(const FilterVerwaltung&) = delete;
    FilterVerwaltung& operator=(const FilterVerwaltung&) = delete;

    // Loads one effect file and appends its effect; faults are logged and add nothing.
    void InternLadeEffekt(const std::wstring& pfad);
    // The same from the file's text (zero-terminated); the path names the effect.
    void LadeEffektAusText(const char* text, const std::string& pfadUtf8);

    // The effect of exactly that name, or null.
    FilterEffekt* SucheEffekt(const std::string& name);
    // The same for an effect that is to be activated: one that is missing or has no pass
    // that loaded is logged as an error and gives null, so the caller leaves it inactive (and
    // the frame is presented through the pass-through program).
    FilterEffekt* SucheAktivierbarenEffekt(const std::string& name);

    // The shared objects as a filter set's chain takes them (no reference image).
    FilterSatz::QuadResourcen Quad() const;

    // The effect files of the folder in name order: regular files named "filter." + name +
    // ".xml". A folder that cannot be read is logged and gives none.
    static std::vector<std::wstring> EffektDateien(const std::wstring& ordner);

    std::wstring mOrdner;
    std::vector<FilterEffekt> mEffekte;
    Quarz_VertexEingabe* mQuadEingabe = nullptr;
    Quarz_VertexBuffer* mQuadVertices = nullptr;
    Quarz_IndexBuffer* mQuadIndizes = nullptr;
    Quarz_Sampler* mSampler[4] = {};
    Quarz_VertexShader* mDurchreichVS = nullptr;
    Quarz_PixelShader* mDurchreichPS = nullptr;
    Quarz_Programm* mDurchreichen = nullptr;

private:
    void ErzeugeQuad();
    void ErzeugeDurchreichen();
    void LadeEffekte();
};
