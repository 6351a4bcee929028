#pragma once
// A module's ELF headers as they lie in memory, read without faulting.
#include <elf.h>

#include <cstddef>
#include <cstdint>

namespace Plattform::Intern {

struct ElfBild {
  Elf64_Ehdr kopf{};
  Elf64_Phdr segmente[64]{};
  size_t anzahl = 0;
  uint64_t verschiebung = 0;  // load bias: runtime address minus the file's virtual address
};

// Reads the headers of the module whose ELF header is mapped at `basis`.
bool LeseElf(uint64_t basis, ElfBild& bild);
// The GNU build id (up to `max` bytes); 0 when the module has none.
size_t BuildId(const ElfBild& bild, uint8_t* id, size_t max);

}  // namespace Plattform::Intern
