#pragma once
// The game's sprite sheet and font: the sprite batch with the sheet "grafik.png" (graphic 0,
// the GUI's rectangle, and graphic 1) and the font made from "calibrib.ttf", both from the data
// folder. Built once at start-up right after the models (LadeModelle), kept to process exit.
class Quarz_BlockGfx3D;
class Quarz_Font3D;

namespace Spiel {

// Null until LadeSpielGrafik ran; the font stays null when "calibrib.ttf" cannot be used, and
// then no game text is drawn.
extern Quarz_BlockGfx3D* gSpielGrafik;
extern Quarz_Font3D* gSpielSchrift;

// Loads the sheet into a new sprite batch (atlas 1024, 1000 instances), generates its mips
// once, and creates the font with drawing at once switched off: text stays queued in the font's
// batch until its owner outputs it.
void LadeSpielGrafik();

}  // namespace Spiel
