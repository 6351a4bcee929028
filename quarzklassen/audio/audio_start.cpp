#include "quarzklassen/audio/audio_start.h"

Quarz_Audio gAudio;
