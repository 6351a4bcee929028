#pragma once
// Test helper: runs the log for the life of the object and collects every line it shows,
// without the time and thread prefix and without the newline.
#include <algorithm>
#include <string>
#include <vector>

#include "quarzklassen/quarz_konsolebasisanzeige.h"
#include "quarzklassen/quarz_log.h"
#include "quarzklassen/quarz_variable.h"

class LogFaenger : public Quarz_KonsoleBasisAnzeige
{
public:
    explicit LogFaenger(bool debug = false) : mDebugVorher(t_debug.mBool.load())
    {
        t_debug.mBool.store(debug);
        gLog.Starte(L".", L"spiel.log");
        mZeilen.clear(); // "Log-Start"
    }
    ~LogFaenger() override
    {
        gLog.Beende();
        t_debug.mBool.store(mDebugVorher);
    }

    void ZeigeZeile(const char* zeile) override
    {
        std::string text = zeile;
        const std::size_t prefix = text.find("): ");
        if (prefix != std::string::npos)
            text.erase(0, prefix + 3);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        mZeilen.push_back(text);
    }

    const std::vector<std::string>& Zeilen() const { return mZeilen; }
    bool Enthaelt(const std::string& zeile) const
    {
        return std::find(mZeilen.begin(), mZeilen.end(), zeile) != mZeilen.end();
    }
    void Leere() { mZeilen.clear(); }

private:
    bool mDebugVorher;
    std::vector<std::string> mZeilen;
};
