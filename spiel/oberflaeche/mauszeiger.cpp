#include "spiel/oberflaeche/mauszeiger.h"

#include "input/mouse.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"

namespace Spiel {

void MausPosition(const ORVIS::Mouse* maus, float& x, float& y)
{
    x = maus ? maus->GetMouseX() : 0.0f;
    y = maus ? maus->GetMouseY() : 0.0f;
    int fensterBreite = 0, fensterHoehe = 0, pufferBreite = 0, pufferHoehe = 0;
    Quarz_Screen3D::FensterMasse(fensterBreite, fensterHoehe, pufferBreite, pufferHoehe);
    FensterZuPuffer(x, y, fensterBreite, fensterHoehe, pufferBreite, pufferHoehe);
}

void FensterZuPuffer(float& x, float& y, int fensterBreite, int fensterHoehe, int pufferBreite, int pufferHoehe)
{
    if (fensterBreite <= 0 || fensterHoehe <= 0 || pufferBreite <= 0 || pufferHoehe <= 0)
        return;
    x *= static_cast<float>(pufferBreite) / static_cast<float>(fensterBreite);
    y *= static_cast<float>(pufferHoehe) / static_cast<float>(fensterHoehe);
}

}  // namespace Spiel
