#pragma once
// Draws a batch's queue as Quarz_BlockGfx3D::Ausgeben does, but samples the atlas trilinearly:
// the software rasteriser's anisotropic filter blurs even at 1:1, which a comparison texel for
// texel cannot allow. Callers that draw in several batches bind in between the same way.
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/grafik/textur/quarz_sampler.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"

// `sampler` is made on first use; the caller frees it.
inline void ZeichneTrilinear(Quarz_ZeichenKontext* kontext, Quarz_BlockGfx3D& batch,
                             Quarz_Sampler*& sampler) {
  batch.BereiteAusgabeVor();
  if (!sampler) {
    Quarz_SamplerBeschr beschr;
    beschr.mFilter = 1 | 1 << 2 | 1 << 4;
    beschr.mAdresse = 0x15;
    sampler = kontext->ErzeugeSampler(beschr);
  }
  kontext->SetTextur(kontext->mProgramm->GetSamplerIndex("Textur"), sampler, batch.mTextur);
  batch.ZeichneInstanzen();
}
