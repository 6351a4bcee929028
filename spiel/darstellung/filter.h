#pragma once
// One full-screen pass of a post-processing effect: the images it reads, the image it writes
// with its size divisor, its blending and its own shader program on the shared quad's layout.
// A pass owns GPU objects, so it can be moved but never copied; a moved-from pass owns nothing.
#include <cstdint>
#include <string>
#include <vector>

class TiXmlElement;
class Quarz_AlphaZustand;
class Quarz_VertexShader;
class Quarz_PixelShader;
class Quarz_Programm;
class FilterVerwaltung;

namespace Spiel {

class Filter
{
public:
    // Sampler address and filter codes as the sampler description's bit fields take them.
    static constexpr uint32_t kBegrenzen = 21;
    static constexpr uint32_t kWiederholen = 0;
    static constexpr uint32_t kPunkt = 0;
    static constexpr uint32_t kLinear = 21;

    struct Eingabe
    {
        std::string mBildName;
        std::string mSamplerName;
        std::string mKonstantenName;  // receives the image's size factors
        uint32_t mAdressCode = kBegrenzen;
        uint32_t mFilterCode = kPunkt;
    };

    // Loads the pass from its element and compiles its shaders. Every fault is logged and
    // throws Quarz_Ausnahme "Laden des Filters gescheitert"; nothing made so far is left behind.
    Filter(const std::string& name, const TiXmlElement& element, const FilterVerwaltung& verwaltung);
    // A pass without shaders that reads and writes "ergebnis" (chains are computed from the
    // names alone).
    explicit Filter(std::string name);
    ~Filter();
    Filter(Filter&& anderer) noexcept;
    Filter& operator=(Filter&& anderer) noexcept;
    Filter(const Filter&) = delete;
    Filter& operator=(const Filter&) = delete;

    // The divisor attribute's value: optional leading white space and '+', then digits whose
    // value lies in 1..kMaxTeiler (text after them is ignored). Anything else gives 0.
    static uint64_t LiesTeiler(const char* text);
    static constexpr uint64_t kMaxTeiler = 0x7FFFFFFF;

    std::string mName;
    std::vector<Eingabe> mEingaben;
    std::string mAusgabeName = "ergebnis";
    uint64_t mTeiler = 1;
    Quarz_AlphaZustand* mAlphaZustand = nullptr;  // null: the context's default, no blending
    std::string mVertexShaderQuelle;
    std::string mPixelShaderQuelle;
    Quarz_VertexShader* mVertexShader = nullptr;
    Quarz_PixelShader* mPixelShader = nullptr;
    Quarz_Programm* mProgramm = nullptr;

private:
    void LadeAus(const TiXmlElement& element, const FilterVerwaltung& verwaltung);
    void LiesEingaben(const TiXmlElement& element);
    void LiesAusgabe(const TiXmlElement& element);
    void LiesBlending(const TiXmlElement& element);
    void UebersetzeShader(const TiXmlElement& element);
    // Releases the vertex shader, the pixel shader, the program and the blend state, in this
    // order, and clears the pointers.
    void GibFrei();
};

}  // namespace Spiel
