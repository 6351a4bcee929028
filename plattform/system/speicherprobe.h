#pragma once
// Test seam for soak runs: with WEILERBAU_SPEICHERPROBE set to a number of seconds, the game
// writes a line on standard output every that many seconds of real time:
//   "Speicherprobe: <seconds> s, lebend <bytes> B, resident <kB> kB"
// "lebend" is what the allocator has handed out and not got back (all arenas and mapped
// blocks), so memory that glibc keeps after a free does not count; "resident" is the
// process's resident set. Read from the environment once; without the variable nothing is
// sampled.

namespace Plattform {

// Called once a frame (from NaechstesBild); samples when the interval has passed.
void Speicherprobe();

}  // namespace Plattform
