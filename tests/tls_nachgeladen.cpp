// Puts the thread-local block of a library loaded at run time 16 bytes past a page boundary and
// ends: run through tools/testhuelle, the leak check at exit must finish on such a block.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::uintptr_t kSeite = 4096, kVersatz = 16;
constexpr std::size_t kBlock = 3 * sizeof(void*);  // the library's thread-local block
constexpr int kHoechstens = 4096;

// Referenced to the end, so the padding is no leak.
void* halde[kHoechstens];

std::uintptr_t Adresse(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// Allocates blocks of the library's size until, at the allocator's steady stride, the next one
// lands kVersatz bytes past a page boundary.
bool Polstere() {
  halde[0] = std::malloc(kBlock);
  halde[1] = std::malloc(kBlock);
  for (int i = 2; i < kHoechstens; ++i) {
    halde[i] = std::malloc(kBlock);
    const std::uintptr_t schritt = Adresse(halde[i]) - Adresse(halde[i - 1]);
    if (schritt == Adresse(halde[i - 1]) - Adresse(halde[i - 2]) &&
        (Adresse(halde[i]) + schritt) % kSeite == kVersatz)
      return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  void* bibliothek = argc > 1 ? dlopen(argv[1], RTLD_NOW) : nullptr;
  auto* werte = bibliothek ? reinterpret_cast<void** (*)()>(dlsym(bibliothek, "TlsWerte")) : nullptr;
  if (!werte || !Polstere()) {
    std::fprintf(stderr, "tls_nachgeladen: keine Bibliothek oder kein passender Block\n");
    return 1;
  }
  // The first access allocates the block; a case that misses the boundary would test nothing.
  if (Adresse(werte()) % kSeite != kVersatz) {
    std::fprintf(stderr, "tls_nachgeladen: der Block liegt bei %p\n", static_cast<void*>(werte()));
    return 1;
  }
  return 0;
}
