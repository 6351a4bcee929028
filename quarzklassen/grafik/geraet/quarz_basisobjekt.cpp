#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"

#include "quarzklassen/kern/quarz_timer.h"

uint64_t Quarz_BasisObjekt::sNaechsteAllocId = 0;

Quarz_BasisObjekt::Quarz_BasisObjekt()
    : mAllocId(sNaechsteAllocId++), mLetzteNutzung(gTimer.mGesamt) {}

Quarz_BasisObjekt::~Quarz_BasisObjekt() = default;

void Quarz_BasisObjekt::Benutzen() { mLetzteNutzung = gTimer.mGesamt; }
