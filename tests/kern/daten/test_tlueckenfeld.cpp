// Slot map: lowest free slot, hint, growth, iteration (also while the map changes), and a
// randomised comparison against std::set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
#include <vector>

#include "quarzklassen/kern/tlueckenfeld.h"

namespace
{
std::vector<uint64_t> Belegte(TLueckenFeld<uint64_t>& feld)
{
    std::vector<uint64_t> slots;
    for (auto it = feld.begin(); it != feld.end(); ++it)
        slots.push_back(it.Index());
    return slots;
}

struct alignas(32) Datensatz // like the world's render instances, with a stricter alignment
{
    uint64_t kennung;
    float werte[19];
};
} // namespace

TEST(TLueckenFeld, EinfuegenEntfernenUndWachstum)
{
    TLueckenFeld<uint64_t> feld;
    EXPECT_EQ(feld.Einfuegen(100), 0u); // the first insert grows the map to 64 slots
    EXPECT_EQ(feld.Kapazitaet(), 64u);
    for (uint64_t i = 1; i < 10; ++i)
        feld.Einfuegen(100 + i);
    feld.Entfernen(3);
    EXPECT_EQ(feld.Einfuegen(203), 3u);
    EXPECT_EQ(feld.Einfuegen(210), 10u);
    for (uint64_t i = 11; i < 64; ++i)
        feld.Einfuegen(100 + i);
    EXPECT_EQ(feld.Einfuegen(164), 64u); // the 65th insert doubles the map
    EXPECT_EQ(feld.Kapazitaet(), 128u);
    EXPECT_EQ(feld[3], 203u); // growth keeps every entry in its slot
    EXPECT_EQ(feld[63], 163u);

    feld.Entfernen(100000);  // outside the map: ignored
    feld.Vergroessern(10);   // the map never shrinks
    EXPECT_EQ(feld.Kapazitaet(), 128u);
    feld.Setze(1000, 7);     // beyond the map: it grows first
    EXPECT_EQ(feld.Kapazitaet(), 1024u);
    EXPECT_EQ(feld[1000], 7u);

    TLueckenFeld<uint64_t> ziel(std::move(feld));
    EXPECT_EQ(feld.Kapazitaet(), 0u);
    EXPECT_EQ(feld.Einfuegen(9), 0u); // the emptied source is usable again
    EXPECT_EQ(ziel[3], 203u);
}

// An entry of the map itself handed back in, just when the map has to grow (and frees the
// block the entry lies in): the new slot gets the value, not what the freed block holds.
TEST(TLueckenFeld, EigenerEintragBeimWachsen)
{
    for (const bool setzen : {false, true})
    {
        TLueckenFeld<uint64_t> feld;
        for (uint64_t i = 0; i < 64; ++i)
            feld.Einfuegen(1000 + i);
        const uint64_t slot = setzen ? 200 : 64;
        if (setzen)
            feld.Setze(slot, feld[5]);
        else
            EXPECT_EQ(feld.Einfuegen(feld[5]), slot);
        EXPECT_EQ(feld[slot], 1005u) << setzen;
    }
}

TEST(TLueckenFeld, IterationAuchWaehrendSichDasFeldAendert)
{
    TLueckenFeld<uint64_t> feld;
    for (uint64_t i = 0; i < 71; ++i)
        feld.Einfuegen(i);
    for (uint64_t i = 0; i < 71; ++i)
        if (i != 5 && i != 70)
            feld.Entfernen(i);
    EXPECT_EQ(Belegte(feld), (std::vector<uint64_t>{5, 70}));
    feld.Entfernen(5);
    feld.Entfernen(70);
    EXPECT_EQ(feld.begin(), feld.end());

    // Objects create and remove others while the world iterates them: every step must see
    // the map as it is then.
    for (uint64_t i = 0; i < 10; ++i)
        feld.Einfuegen(i);
    std::vector<uint64_t> gesehen;
    for (auto it = feld.begin(); it != feld.end(); ++it)
    {
        gesehen.push_back(it.Index());
        if (it.Index() == 2)
        {
            feld.Entfernen(4); // ahead in the same word: not visited
            feld.Entfernen(3);
            feld.Einfuegen(99); // takes 3 again: visited
        }
        if (it.Index() == 5)
        {
            feld.Vergroessern(1024); // moves the storage under the iterator
            EXPECT_EQ(*it, 5u);
            feld.Setze(700, 7); // a later word: visited
        }
    }
    EXPECT_EQ(gesehen, (std::vector<uint64_t>{0, 1, 2, 3, 5, 6, 7, 8, 9, 700}));
}

TEST(TLueckenFeld, DatensaetzeBleibenAusgerichtetUndUnversehrt)
{
    TLueckenFeld<Datensatz> feld;
    for (uint64_t i = 0; i < 300; ++i)
    {
        Datensatz d{};
        d.kennung = i;
        d.werte[18] = static_cast<float>(i);
        EXPECT_EQ(feld.Einfuegen(d), i);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(&feld[i]) % alignof(Datensatz), 0u);
    }
    for (uint64_t i = 0; i < 300; ++i)
        EXPECT_TRUE(feld[i].kennung == i && feld[i].werte[18] == static_cast<float>(i)) << i;
}

