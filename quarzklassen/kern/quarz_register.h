#pragma once
// The rules shared by the registries of console variables and console commands: records
// entered by name into a byte-wise ordered map that the first registration creates (so the
// order of static initialisation across files does not matter) and that lives until exit.
#include <map>
#include <string>

namespace Quarz_Register {

template <typename T>
using Karte = std::map<std::string, T*>;

// Enters the record under its name; a name already present is replaced (the last wins).
template <typename T>
void Eintragen(Karte<T>*& karte, T* eintrag) {
  if (karte == nullptr) karte = new Karte<T>;
  (*karte)[eintrag->mName] = eintrag;
}

// The record with exactly that name, or null (also while the registry does not exist).
template <typename T>
T* Finde(const Karte<T>* karte, const std::string& name) {
  if (karte == nullptr) return nullptr;
  const auto it = karte->find(name);
  return it == karte->end() ? nullptr : it->second;
}

// The first name in name order that begins with the prefix; empty when none does.
template <typename T>
std::string Vervollstaendige(const Karte<T>* karte, const std::string& praefix) {
  if (karte == nullptr) return {};
  const auto it = karte->lower_bound(praefix);
  if (it == karte->end() || it->first.compare(0, praefix.size(), praefix) != 0) return {};
  return it->first;
}

}  // namespace Quarz_Register
