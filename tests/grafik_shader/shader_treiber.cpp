// The OpenGL driver is loaded and unloaded with the window. Leaks inside it are reported only
// at exit, when its module is gone and tests/lsan.supp can no longer match its name. Keeping
// the loaded driver modules in memory lets the suppressions see them.
#include <dlfcn.h>
#include <link.h>

#include <cstring>

#include "tests/grafik_shader/shader_testhilfe.h"

namespace {

int Behalte(struct dl_phdr_info* info, size_t, void*) {
  const char* name = info->dlpi_name;
  if (name && (std::strstr(name, "_dri.so") || std::strstr(name, "libgallium") ||
               std::strstr(name, "libLLVM")))
    dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}

}  // namespace

void BehalteGrafiktreiber() { dl_iterate_phdr(Behalte, nullptr); }
