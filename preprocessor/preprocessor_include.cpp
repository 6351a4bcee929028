// #include: the name, the search through the including file's folder and the include
// directories, and opening through the caller's callback.
#include "preprocessor/preprocessor_intern.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Deeper nesting can only be a file including itself.
constexpr int kMaxIncludeTiefe = 200;

const PreprocessorWaechter* Bewacht(PreprocessorState* s, const char* pfad) {
  for (const PreprocessorWaechter* w = s->mWaechter; w; w = w->mNaechster)
    if (std::strcmp(w->mPfad, pfad) == 0) return PreprocessorFind(s, w->mMakro) ? w : nullptr;
  return nullptr;
}

// A re-read at the current depth would also stay silent only while the file's own nesting
// fits on the conditional stack from here.
bool UeberspringBar(PreprocessorState* s, const char* pfad) {
  const PreprocessorWaechter* w = Bewacht(s, pfad);
  return w && s->mBedingungTiefe + w->mSchachtelung <= PP_MAX_BEDINGUNGEN;
}

// Whether a guarded file that will not be read again still opens. The caller's callback is
// asked as for any include: it may count, refuse or redirect. Without one nothing is asked: the
// C runtime's open and close (or even a look at the file system) cost more than all the rest of
// such an include.
// Not reading the file again takes its content as unchanged within one run, not only its being
// there: what a callback returns for a name read before is never read, whatever it holds now,
// and without a callback a file replaced, changed, made unreadable or removed since it was read
// still counts as read.
bool OeffnetNoch(PreprocessorState* s, const char* pfad) {
  if (!s->mOeffne) return true;
  FILE* f = s->mOeffne(pfad, "r");
  if (f) std::fclose(f);
  return f != nullptr;
}

bool Versuche(PreprocessorState* s, const char* pfad) {
  if (UeberspringBar(s, pfad)) {
    // A file that no longer opens is searched for further like any other.
    if (!OeffnetNoch(s, pfad)) return false;
    // Reading it again would give no output and no message: only what the file's entry and
    // exit would have left behind.
    s->mResync = true;
    if (s->mMeldeIncludes) PreprocessorMelde(s, "cpp: included \"%s\"\n", pfad);
    return true;
  }
  FILE* f = s->mOeffne ? s->mOeffne(pfad, "r") : std::fopen(pfad, "r");
  if (!f) return false;
  if (!PreprocessorPushFile(s, f, pfad, false)) {
    std::fclose(f);
    return false;
  }
  if (s->mMeldeIncludes) PreprocessorMelde(s, "cpp: included \"%s\"\n", pfad);
  s->mDatei->mWaechterTiefe = s->mBedingungTiefe;
  s->mDatei->mWaechterMeldungen = s->mMeldungen;
  return true;
}

// Guard tracking applies to include files read from their start.
PreprocessorInput* WaechterDatei(PreprocessorState* s) {
  PreprocessorInput* d = s->mDatei;
  return d && !d->mIstHaupt && d->mWaechterPhase >= 0 ? d : nullptr;
}

}  // namespace

int PreprocessorOpenInclude(PreprocessorState* s, const char* name, bool lokal) {
  if (s->mIncludeTiefe >= kMaxIncludeTiefe) return PP_NICHT_GEFUNDEN;
  char pfad[PP_PUFFER];
  size_t laenge = std::strlen(name);
  if (name[0] == '/' && Versuche(s, name)) return PP_OK;
  const PreprocessorInput* basis = s->mLokalBasis ? s->mLokalBasis : s->mDatei;
  if (lokal && s->mLokalZuerst && basis) {
    const char* schraeg = std::strrchr(basis->mName, '/');
    size_t ordner = schraeg ? static_cast<size_t>(schraeg - basis->mName) + 1 : 0;
    if (ordner + laenge >= PP_PUFFER) {
      PreprocessorError(s, 55);
      return PP_NAME_ZU_LANG;
    }
    std::memcpy(pfad, basis->mName, ordner);
    std::memcpy(pfad + ordner, name, laenge + 1);
    if (Versuche(s, pfad)) return PP_OK;
  }
  for (int i = 0; i < s->mVerzeichnisAnzahl; ++i) {
    const char* verz = s->mVerzeichnisse[i];
    size_t vl = std::strlen(verz);
    bool mitSchraeg = vl > 0 && verz[vl - 1] == '/';
    if (vl + (mitSchraeg ? 0 : 1) + laenge >= PP_PUFFER) {
      PreprocessorError(s, 55);
      return PP_NAME_ZU_LANG;
    }
    std::snprintf(pfad, sizeof(pfad), mitSchraeg ? "%s%s" : "%s/%s", verz, name);
    if (Versuche(s, pfad)) return PP_OK;
  }
  return PP_NICHT_GEFUNDEN;
}

