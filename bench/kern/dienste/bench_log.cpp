// One log line without file output: formatting, prefix and delivery to standard output (sent
// to /dev/null), on the owner thread; and the path of a line written on another thread.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/quarz_variable.h"

static void BM_LogZeile(benchmark::State& state) {
  for (auto _ : state) gLog.Schreibe("Objekt %d an (%f, %f) erstellt", 42, 1.5, 2.25);
}
BENCHMARK(BM_LogZeile);

static void BM_LogZeileOhneArgumente(benchmark::State& state) {
  for (auto _ : state) gLog.Schreibe("Screen wird geschlossen.");
}
BENCHMARK(BM_LogZeileOhneArgumente);

// A line queued by a non-owner thread and written out by the owner's drain (per line).
static void BM_LogZeileAusAnderemThread(benchmark::State& state) {
  for (auto _ : state) {
    gLog.Schreibe("Zeile %d", 7);
    if (state.thread_index() == 0) gLog.LeereWarteschlange();
  }
}
BENCHMARK(BM_LogZeileAusAnderemThread)->Threads(2);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // The log writes every line to standard output: send that to /dev/null and report on stderr.
  std::fflush(stdout);
  const int nichts = open("/dev/null", O_WRONLY);
  if (nichts >= 0) dup2(nichts, STDOUT_FILENO);
  t_logfile.SetzeBool(false);
  gTimer.Starte();
  gLog.Starte(L".", L"spiel.log");
  benchmark::ConsoleReporter bericht;
  bericht.SetOutputStream(&std::cerr);
  bericht.SetErrorStream(&std::cerr);
  benchmark::RunSpecifiedBenchmarks(&bericht);
  gLog.Beende();
  benchmark::Shutdown();
  return 0;
}
