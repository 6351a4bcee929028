#include "quarzklassen/kern/quarz_stackwalker.h"

#include "quarzklassen/kern/absturzbehandlung.h"

void Quarz_StackWalker::Ausgabe(const char* text) {
  // As plain text: a percent sign in a symbol name is no format directive.
  AbsturzZeile(text);
}
