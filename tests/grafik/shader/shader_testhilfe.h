#pragma once
// The shader tests use the shared screen fixture; their shader files lie beside them.
#include <string>

#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/textkodierung.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

using ShaderGeraetTest = BildschirmTest;

// The source folder of the test shader files.
inline std::wstring TestDaten(const char* datei) {
  return WandleUtf8NachUtf32(std::string(WEILERBAU_QUELLEN) + "/tests/grafik/shader/daten/" + datei);
}
