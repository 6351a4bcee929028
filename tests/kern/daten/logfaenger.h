#pragma once
// Test helper: runs the log for the life of the object and collects every line it shows,
// without the time and thread prefix and without the newline.
#include <string>
#include <vector>

#include "quarzklassen/kern/quarz_variable.h"
#include "tests/kern/dienste/hilfen.h"

class LogFaenger : public testhilfe::Sammler
{
public:
    // With t_debug as given (debug lines shown or not) while it lives.
    explicit LogFaenger(bool debug = false) : mDebugVorher(t_debug.mBool.load())
    {
        t_debug.mBool.store(debug);
        gLog.Starte(L".", L"spiel.log");
        zeilen.clear(); // "Log-Start"
    }
    ~LogFaenger() override
    {
        gLog.Beende();
        t_debug.mBool.store(mDebugVorher);
    }

    std::vector<std::string> Zeilen() const { return Texte(); }
    void Leere() { zeilen.clear(); }

private:
    bool mDebugVorher;
};
