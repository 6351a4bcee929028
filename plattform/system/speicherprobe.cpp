#include "plattform/system/speicherprobe.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#if defined(__SANITIZE_ADDRESS__)
#define WEILERBAU_EIGENER_ALLOKATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WEILERBAU_EIGENER_ALLOKATOR 1
#endif
#endif
#ifdef WEILERBAU_EIGENER_ALLOKATOR
// The sanitizer runtime's allocator statistics (its header comes with clang only).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace Plattform {

namespace {

double Sekunden() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The interval in seconds, 0 when the seam is off or its value is not a positive number.
double Abstand() {
  const char* text = std::getenv("WEILERBAU_SPEICHERPROBE");
  if (!text || !*text) return 0.0;
  char* ende = nullptr;
  const double wert = std::strtod(text, &ende);
  return (*ende == 0 && wert > 0.0 && wert < 1e6) ? wert : 0.0;
}

long ResidentKilobytes() {
  long seiten = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &seiten, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Bytes handed out and not freed. Under AddressSanitizer its allocator serves malloc, and
// glibc's arenas would show nothing of it.
size_t LebendeBytes() {
#ifdef WEILERBAU_EIGENER_ALLOKATOR
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

}  // namespace

void Speicherprobe() {
  static const double abstand = Abstand();
  if (abstand <= 0.0) return;
  static const double start = Sekunden();
  static double naechste = start;
  const double jetzt = Sekunden();
  if (jetzt < naechste) return;
  naechste += abstand * (1.0 + static_cast<double>(static_cast<long>((jetzt - naechste) / abstand)));
  std::printf("Speicherprobe: %.0f s, lebend %zu B, resident %ld kB\n", jetzt - start,
              LebendeBytes(), ResidentKilobytes());
  std::fflush(stdout);
}

}  // namespace Plattform
