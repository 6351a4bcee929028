#include "spiel/oberflaeche/mauszeiger.h"

#include "input/mouse.h"
#include "input/wininput.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"

namespace Spiel {

void MausPosition(const ORVIS::Mouse* maus, float& x, float& y)
{
    x = maus ? maus->GetMouseX() : 0.0f;
    y = maus ? maus->GetMouseY() : 0.0f;
    // The window the mouse reports in is the one its input system serves.
    auto* system = maus ? dynamic_cast<WinInput*>(maus->mOwner) : nullptr;
    if (!system)
        return;
    int fensterBreite = 0, fensterHoehe = 0;
    system->Layer().FensterGroesse(fensterBreite, fensterHoehe);
    const Quarz_Screen3D::Modus& puffer = Quarz_Screen3D::mModus;
    // A window without a size (iconified) or a screen without a mode gives no scale.
    if (fensterBreite <= 0 || fensterHoehe <= 0 || puffer.mBreite <= 0 || puffer.mHoehe <= 0)
        return;
    x = static_cast<float>(static_cast<double>(x) * static_cast<double>(puffer.mBreite) / fensterBreite);
    y = static_cast<float>(static_cast<double>(y) * static_cast<double>(puffer.mHoehe) / fensterHoehe);
}

}  // namespace Spiel
