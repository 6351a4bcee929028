#pragma once
// The abstract console display: the log shows its lines through ZeigeZeile, and typed lines
// are executed with FuehreAus. Constructing a display makes it the log's display.
#include <string>

class Quarz_Log;

class Quarz_KonsoleBasisAnzeige {
public:
  Quarz_KonsoleBasisAnzeige();
  // Clears the log's display, but only when it still points to this display.
  virtual ~Quarz_KonsoleBasisAnzeige();
  Quarz_KonsoleBasisAnzeige(const Quarz_KonsoleBasisAnzeige&) = delete;
  Quarz_KonsoleBasisAnzeige& operator=(const Quarz_KonsoleBasisAnzeige&) = delete;

  // One finished log line (UTF-8, ending in a newline).
  virtual void ZeigeZeile(const char* zeile) = 0;

  // Executes one typed line: echo ">line", then the command named by its first word.
  static void FuehreAus(const std::string& zeile);

protected:
  Quarz_Log* mLog;
};
