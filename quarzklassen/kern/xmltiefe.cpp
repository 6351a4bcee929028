#include "quarzklassen/kern/xmltiefe.h"

#include <algorithm>
#include <cstring>

namespace
{
const char* Ueberspringe(const char* p, const char* ende)
{
    const char* gefunden = std::strstr(p, ende);
    return gefunden ? gefunden + std::strlen(ende) : p + std::strlen(p);
}

} // namespace

int XmlTiefe(const char* p)
{
    int tiefe = 0;
    int hoechste = 0;
    while (*p)
    {
        if (*p != '<')
        {
            ++p;
            continue;
        }
        if (std::strncmp(p, "<!--", 4) == 0)
            p = Ueberspringe(p + 4, "-->");
        else if (std::strncmp(p, "<![CDATA[", 9) == 0)
            p = Ueberspringe(p + 9, "]]>");
        else if (p[1] == '?' || p[1] == '!')
            p = Ueberspringe(p + 2, ">");
        else if (p[1] == '/')
        {
            --tiefe;
            p = Ueberspringe(p + 2, ">");
        }
        else
        {
            ++p;
            char zitat = 0;
            char letztes = 0;
            while (*p && (zitat || *p != '>'))
            {
                if (zitat && *p == zitat)
                    zitat = 0;
                else if (!zitat && (*p == '"' || *p == '\''))
                    zitat = *p;
                letztes = *p++;
            }
            if (*p)
                ++p;
            if (letztes != '/')
                hoechste = std::max(hoechste, ++tiefe);
        }
    }
    return hoechste;
}

