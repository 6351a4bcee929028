#pragma once
// The base of our Direct3D 9 stand-in: the plain types, the result codes and the reference
// counting that every object of the layer (and the compiler's buffers) share.
#include <atomic>
#include <cstdint>

// Plain types with the names the graphics code uses.
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t INT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int BOOL;
typedef float FLOAT;
typedef int32_t HRESULT;
typedef void* HANDLE;
// A window handle of this platform is the GLFWwindow*.
typedef void* HWND;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)

// Result codes. Failures are negative; the numbers are our own.
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT D3D_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT D3DERR_DEVICELOST = static_cast<HRESULT>(0x88760001u);
constexpr HRESULT D3DERR_DEVICENOTRESET = static_cast<HRESULT>(0x88760002u);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = static_cast<HRESULT>(0x88760003u);
constexpr HRESULT D3DERR_INVALIDCALL = static_cast<HRESULT>(0x88760004u);
constexpr HRESULT D3DERR_NOTAVAILABLE = static_cast<HRESULT>(0x88760005u);
constexpr HRESULT D3DERR_WASSTILLDRAWING = static_cast<HRESULT>(0x88760006u);

// Every object of the layer is reference counted: AddRef and Release return the new count,
// and the object destroys itself when the count reaches zero.
struct IUnknown {
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  virtual ~IUnknown() = default;
};

namespace Plattform {

// Implements the counting of an interface derived from IUnknown. Objects start with a count
// of one, which belongs to whoever created them.
template <class Schnittstelle>
class TReferenzGezaehlt : public Schnittstelle {
 public:
  ULONG AddRef() override { return ++mZaehler; }
  ULONG Release() override {
    const ULONG rest = --mZaehler;
    if (rest == 0) delete this;
    return rest;
  }
  ULONG Referenzen() const { return mZaehler; }

 protected:
  ~TReferenzGezaehlt() override = default;

 private:
  std::atomic<ULONG> mZaehler{1};
};

// Releases an interface pointer and clears it; null is fine.
template <class T>
inline void SicherFreigeben(T*& zeiger) {
  if (zeiger) {
    zeiger->Release();
    zeiger = nullptr;
  }
}

}  // namespace Plattform
