#pragma once
// One post-processing effect, loaded from its file "filter.<name>.xml": its passes, the
// textures it declares and its tunable parameters. The filter set points into the passes, so
// the pass list is reserved once and never grows afterwards; an effect is moved, never copied.
#include <string>
#include <vector>

#include "spiel/darstellung/filter.h"

class TiXmlElement;
class FilterVerwaltung;

class FilterEffekt
{
public:
    struct Param
    {
        std::string mName;
        std::string mBeschreibung;
        std::string mKonstantenName;  // the shader constant that receives the value
        float mStandard[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    };
    struct Textur
    {
        std::string mName;
        std::string mBeschreibung;
        std::string mStandard;
    };

    FilterEffekt() = default;
    FilterEffekt(FilterEffekt&&) noexcept = default;
    FilterEffekt& operator=(FilterEffekt&&) noexcept = default;
    FilterEffekt(const FilterEffekt&) = delete;
    FilterEffekt& operator=(const FilterEffekt&) = delete;

    // Fills the effect from its element. A pass that fails is logged and left out, as are
    // nameless textures and incomplete parameters; nothing here throws.
    void LadeAus(const std::string& name, const TiXmlElement& element, const FilterVerwaltung& verwaltung);

    std::string mName;
    std::string mBeschreibung;
    std::vector<Spiel::Filter> mFilter;
    std::vector<Param> mParameter;
    std::vector<Textur> mTexturen;

private:
    void LadeFilter(const TiXmlElement& element, const FilterVerwaltung& verwaltung);
    void LadeTexturen(const TiXmlElement& element);
    void LadeParameter(const TiXmlElement& element);
};

// The attribute read as a float; the default when it is missing or its text is no number.
float LiesFloatAttribut(const TiXmlElement& element, const char* name, float standard);