// About 10,000 random inserts, removals, stores to given slots and growths against std::set:
// each insert takes the lowest free slot, entries keep their values, iteration gives exactly
// the set, and nothing below the hint is free.
TEST(TLueckenFeld, ZufallsvergleichMitSet)
{
    std::mt19937_64 zufall(20261207);
    TLueckenFeld<uint64_t> feld;
    std::set<uint64_t> erwartet;
    std::vector<uint64_t> wert;
    for (int schritt = 0; schritt < 10000; ++schritt)
    {
        uint64_t niedrigsterFreier = 0;
        while (erwartet.count(niedrigsterFreier))
            ++niedrigsterFreier;
        const bool wachsen = (schritt / 1500) % 2 == 0; // phases of filling and of holes
        if (erwartet.empty() || zufall() % 100 < (wachsen ? 70u : 35u))
        {
            const uint64_t slot = feld.Einfuegen(static_cast<uint64_t>(schritt));
            ASSERT_EQ(slot, niedrigsterFreier) << "Schritt " << schritt;
            erwartet.insert(slot);
            wert.resize(std::max<std::size_t>(wert.size(), slot + 1));
            wert[slot] = static_cast<uint64_t>(schritt);
        }
        else if (zufall() % 100 < 10)
        {
            // A given slot: the lowest free one, or any, free or not, sometimes beyond the
            // map; or growth by one word.
            const uint64_t zahl = zufall();
            const uint64_t slot = zahl % 3 ? zahl % (feld.Kapazitaet() + 100) : niedrigsterFreier;
            if (zahl % 5 == 0)
                feld.Vergroessern(feld.Kapazitaet() + 1);
            else
            {
                feld.Setze(slot, static_cast<uint64_t>(schritt));
                erwartet.insert(slot);
                wert.resize(std::max<std::size_t>(wert.size(), slot + 1));
                wert[slot] = static_cast<uint64_t>(schritt);
            }
        }
        else
        {
            auto it = erwartet.begin();
            std::advance(it, static_cast<long>(zufall() % erwartet.size()));
            feld.Entfernen(*it);
            erwartet.erase(it);
        }
        if (schritt % 97 == 0 || schritt == 9999)
        {
            std::vector<uint64_t> gesehen;
            for (auto it = feld.begin(); it != feld.end(); ++it)
            {
                gesehen.push_back(it.Index());
                ASSERT_EQ(*it, wert[it.Index()]);
            }
            ASSERT_EQ(gesehen, std::vector<uint64_t>(erwartet.begin(), erwartet.end()));
            for (uint64_t s = 0; s < feld.Hinweis(); ++s)
                ASSERT_TRUE(feld.IstBelegt(s)) << "frei unter dem Hinweis: " << s;
        }
    }
}

// Maps whose free slots lie far above the hint, at sizes where the search for a free word
// needs one to three levels above the occupancy words: every insert still takes the
// lowest free slot, and a full map grows only when nothing is free.
TEST(TLueckenFeld, NiedrigsterFreierUeberAlleGroessen)
{
    for (const uint64_t n : {64u, 4096u, 4160u, 262208u})
    {
        std::mt19937_64 zufall(n);
        TLueckenFeld<uint64_t> feld;
        feld.Vergroessern(n);
        for (uint64_t i = 0; i < n; ++i)
            ASSERT_EQ(feld.Einfuegen(i), i);
        const uint64_t kapazitaet = feld.Kapazitaet();
        ASSERT_EQ(kapazitaet, n);
        std::set<uint64_t> frei;
        for (uint64_t i = 0; i < n / 50 + 1; ++i)
            frei.insert(zufall() % n);
        frei.insert(n - 1); // the highest slot, in the last word of every level
        for (uint64_t s : frei)
            feld.Entfernen(s);
        for (int schritt = 0; schritt < 3000; ++schritt)
        {
            // A removal low down drops the hint far below the lowest free slot above.
            const uint64_t weg = zufall() % n;
            if (!frei.count(weg) && schritt % 3 == 0)
            {
                feld.Entfernen(weg);
                frei.insert(weg);
            }
            if (frei.empty())
                break;
            ASSERT_EQ(feld.Einfuegen(7), *frei.begin()) << n << " Schritt " << schritt;
            frei.erase(frei.begin());
        }
        while (!frei.empty())
        {
            ASSERT_EQ(feld.Einfuegen(7), *frei.begin()) << n;
            frei.erase(frei.begin());
        }
        EXPECT_EQ(feld.Kapazitaet(), kapazitaet) << n;
        EXPECT_EQ(feld.Einfuegen(7), kapazitaet) << n; // full: the map grows
        EXPECT_EQ(feld.Anzahl(), kapazitaet + 1) << n;
    }
}
