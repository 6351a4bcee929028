// The entry: defaults, the tag list, the predefined names and builtins, the main input and
// the clean-up after the run.
#include "preprocessor/preprocessor_intern.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<PreprocessorState>, "the entry zeroes the state");

namespace {

template <typename T>
T Zeiger(uint64_t wert) {
  return reinterpret_cast<T>(static_cast<uintptr_t>(wert));
}

char* Kopie(const char* text) { return text ? strdup(text) : nullptr; }

void Standardwerte(PreprocessorState* s) {
  std::memset(s, 0, sizeof(*s));
  s->mZeilenAngaben = s->mZeileSchluesselwort = s->mBanner = true;
  s->mWarneFehlendesInclude = s->mAusgabeAn = s->mLokalZuerst = true;
  s->mAusgabe = true;
  s->mAusZeile = 1;
  s->mZeile = 1;
  const int groesse[6] = {1, 2, 4, 4, 4, 8};
  for (int i = 0; i < 6; ++i) {
    s->mGroesse[i] = groesse[i];
    s->mZeigerGroesse[i] = 8;
  }
}

// Sizes for sizeof: numbers separated by anything else; a leading "*" sets the pointer sizes.
void SetzeGroessen(PreprocessorState* s, const char* text) {
  bool zeiger = *text == '*';
  int werte[7];
  int anzahl = 0;
  for (const char* p = text; *p;) {
    if (!PPIstZiffer(*p)) {
      ++p;
      continue;
    }
    long v = 0;
    while (PPIstZiffer(*p)) {
      if (v < 1000000) v = v * 10 + (*p - '0');
      ++p;
    }
    if (anzahl == 7) break;
    werte[anzahl++] = static_cast<int>(v);
  }
  if (anzahl > 6) {
    PreprocessorError(s, 40);
    return;
  }
  if (anzahl < 6) PreprocessorError(s, 39);
  int* ziel = zeiger ? s->mZeigerGroesse : s->mGroesse;
  for (int i = 0; i < anzahl; ++i) ziel[i] = werte[i];
}

// "name=value" or "name"; the caller's text stays untouched.
void DefiniereTag(PreprocessorState* s, const char* text) {
  if (!text) return;
  const char* gleich = std::strchr(text, '=');
  if (!gleich) {
    PreprocessorDefineText(s, text, "1", false);
    return;
  }
  char* name = strndup(text, static_cast<size_t>(gleich - text));
  if (!name) return;
  PreprocessorDefineText(s, name, gleich + 1, false);
  std::free(name);
}

bool Eingebaute(PreprocessorState* s) {
  static const char* const kNamen[] = {"__LINE__", "__FILE__", "__FUNCTION__", "__FUNC_LINE__"};
  for (int i = 0; i < 4; ++i) {
    PreprocessorSymbol* sym = PreprocessorLookup(s, kNamen[i], false);
    if (!sym) return false;
    sym->mParameter = -2 - i;
    sym->mSystem = true;
  }
  static const char* const kMonate[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::time_t jetzt = std::time(nullptr);
  std::tm zeit{};
  localtime_r(&jetzt, &zeit);
  char text[64];
  std::snprintf(text, sizeof(text), "\"%3s %2d %4d\"", kMonate[zeit.tm_mon % 12], zeit.tm_mday,
                zeit.tm_year + 1900);
  if (PreprocessorDefineText(s, "__DATE__", text, true) != PP_OK) return false;
  std::snprintf(text, sizeof(text), "\"%2d:%02d:%02d\"", zeit.tm_hour, zeit.tm_min, zeit.tm_sec);
  return PreprocessorDefineText(s, "__TIME__", text, true) == PP_OK;
}

void Aufraeumen(PreprocessorState* s) {
  PreprocessorFreeInput(s);
  PreprocessorFreeMacros(s);
  PreprocessorFreeWaechter(s);
  std::free(s->mEingabeName);
  for (int i = 0; i < s->mVerzeichnisAnzahl; ++i) std::free(s->mVerzeichnisse[i]);
  for (int i = 0; i < s->mVorabAnzahl; ++i) std::free(s->mVorab[i]);
  for (int i = 0; i < s->mInitAusnahmeAnzahl; ++i) std::free(s->mInitAusnahmen[i]);
  std::free(s->mInitAusnahmen);
  std::free(s->mInitText);
  std::free(s->mLetzterName);
  s->mEingabeName = s->mInitText = s->mLetzterName = nullptr;
  s->mInitAusnahmen = nullptr;
  s->mVerzeichnisAnzahl = s->mVorabAnzahl = s->mInitAusnahmeAnzahl = 0;
}

}  // namespace

int PreprocessorSetTags(PreprocessorState* s, const PreprocessorTag* tags) {
  for (const PreprocessorTag* t = tags; t && t->tag != PPTAG_ENDE; ++t) {
    uint64_t v = t->value;
    const char* text = Zeiger<const char*>(v);
    switch (t->tag) {
      case 1: s->mKommentareBehalten = v != 0; break;
      case 2: DefiniereTag(s, text); break;
      case 3: s->mFehlerIgnorieren = true; break;
      case 4:
        if (s->mVerzeichnisAnzahl >= PP_MAX_VERZEICHNISSE) {
          PreprocessorError(s, 56);
          return PP_VERZEICHNISSE;
        }
        if (text) s->mVerzeichnisse[s->mVerzeichnisAnzahl++] = Kopie(text);
        break;
      case 5: s->mKeineVordefinierten = v != 0; break;
      case 6: s->mKeineEingebauten = v != 0; break;
      case 7: s->mKeineZeilenKommentare = v != 0; break;
      case 8: if (text) SetzeGroessen(s, text); break;
      case 9:
        if (text && !PreprocessorLookup(s, text, true)) PreprocessorError(s, 41, text);
        break;
      case 10: s->mMakrosAusgeben++; break;
      case 11:
        std::free(s->mEingabeName);
        s->mEingabeName = Kopie(text);
        break;
      case 12: s->mLies = Zeiger<PreprocessorEingabeFn>(v); break;
      case 13: s->mSchreibe = Zeiger<PreprocessorAusgabeFn>(v); break;
      case 14: s->mNutzer = Zeiger<void*>(v); break;
      case 15: s->mZeilenAngaben = v != 0; break;
      case 16: s->mMelde = Zeiger<PreprocessorFehlerFn>(v); break;
      case 17: s->mWarneUnbekannt = v != 0; break;
      case 18: s->mZeileSchluesselwort = v != 0; break;
      case 19: s->mBanner = v != 0; break;
      case 20: s->mMeldeIncludes = v != 0; break;
      case 21: s->mWarneKlammern = v != 0; break;
      case 22: s->mEinrueckungBehalten = v != 0; break;
      case 23: s->mVerschachtelteKommentare = v != 0; break;
      case 24: s->mWarneKommentarSchachtelung = v != 0; break;
      case 25: s->mWarneFehlendesInclude = v != 0; break;
      case 26: s->mAusgabeAn = v != 0; break;
      case 27:
      case 28:
        if (s->mVorabAnzahl >= PP_MAX_VERZEICHNISSE) {
          PreprocessorError(s, 57);
          return PP_VORAB;
        }
        if (text) {
          s->mVorabLokal[s->mVorabAnzahl] = t->tag == 28;
          s->mVorab[s->mVorabAnzahl++] = Kopie(text);
        }
        break;
      case 29: s->mPasteExpandieren = v != 0; break;
      case 30:
        std::free(s->mInitText);
        s->mInitText = Kopie(text);
        break;
      case 31:
        if (text) {
          auto** neu = static_cast<char**>(std::realloc(
              s->mInitAusnahmen, sizeof(char*) * static_cast<size_t>(s->mInitAusnahmeAnzahl + 1)));
          if (!neu) break;
          s->mInitAusnahmen = neu;
          s->mInitAusnahmen[s->mInitAusnahmeAnzahl++] = Kopie(text);
        }
        break;
      case 32: s->mMeldeFunktionen = v != 0; break;
      case 33: s->mAnfuehrungIgnorieren = v != 0; break;
      case 34: s->mLokalZuerst = v != 0; break;
      case 35: s->mOeffne = Zeiger<PreprocessorOeffneFn>(v); break;
      default: PreprocessorError(s, 42); break;
    }
  }
  return PP_OK;
}

int PreprocessorEntry(const PreprocessorTag* tags, PreprocessorState* s) {
  Standardwerte(s);
  // The predefined names come before the tag list, so the tags that turn them off (and the
  // callbacks that report on them) are looked up first.
  for (const PreprocessorTag* t = tags; t && t->tag != PPTAG_ENDE; ++t) {
    if (t->tag == PPTAG_KEINE_VORDEFINIERTEN) s->mKeineVordefinierten = t->value != 0;
    if (t->tag == PPTAG_KEINE_EINGEBAUTEN) s->mKeineEingebauten = t->value != 0;
    if (t->tag == PPTAG_FEHLERMELDUNG) s->mMelde = Zeiger<PreprocessorFehlerFn>(t->value);
    if (t->tag == PPTAG_NUTZERDATEN) s->mNutzer = Zeiger<void*>(t->value);
  }
  bool ok = true;
  if (!s->mKeineVordefinierten) ok = PreprocessorDefineText(s, "lumocpp", "1", true) == PP_OK;
  if (ok && !s->mKeineEingebauten) ok = Eingebaute(s);
  if (!ok) {
    Aufraeumen(s);
    return 1;
  }
  PreprocessorSetTags(s, tags);

  const char* name = s->mEingabeName && *s->mEingabeName ? s->mEingabeName : "[stdin]";
  bool geschoben = PreprocessorPushFile(s, s->mLies ? nullptr : stdin, name, true);
  if (geschoben) {
    // Files to include first are pushed above the input, the first of the list on top;
    // their local search starts in the input's folder.
    s->mLokalBasis = s->mEingabe;
    for (int i = s->mVorabAnzahl - 1; i >= 0; --i) {
      int ergebnis = PreprocessorOpenInclude(s, s->mVorab[i], s->mVorabLokal[i]);
      if (ergebnis == PP_NICHT_GEFUNDEN && s->mWarneFehlendesInclude)
        PreprocessorError(s, 48, s->mVorab[i]);
    }
    s->mLokalBasis = nullptr;
    PreprocessorMainLoop(s);
  }
  if (s->mBedingungTiefe > 0) PreprocessorError(s, 28, nullptr, nullptr, s->mBedingungTiefe);
  int ergebnis = s->mFehler > 0 && !s->mFehlerIgnorieren ? 1 : 0;
  Aufraeumen(s);
  return ergebnis;
}