int PreprocessorInclude(PreprocessorState* s) {
  char* name = s->mArbeit;
  int zeile = s->mZeile;
  int c = PreprocessorGetChar(s);
  while (PPIstLeer(c)) c = PreprocessorGetChar(s);
  int schluss;
  size_t n = 0;
  if (c == '<' || c == '"') {
    schluss = c == '<' ? '>' : '"';
    int d = PreprocessorRawChar(s);
    while (d != schluss && d != '\n' && d != 0) {
      if (n >= PP_PUFFER - 1) {
        PreprocessorError(s, 64);
        PreprocessorUeberspringeZeile(s, d);
        return PP_UEBERLAUF;
      }
      name[n++] = static_cast<char>(d);
      d = PreprocessorRawChar(s);
    }
    name[n] = 0;
    if (d != schluss) {
      PreprocessorError(s, 5);
      PreprocessorUeberspringeZeile(s, d);
      return PP_OK;
    }
    // The rest of the line is read before the file, so the line count stays right.
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
  } else {
    // A computed name: the line is macro-expanded first.
    PreprocessorUnget(s, c);
    int ergebnis = PreprocessorExpandLine(s, name, PP_PUFFER, false);
    if (ergebnis != PP_OK) return ergebnis;
    char* p = name;
    while (*p == ' ') ++p;
    if (*p != '<' && *p != '"') {
      PreprocessorError(s, 5);
      return PP_OK;
    }
    schluss = *p == '<' ? '>' : '"';
    char* ende = std::strchr(p + 1, schluss);
    if (!ende) {
      PreprocessorError(s, 5);
      return PP_OK;
    }
    PreprocessorUeberspringeZeile(s, PreprocessorGetChar(s));
    n = static_cast<size_t>(ende - p - 1);
    std::memmove(name, p + 1, n);
    name[n] = 0;
  }
  while (n > 0 && PPIstLeer(static_cast<unsigned char>(name[n - 1]))) name[--n] = 0;
  char kopie[PP_PUFFER];
  std::memcpy(kopie, name, n + 1);
  int ergebnis = PreprocessorOpenInclude(s, kopie, schluss == '"');
  if (ergebnis == PP_NICHT_GEFUNDEN || ergebnis == PP_NICHT_GEOEFFNET) {
    if (s->mWarneFehlendesInclude) {
      // Reported for the directive's line, which has been read already.
      int danach = s->mZeile;
      s->mZeile = zeile;
      PreprocessorError(s, 48, kopie);
      s->mZeile = danach;
    }
    return PP_OK;
  }
  return ergebnis;
}

void PreprocessorWaechterZeile(PreprocessorState* s) {
  PreprocessorInput* d = WaechterDatei(s);
  if (d && s->mBedingungTiefe == d->mWaechterTiefe) d->mWaechterPhase = -1;
}

void PreprocessorWaechterDirektive(PreprocessorState* s, PreprocessorInput* datei,
                                   const char* name, int tiefeVorher) {
  // An #include has made its file the current one by now: the directive belongs to the file
  // it was read from.
  PreprocessorInput* d = WaechterDatei(s);
  if (!d || d != datei) return;
  const int basis = d->mWaechterTiefe;
  d->mWaechterSchachtelung = std::max(d->mWaechterSchachtelung, s->mBedingungTiefe - basis);
  if (d->mWaechterPhase == 1 && tiefeVorher > basis) {
    if (tiefeVorher == basis + 1) {
      if (std::strcmp(name, "endif") == 0) d->mWaechterPhase = 2;
      else if (std::strcmp(name, "else") == 0 || std::strcmp(name, "elif") == 0) d->mWaechterPhase = -1;
    }
    return;
  }
  // Only a first #ifndef whose macro is defined, inside an active branch, starts a guard.
  if (d->mWaechterPhase == 0 && std::strcmp(name, "ifndef") == 0 &&
      s->mBedingungTiefe == basis + 1 && !s->mAusgabe && (s->mBedingung[basis + 1] & 1)) {
    d->mWaechterPhase = 1;
    d->mWaechterMakro = strdup(s->mToken);
    if (!d->mWaechterMakro) d->mWaechterPhase = -1;
    return;
  }
  d->mWaechterPhase = -1;
}

void PreprocessorWaechterAmEnde(PreprocessorState* s, PreprocessorInput* datei) {
  bool bewacht = datei->mWaechterPhase == 2 && s->mMeldungen == datei->mWaechterMeldungen &&
                 !s->mKommentareBehalten && s->mBedingungTiefe == datei->mWaechterTiefe &&
                 PreprocessorFind(s, datei->mWaechterMakro) && !Bewacht(s, datei->mName);
  if (bewacht) {
    auto* w = static_cast<PreprocessorWaechter*>(std::malloc(sizeof(PreprocessorWaechter)));
    char* pfad = strdup(datei->mName);
    if (w && pfad) {
      *w = {s->mWaechter, datei->mWaechterMakro, pfad, datei->mWaechterSchachtelung};
      s->mWaechter = w;
      datei->mWaechterMakro = nullptr;  // now the list's
    } else {
      std::free(w);
      std::free(pfad);
    }
  }
  std::free(datei->mWaechterMakro);
  datei->mWaechterMakro = nullptr;
}

void PreprocessorFreeWaechter(PreprocessorState* s) {
  while (PreprocessorWaechter* w = s->mWaechter) {
    s->mWaechter = w->mNaechster;
    std::free(w->mMakro);
    std::free(w->mPfad);
    std::free(w);
  }
}
