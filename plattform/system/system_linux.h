#pragma once
// Our layer over Linux for the engine core's system services: program path, per-user data
// folder, user name, debugger check, thread ids and the performance counter.
#include <cstdint>
#include <cstdio>
#include <string>

namespace Plattform {

// Performance counter: CLOCK_MONOTONIC in nanoseconds, so the frequency is 1e9 (exact in f32).
// Tests inject a counter source of their own; nullptr returns to the real clock.
using ZaehlerQuelle = int64_t (*)();
int64_t LeistungsZaehler();
int64_t LeistungsFrequenz();
void SetzeZaehlerQuelle(ZaehlerQuelle quelle);

// Full path of the running program (readlink of /proc/self/exe); false when unavailable.
bool ProgrammPfad(std::string& pfad);

// The per-user application-data folder: $XDG_DATA_HOME when absolute, else $HOME/.local/share,
// else the home folder of the password database plus .local/share. False when none is known.
bool AnwendungsDatenOrdner(std::string& pfad);

// Creates a folder with all missing parents, the new ones with mode 0700. Never throws.
// True when the folder exists afterwards.
bool ErstelleOrdner(const std::string& pfad);
bool OrdnerExistiert(const std::string& pfad);

// Writes the folder holding the file to disk (fsync), so that a rename or a new entry in it
// survives a power cut. False when the folder cannot be opened or synced.
bool SynchronisiereOrdnerVon(const std::string& dateiPfad);

// Writes an open file's data to disk (fsync). False when that fails.
bool SynchronisiereDatei(std::FILE* datei);

// The length of an open regular file; false for anything else (a folder opens too).
bool RegulaereDateiLaenge(std::FILE* datei, uint64_t& laenge);

// Name of the effective user: password database, else $USER, else empty.
std::string BenutzerName();

// True while a debugger (any tracer) is attached to this process.
bool DebuggerAngehaengt();
// Breaks into an attached debugger; does nothing without one.
void DebuggerAnhalten();

// Kernel id of the calling thread.
uint32_t ThreadId();

// SIGINT, SIGTERM and SIGHUP only note that the program should end (Ctrl+C in a terminal, a
// closing session); the main loop asks once a frame and ends the normal way.
void FangeBeendenSignale();
bool BeendenAngefordert();

// Test seams, read from the environment once. WEILERBAU_SEED: the seed of the map's random
// generator (a decimal number), instead of one taken from the clock. WEILERBAU_FESTER_TAKT
// (any value): the performance counter stands still and moves on by exactly 1/60 s at each
// NaechstesBild, so every frame advances the clocks by the same step and a run repeats itself.
// NaechstesBild also takes the soak runs' memory samples (speicherprobe.h).
bool FesterZufallsStart(uint32_t& start);
bool FesterTakt();
void NaechstesBild();

}  // namespace Plattform
