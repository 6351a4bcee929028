#pragma once
// The base of every GPU resource. The drawing context creates, registers and frees resources;
// the base carries the allocation id, the registry slot, the last use on the engine timer and
// the state, and the six operations through which the context uses, resets and evicts them.
#include <cstdint>

// Usage flags of buffers and textures (the low byte is left to each class).
enum : uint32_t {
  FLAG_DYNAMISCH = 0x100,         // content may be rewritten; writes discard the old content
  FLAG_FLUECHTIG = 0x200,         // no copy in system memory: the content is lost on release
  FLAG_RENDERZIEL = 0x800,        // the texture is a render target
  FLAG_MANUELLE_MIPMAPS = 0x1000  // mip levels come from the caller
};

// Initial content handed to buffer and texture factories. With mUebergabe 1 the resource
// takes the memory over; such memory must come from std::malloc, since it is freed with
// std::free. A resource that takes it clears mDaten.
struct TInitialInhalt {
  void* mDaten = nullptr;
  uint64_t mBytes = 0;
  uint32_t mUebergabe = 0;
};

class Quarz_BasisObjekt {
public:
  enum Zustand : uint32_t { IM_AUFBAU = 0, VORHANDEN = 1, FREIGEGEBEN = 2 };

  Quarz_BasisObjekt();
  virtual ~Quarz_BasisObjekt();
  Quarz_BasisObjekt(const Quarz_BasisObjekt&) = delete;
  Quarz_BasisObjekt& operator=(const Quarz_BasisObjekt&) = delete;

  // Stamps the last use; resources whose device object was released create it again.
  virtual void Benutzen();
  // True for resources that occupy video memory (buffers, depth buffers, textures, targets).
  virtual bool IstVideoRAMResource() const = 0;
  // Before a device reset: release the device object.
  virtual void VorZuruecksetzen() = 0;
  // After a device reset.
  virtual void NachZuruecksetzen() = 0;
  // Evict: release the device object; it comes back at the next use.
  virtual void Rauswerfen() = 0;

  uint64_t mAllocId = 0;        // process-wide, one per resource
  uint64_t mSlot = 0;           // slot in the drawing context's registry
  int64_t mLetzteNutzung = 0;   // engine-timer ticks
  uint32_t mZustand = IM_AUFBAU;

  // Id the next resource gets.
  static uint64_t sNaechsteAllocId;
};

// Base of the resources that hold no video memory (shaders, programs, layouts, states): they
// exist from construction on and have nothing to do around a reset or an eviction.
class Quarz_NichtVideoObjekt : public Quarz_BasisObjekt {
public:
  Quarz_NichtVideoObjekt() { mZustand = VORHANDEN; }
  bool IstVideoRAMResource() const override { return false; }
  void VorZuruecksetzen() override {}
  void NachZuruecksetzen() override {}
  void Rauswerfen() override {}
};
