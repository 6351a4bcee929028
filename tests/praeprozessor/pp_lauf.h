// Runs the preprocessor on text in memory: main input in pieces of a chosen size, include files
// from a name -> text table, output and messages collected.
#pragma once

#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "preprocessor/preprocessor.h"

struct PPLauf {
  std::string eingabe;
  size_t stueck = 511;                       // characters per input callback call
  std::map<std::string, std::string> dateien;  // include files by full path
  std::vector<PreprocessorTag> tags;         // added after the standard tags
  bool zeilenAngaben = false;
  int oeffnungenJeName = INT_MAX;            // opens of one name the callback grants; later ones fail
  size_t ausgabeGrenze = SIZE_MAX;           // output characters after which the run is broken off

  // Results
  std::string ausgabe;
  std::string meldungen;
  std::vector<std::string> geoeffnet;        // every name the open callback was asked for
  std::vector<std::string> gelesen;          // every opened file that was read from
  int offen = 0;                             // opened files not closed
  int ergebnis = -1;                         // -2: broken off at the output limit

  int Starte();
};

// Runs text with extra tags and include files; returns the finished run.
PPLauf PPLaufe(const std::string& text, std::vector<PreprocessorTag> tags = {},
               std::map<std::string, std::string> dateien = {});

// One case of a table: what a run of the text must give.
struct PPFall {
  const char* name;
  std::string text;
  std::string ausgabe;
  const char* meldung;  // a message that must appear ("" = no message at all, nullptr = not checked)
  std::map<std::string, std::string> dateien = {};
};
void PPPruefe(const PPFall& f, std::vector<PreprocessorTag> tags = {});

// Tokens of C text, white space dropped (for comparing with another preprocessor's output).
std::vector<std::string> PPTokens(const std::string& text);

// Runs GCC's cpp as a reference on a file; returns its output.
std::string PPGccCpp(const std::string& pfad, const std::string& optionen = "");
std::string PPLiesDatei(const std::string& pfad);
