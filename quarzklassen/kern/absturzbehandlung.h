#pragma once
// The crash handler: when a thread dies of a fault, an abort or an exception nobody caught, it
// writes the crash report (exception name, fault address with module and segment, call stack)
// into the log and the minidump "MiniDump.dmp" into the user-data folder, then lets the
// handler installed before it and the default action end the process.
#include <cstdint>

namespace Plattform {
struct AbsturzFall;
}

// Installs the handler (once; the program calls it during static initialisation, right after
// the system object exists) and puts the previous one back at process exit.
void InstalliereAbsturzbehandlung();
void EntferneAbsturzbehandlung();

// Writes the report for one crash; called by the platform layer on the crashed thread.
void Absturzbehandlung(const Plattform::AbsturzFall& fall);

// The name of an exception code, or null when the table has none.
const char* AusnahmeName(uint32_t code);

// One report line with the log's line prefix to the log file (when the log writes one),
// standard output and standard error, without allocation. A missing final newline is added.
void AbsturzZeile(const char* text);
