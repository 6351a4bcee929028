#include "plattform/klang/intern/klang_alsa.h"

#include <alsa/asoundlib.h>

#include <cstdarg>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace Klang::Intern {

namespace {

// ALSA's own chatter becomes diagnostic lines of ours instead of going to standard error.
void AlsaMeldung(const char* datei, int zeile, const char* funktion, int fehler, const char* format,
                 ...) {
  char text[512];
  va_list argumente;
  va_start(argumente, format);
  std::vsnprintf(text, sizeof(text), format, argumente);
  va_end(argumente);
  char ganz[768];
  std::snprintf(ganz, sizeof(ganz), "ALSA %s:%d %s(): %s%s%s", datei ? datei : "?", zeile,
                funktion ? funktion : "?", text, fehler ? ": " : "",
                fehler ? snd_strerror(fehler) : "");
  Melde(ganz);
}

struct Treiber {
  int karte;
  int geraet;
  std::string name;  // "card: device"
};

class AlsaSystem final : public System {
public:
  AlsaSystem() { snd_lib_error_set_handler(&AlsaMeldung); }

  Ergebnis getVersion(uint32_t* version) override {
    *version = kVersion;
    return OK;
  }

  Ergebnis getNumDrivers(int* anzahl) override {
    *anzahl = 0;
    if (!mAufgezaehlt) {
      const Ergebnis e = Zaehle();
      if (e != OK) return e;
      mAufgezaehlt = true;
    }
    *anzahl = static_cast<int>(mTreiber.size());
    return OK;
  }

  Ergebnis getDriverInfo(int treiber, char* name, int laenge) override {
    if (!Gueltig(treiber) || name == nullptr) return UNGUELTIGER_PARAMETER;
    KopiereUtf8(mTreiber[static_cast<size_t>(treiber)].name, name, laenge);
    return OK;
  }

  Ergebnis getDriverCaps(int treiber, uint32_t* faehigkeiten, int* rate,
                         int* lautsprecher) override {
    if (!Gueltig(treiber)) return UNGUELTIGER_PARAMETER;
    const Treiber& t = mTreiber[static_cast<size_t>(treiber)];
    char geraet[32];
    std::snprintf(geraet, sizeof(geraet), "hw:%d,%d", t.karte, t.geraet);
    // Non-blocking: a device another program holds answers "busy" at once.
    snd_pcm_t* pcm = nullptr;
    int fehler = snd_pcm_open(&pcm, geraet, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (fehler < 0) return AusFehlerNummer(fehler);
    snd_pcm_hw_params_t* parameter;
    snd_pcm_hw_params_alloca(&parameter);
    fehler = snd_pcm_hw_params_any(pcm, parameter);
    if (fehler < 0) {
      snd_pcm_close(pcm);
      return AusFehlerNummer(fehler);
    }
    unsigned kanaele = 2;
    snd_pcm_hw_params_get_channels_max(parameter, &kanaele);
    uint32_t f = HARDWARE;
    if (kanaele > 2) f |= MEHRKANAL;
    if (snd_pcm_hw_params_test_format(pcm, parameter, SND_PCM_FORMAT_FLOAT_LE) == 0)
      f |= FLIESSKOMMA;
    unsigned r = 0;
    int richtung = 0;
    if (snd_pcm_hw_params_test_rate(pcm, parameter, 48000, 0) == 0) r = 48000;
    else if (snd_pcm_hw_params_test_rate(pcm, parameter, 44100, 0) == 0) r = 44100;
    else snd_pcm_hw_params_get_rate_max(parameter, &r, &richtung);
    snd_pcm_close(pcm);
    if (faehigkeiten) *faehigkeiten = f;
    if (rate) *rate = static_cast<int>(r);
    if (lautsprecher)
      *lautsprecher = kanaele >= 8 ? SURROUND_7_1
                      : kanaele >= 6 ? SURROUND_5_1
                      : kanaele >= 4 ? QUAD
                      : kanaele >= 2 ? STEREO
                                     : MONO;
    return OK;
  }

  Ergebnis setOutput(int ausgabe) override {
    // Silent output needs no device; the game never plays a sound.
    mAusgabe = ausgabe;
    return OK;
  }

  Ergebnis release() override {
    snd_lib_error_set_handler(nullptr);
    delete this;
    return OK;
  }

private:
  bool Gueltig(int treiber) const {
    return treiber >= 0 && static_cast<size_t>(treiber) < mTreiber.size();
  }

  // The playback devices of the hardware cards (not the configured virtual devices).
  Ergebnis Zaehle() {
    snd_ctl_card_info_t* karteInfo;
    snd_ctl_card_info_alloca(&karteInfo);
    snd_pcm_info_t* info;
    snd_pcm_info_alloca(&info);
    int karte = -1;
    for (;;) {
      const int fehler = snd_card_next(&karte);
      if (fehler < 0) {
        mTreiber.clear();  // a later attempt starts over
        return AusFehlerNummer(fehler);
      }
      if (karte < 0) break;
      char name[32];
      std::snprintf(name, sizeof(name), "hw:%d", karte);
      snd_ctl_t* steuerung = nullptr;
      if (snd_ctl_open(&steuerung, name, 0) < 0) continue;
      std::string kartenName = name;
      if (snd_ctl_card_info(steuerung, karteInfo) == 0)
        kartenName = snd_ctl_card_info_get_name(karteInfo);
      int geraet = -1;
      while (snd_ctl_pcm_next_device(steuerung, &geraet) == 0 && geraet >= 0) {
        snd_pcm_info_set_device(info, static_cast<unsigned>(geraet));
        snd_pcm_info_set_subdevice(info, 0);
        snd_pcm_info_set_stream(info, SND_PCM_STREAM_PLAYBACK);
        if (snd_ctl_pcm_info(steuerung, info) < 0) continue;  // capture only
        mTreiber.push_back({karte, geraet, kartenName + ": " + snd_pcm_info_get_name(info)});
      }
      snd_ctl_close(steuerung);
    }
    return OK;
  }

  std::vector<Treiber> mTreiber;
  bool mAufgezaehlt = false;
  int mAusgabe = AUSGABE_AUTOMATISCH;
};

}  // namespace

Ergebnis ErstelleAlsa(System** system) {
  *system = new (std::nothrow) AlsaSystem;
  return *system ? OK : KEIN_SPEICHER;
}

}  // namespace Klang::Intern
