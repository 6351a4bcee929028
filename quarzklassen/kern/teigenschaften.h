#pragma once
// Property tree: named nodes with typed values, addressed by dotted keys ("button.groesse.x").
// Type names: "float", "int", "unsigned int", "string", "TVektor" (BVektor<float>) and
// "TAlphaFarbe"; a value given without a type is a float. Children are kept in byte-wise
// ascending name order and owned by their parent.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "quarzklassen/kern/bvektor.h"
#include "quarzklassen/kern/talphafarbe.h"

class TEigenschaften
{
public:
    using Wert = std::variant<std::monostate, BVektor<float>, TAlphaFarbe, std::string, int32_t, uint32_t, float>;
    using KinderMap = std::map<std::string, std::unique_ptr<TEigenschaften>, std::less<>>;

    TEigenschaften() = default;
    TEigenschaften(TEigenschaften&&) noexcept = default;
    TEigenschaften& operator=(TEigenschaften&&) noexcept = default;

    // The node for a dotted key below this node, creating every missing node on the way.
    // An empty key is this node; "a." is a; "a..b" walks a, a child named "", then b.
    TEigenschaften& Knoten(std::string_view schluessel);
    // The same walk without creating anything: null when a node on the way is missing.
    const TEigenschaften* Finde(std::string_view schluessel) const;
    // The direct child of this exact name (dots included), created when missing.
    TEigenschaften& Kind(std::string_view name);

    // Replaces the value by the text converted to the named type. The old value is gone
    // first: when the text does not convert (boost::bad_lexical_cast is thrown), the node
    // is left without a value.
    void SetzeWert(std::string_view typName, const std::string& text);
    void LoescheWert();

    bool HatWert() const { return mTypName != nullptr; }
    // The type name, or "" for a node without a value.
    const char* TypName() const { return mTypName ? mTypName : ""; }
    // The value when it holds a T, else null.
    template <typename T>
    const T* Hole() const
    {
        return std::get_if<T>(&mWert);
    }
    const Wert& GetWert() const { return mWert; }
    // The value as text ("" without one).
    std::string AlsText() const;

    const KinderMap& Kinder() const { return mKinder; }

private:
    const char* mTypName = nullptr;
    Wert mWert;
    KinderMap mKinder;
};
