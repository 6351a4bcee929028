// Loaded at run time by tls_nachgeladen: a thread-local block of its own, three pointers long.
extern "C" void** TlsWerte() {
  static thread_local void* werte[3];
  return werte;
}
