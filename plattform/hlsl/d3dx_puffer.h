#pragma once
// ID3DXBuffer: a reference-counted block of bytes; the compiler hands out its compiled code and
// its messages (NUL-terminated text) in such buffers.
#include <cstddef>
#include <string>
#include <vector>

#include "plattform/d3d9/d3d9_basis.h"

struct ID3DXBuffer : IUnknown {
  virtual void* GetBufferPointer() = 0;
  virtual DWORD GetBufferSize() = 0;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

namespace Plattform {

class TD3DXPuffer final : public TReferenzGezaehlt<ID3DXBuffer> {
 public:
  explicit TD3DXPuffer(std::vector<uint8_t> daten) : mDaten(std::move(daten)) {}
  void* GetBufferPointer() override { return mDaten.empty() ? nullptr : mDaten.data(); }
  DWORD GetBufferSize() override { return static_cast<DWORD>(mDaten.size()); }

  // A buffer holding the text and its terminating NUL.
  static TD3DXPuffer* AusText(const std::string& text);
  static TD3DXPuffer* AusBytes(const void* daten, size_t bytes);

 private:
  std::vector<uint8_t> mDaten;
};

}  // namespace Plattform
