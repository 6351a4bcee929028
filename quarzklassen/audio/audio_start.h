#pragma once
// The game's audio object: constructed during static initialisation (after the crash handler),
// created by the program right after "Log-Start" with gAudio.Erstelle(), shut down at exit.
#include "quarzklassen/audio/quarz_audio.h"

extern Quarz_Audio gAudio;
