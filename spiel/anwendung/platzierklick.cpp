#include "spiel/anwendung/platzierklick.h"

namespace Spiel {

bool Platzierklick::Bild(bool gedrueckt, bool losgelassen, bool frei)
{
    // When both came in one frame the release was first: a press and release within a frame
    // reach the loop as a press in that frame and a release in the next.
    bool setzen = false;
    if (losgelassen)
    {
        setzen = mScharf && frei;
        mScharf = false;
    }
    if (gedrueckt)
        mScharf = frei;
    return setzen;
}

}  // namespace Spiel
