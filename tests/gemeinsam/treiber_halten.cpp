// Linked into every test executable: no shared library is ever unmapped while a test runs.
//
// When a test closes its display, the GL library unloads the OpenGL driver with dlclose. Memory
// the driver allocated once and still points to from its own data then looks leaked to the
// exit-time leak scan (its roots are gone), and the scan walks frames that point into unmapped
// code, so no suppression can name them. Whether the driver makes such an allocation depends on
// the CPU it runs on. Keeping every library mapped until the process ends removes the cause on
// every machine, whichever fixture opened the context.
//
// This definition takes the place of the C library's dlclose for the whole process (the
// executable's symbols come first). It marks the library "never unload" and then hands the
// call on, so reference counts stay balanced.
#include <dlfcn.h>
#include <link.h>

// The C library declares the handle non-null; a caller may still pass null.
#pragma GCC diagnostic ignored "-Wnonnull-compare"

extern "C" int dlclose(void* handle) {
  using DlcloseFn = int (*)(void*);
  static DlcloseFn echt = reinterpret_cast<DlcloseFn>(dlsym(RTLD_NEXT, "dlclose"));
  link_map* karte = nullptr;
  if (handle && dlinfo(handle, RTLD_DI_LINKMAP, &karte) == 0 && karte && karte->l_name &&
      karte->l_name[0]) {
    // RTLD_NOLOAD: only flags the library that is already there; the extra reference it takes
    // is never returned, which is what keeps the mapping.
    dlopen(karte->l_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  }
  return echt ? echt(handle) : 0;
}
