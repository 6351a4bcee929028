#pragma once
// Reads /proc/self/maps line by line with open/read into a fixed buffer: no allocation, so it
// may run inside a signal handler.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace Plattform::Intern {

struct MapsZeile {
  uint64_t von = 0;
  uint64_t bis = 0;
  uint64_t versatz = 0;
  char rechte[5] = {};
  const char* pfad = "";  // empty for anonymous mappings
};

// write(2) straight to the kernel: copying memory of any state (unmapped, or a stack's
// poisoned red zones under the address sanitizer) must not pass through a checking wrapper.
ssize_t RoherWrite(int fd, const void* daten, size_t laenge);

// Parses "von-bis rechte versatz geraet inode pfad"; false for a malformed line.
bool LeseMapsZeile(char* zeile, MapsZeile& z);

// Calls f(zeile) for each mapping until it returns false. False when the file cannot be read.
template <typename F>
bool FuerJedeMapsZeile(F&& f) {
  const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char puffer[8192];  // one line never comes near this
  size_t gefuellt = 0;
  bool weiter = true;
  while (weiter) {
    const ssize_t n = ::read(fd, puffer + gefuellt, sizeof(puffer) - 1 - gefuellt);
    if (n <= 0) break;
    gefuellt += static_cast<size_t>(n);
    size_t start = 0;
    for (size_t i = 0; i < gefuellt && weiter; ++i) {
      if (puffer[i] != '\n') continue;
      puffer[i] = '\0';
      MapsZeile z;
      if (LeseMapsZeile(puffer + start, z)) weiter = f(z);
      start = i + 1;
    }
    std::memmove(puffer, puffer + start, gefuellt - start);
    gefuellt -= start;
    if (gefuellt == sizeof(puffer) - 1) gefuellt = 0;  // an absurd line: skip it
  }
  ::close(fd);
  return true;
}

}  // namespace Plattform::Intern
