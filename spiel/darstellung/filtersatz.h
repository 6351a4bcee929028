#pragma once
// The effects currently active, keyed by a sequence id, and the chain of passes computed from
// them: which image each pass reads and writes and which parameter values it receives. The
// chain is computed when an effect is added and run once per frame on the rendered frame.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class FilterEffekt;
class Quarz_Textur;
class Quarz_Renderziel;
class Quarz_VertexBuffer;
class Quarz_IndexBuffer;
class Quarz_Sampler;
class Quarz_Programm;

namespace Spiel {
class Filter;
}

class FilterSatz
{
public:
    // Kinds of the images a chain knows.
    enum Art : uint32_t { KETTENBILD = 0, ROHBILD = 1, EINGABETEXTUR = 2, REFERENZBILD = 3 };

    struct Ziel
    {
        uint32_t mArt = KETTENBILD;
        std::string mName;
        uint64_t mTeiler = 1;
        Quarz_Textur* mTextur = nullptr;         // owned for chain images
        Quarz_Renderziel* mRenderziel = nullptr;  // owned for chain images
    };
    struct ParamWert
    {
        std::string mName;
        float mWert[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    };
    struct Schritt
    {
        FilterEffekt* mEffekt = nullptr;
        Spiel::Filter* mFilter = nullptr;
        std::vector<uint64_t> mEingaben;   // image index per input of the pass
        std::vector<int64_t> mParamSlots;  // value index per parameter of the effect, -1 absent
        int64_t mAusgabe = -1;             // image index, -1 the final destination
    };
    // Where the chain's result goes: a render target (null: the back buffer) and a region.
    struct Zielangabe
    {
        Quarz_Renderziel* mRenderziel = nullptr;
        uint64_t mX = 0, mY = 0, mBreite = 0, mHoehe = 0;
    };
    // The drawing objects every pass shares (the filter management owns them). With no pass
    // in the chain the frame is copied to the destination by the pass-through program.
    struct QuadResourcen
    {
        Quarz_VertexBuffer* mVertices = nullptr;
        Quarz_IndexBuffer* mIndizes = nullptr;
        Quarz_Sampler* mSampler[4] = {};  // point wrap, point clamp, linear wrap, linear clamp
        Quarz_Textur* mReferenzTextur = nullptr;
        Quarz_Renderziel* mReferenzZiel = nullptr;
        Quarz_Programm* mDurchreichen = nullptr;
    };

    FilterSatz() = default;
    // Releases the chain images.
    ~FilterSatz();
    FilterSatz(const FilterSatz&) = delete;
    FilterSatz& operator=(const FilterSatz&) = delete;

    // Activates an effect under a sequence id (replacing, with a warning, the one there) and
    // recomputes the chain.
    void AddFilter(FilterEffekt* effekt, int32_t sequenzId);
    // Stores a value for the parameter of that name; unknown names are logged.
    void SetParameter(const std::string& name, float r, float g, float b, float a);
    // Recomputes images, parameter values and steps from the active effects.
    void BerechneFilterkette();
    // Runs the chain once on the frame.
    void Anwenden(Quarz_Textur* rohbild, const Zielangabe& ziel, const QuadResourcen& quad);

    // The index of the image of that name, or -1.
    int64_t BildIndex(const std::string& name) const;

    std::map<int32_t, FilterEffekt*> mAktiv;
    std::vector<Ziel> mBilder;
    std::vector<ParamWert> mParamWerte;
    std::vector<Schritt> mSchritte;

private:
    void GibBilderFrei();
    void LegeBilderAn();
    void OrdneEingabenZu(size_t s, bool& liestErgebnis);
    int64_t ErgebnisAusgabe(size_t s, bool liestErgebnis, uint32_t& wechselbilder);
    // Drops steps that would write an image without a render target or read what they write.
    void VerwirfUnzulaessigeSchritte();
    void BereiteBilderVor(Quarz_Textur* rohbild, uint64_t breite, uint64_t hoehe, const QuadResourcen& quad);
    void ZeichneSchritt(const Schritt& schritt, const Zielangabe& ziel, const QuadResourcen& quad);
    void ZeichneDurchreichen(Quarz_Textur* rohbild, const Zielangabe& ziel, const QuadResourcen& quad);
};
