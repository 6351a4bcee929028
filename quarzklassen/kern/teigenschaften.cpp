#include "quarzklassen/kern/teigenschaften.h"

#include <sstream>

#include <boost/lexical_cast.hpp>

namespace
{
// Splits a dotted key into its first segment and the rest after the dot.
std::string_view ErstesSegment(std::string_view schluessel, std::string_view& rest)
{
    const std::size_t punkt = schluessel.find('.');
    if (punkt == std::string_view::npos)
    {
        rest = std::string_view();
        return schluessel;
    }
    rest = schluessel.substr(punkt + 1);
    return schluessel.substr(0, punkt);
}

struct ZuText
{
    std::string operator()(std::monostate) const { return std::string(); }
    std::string operator()(const std::string& s) const { return s; }
    template <typename T>
    std::string operator()(const T& wert) const
    {
        std::ostringstream aus;
        aus << wert;
        return aus.str();
    }
};
} // namespace

TEigenschaften& TEigenschaften::Kind(std::string_view name)
{
    auto it = mKinder.find(name);
    if (it == mKinder.end())
        it = mKinder.emplace(std::string(name), std::make_unique<TEigenschaften>()).first;
    return *it->second;
}

TEigenschaften& TEigenschaften::Knoten(std::string_view schluessel)
{
    TEigenschaften* knoten = this;
    while (!schluessel.empty())
    {
        std::string_view rest;
        knoten = &knoten->Kind(ErstesSegment(schluessel, rest));
        schluessel = rest;
    }
    return *knoten;
}

const TEigenschaften* TEigenschaften::Finde(std::string_view schluessel) const
{
    const TEigenschaften* knoten = this;
    while (!schluessel.empty())
    {
        std::string_view rest;
        const auto it = knoten->mKinder.find(ErstesSegment(schluessel, rest));
        if (it == knoten->mKinder.end())
            return nullptr;
        knoten = it->second.get();
        schluessel = rest;
    }
    return knoten;
}

void TEigenschaften::LoescheWert()
{
    mTypName = nullptr;
    mWert = std::monostate();
}

void TEigenschaften::SetzeWert(std::string_view typName, const std::string& text)
{
    LoescheWert();
    if (typName == "TVektor")
    {
        mWert = boost::lexical_cast<BVektor<float>>(text);
        mTypName = "TVektor";
    }
    else if (typName == "TAlphaFarbe")
    {
        mWert = boost::lexical_cast<TAlphaFarbe>(text);
        mTypName = "TAlphaFarbe";
    }
    else if (typName == "string")
    {
        mWert = text;
        mTypName = "string";
    }
    else if (typName == "int")
    {
        mWert = boost::lexical_cast<int32_t>(text);
        mTypName = "int";
    }
    else if (typName == "unsigned int")
    {
        // A leading minus sign gives the value wrapped to 32 bits, as lexical_cast does.
        mWert = boost::lexical_cast<uint32_t>(text);
        mTypName = "unsigned int";
    }
    else
    {
        mWert = boost::lexical_cast<float>(text);
        mTypName = "float";
    }
}

std::string TEigenschaften::AlsText() const { return std::visit(ZuText(), mWert); }
