#pragma once
// Slot map: entries addressed by a stable slot number, one occupancy bit per slot.
// Inserting takes the lowest free slot, removing frees the slot without moving anything,
// iteration visits the occupied slots in ascending order. Entries are copied bit for bit
// when the map grows, so only trivially copyable types are allowed.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <type_traits>
#include <utility>

template <typename T>
class TLueckenFeld
{
    static_assert(std::is_trivially_copyable_v<T>,
                  "TLueckenFeld moves its entries with memcpy: T must be trivially copyable");

public:
    // Walks the occupied slots in ascending order; end is the capacity. The iterator keeps
    // the occupied bits of its current word (the lowest set bit is the slot it stands on)
    // and the address of the word's first entry, so a step costs no memory access. Any
    // change to the map while iterating (an insert or a removal) makes the next step read
    // the live bits again from the slot after the current one, so the iteration always
    // sees what the map holds now.
    template <typename Feld, typename Eintrag>
    class BasisIterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::remove_const_t<Eintrag>;
        using difference_type = std::ptrdiff_t;
        using pointer = Eintrag*;
        using reference = Eintrag&;

        BasisIterator() = default;
        // Stands on the slot `index`, which must be occupied or the capacity.
        BasisIterator(Feld* feld, uint64_t index) : mFeld(feld) { StelleAuf(index); }

        Eintrag& operator*() const { return Zeile()[Bit()]; }
        Eintrag* operator->() const { return &Zeile()[Bit()]; }
        BasisIterator& operator++()
        {
            if (mStand == mFeld->mStand) [[likely]]
            {
                mBits &= mBits - 1;
                if (mBits != 0) [[likely]]
                    return *this;
                StelleAuf(mFeld->NaechsterBelegter(mBasis + 64));
            }
            else
                StelleAuf(mFeld->NaechsterBelegter(Index() + 1));
            return *this;
        }
        BasisIterator operator++(int)
        {
            BasisIterator alt = *this;
            ++*this;
            return alt;
        }
        // Iterators of different maps are not compared.
        bool operator==(const BasisIterator& b) const { return mBits == b.mBits && mBasis == b.mBasis; }

        // The slot number of the entry the iterator stands on (the capacity at the end).
        uint64_t Index() const { return mBits ? mBasis + Bit() : mBasis; }

    private:
        // Only called on an occupied slot: telling the compiler that the bits are not zero
        // spares the count its zero case in the iteration's innermost loop.
        uint64_t Bit() const
        {
            if (mBits == 0)
                __builtin_unreachable();
            return static_cast<uint64_t>(__builtin_ctzll(mBits));
        }
        // The entries of the current word; taken from the map again when it changed (it may
        // have moved its storage) since the bits were read.
        Eintrag* Zeile() const
        {
            return mStand == mFeld->mStand ? mZeile : mFeld->mEintraege + mBasis;
        }

        void StelleAuf(uint64_t index)
        {
            mStand = mFeld->mStand;
            if (index >= mFeld->mKapazitaet)
            {
                mBasis = mFeld->mKapazitaet;
                mBits = 0;
                return;
            }
            mBasis = index & ~uint64_t(63);
            mBits = mFeld->mBelegung[index / 64] & (~uint64_t(0) << (index % 64));
            mZeile = mFeld->mEintraege + mBasis;
        }

        Feld* mFeld = nullptr;
        Eintrag* mZeile = nullptr; // the entry of the current word's first slot
        uint64_t mBasis = 0; // first slot of the current word; the capacity at the end
        uint64_t mBits = 0;  // occupied slots of the word from the current one on
        uint64_t mStand = 0; // the map's change count when the bits were read
    };
    using Iterator = BasisIterator<TLueckenFeld, T>;
    using KonstIterator = BasisIterator<const TLueckenFeld, const T>;

    TLueckenFeld() = default;
    ~TLueckenFeld() { Freigeben(); }

    // Entries refer to the block by address; a copy would have to decide what to do with
    // pointers it does not own. Moving hands the block over.
    TLueckenFeld(const TLueckenFeld&) = delete;
    TLueckenFeld& operator=(const TLueckenFeld&) = delete;
    TLueckenFeld(TLueckenFeld&& b) noexcept { Tausche(b); }
    TLueckenFeld& operator=(TLueckenFeld&& b) noexcept
    {
        if (this != &b)
        {
            TLueckenFeld leer(std::move(b));
            Tausche(leer);
        }
        return *this;
    }

    // Grows the capacity to n rounded up to a multiple of 64. The map never shrinks:
    // a smaller request is ignored, since it would drop occupied slots.
    void Vergroessern(uint64_t n)
    {
        const uint64_t neueKapazitaet = (n + 63) / 64 * 64;
        if (neueKapazitaet <= mKapazitaet)
            return;
        const uint64_t neueWorte = neueKapazitaet / 64;
        const uint64_t alteWorte = mKapazitaet / 64;
        const std::size_t versatz = EintragsVersatz(neueWorte);
        const std::size_t volleVersatz = VolleVersatz(versatz, neueKapazitaet);
        std::byte* block = static_cast<std::byte*>(::operator new(
            volleVersatz + VolleWorte(neueWorte) * sizeof(uint64_t), std::align_val_t(kAusrichtung)));
        uint64_t* belegung = reinterpret_cast<uint64_t*>(block);
        T* eintraege = reinterpret_cast<T*>(block + versatz);

        if (mKapazitaet)
        {
            std::memcpy(belegung, mBelegung, alteWorte * sizeof(uint64_t));
            KopiereBelegte(eintraege);
        }
        std::memset(belegung + alteWorte, 0, (neueWorte - alteWorte) * sizeof(uint64_t));

        Freigeben();
        mBelegung = belegung;
        mEintraege = eintraege;
        mVolle = reinterpret_cast<uint64_t*>(block + volleVersatz);
        mKapazitaet = neueKapazitaet;
        BaueVolle();
        ++mStand;
    }

    // Stores the entry in the lowest free slot and returns the slot number.
    uint64_t Einfuegen(const T& eintrag)
    {
        // Copied first: the entry may be one of this map's, and growth frees their block.
        const T kopie(eintrag);
        uint64_t slot = mFrei;
        uint64_t gesichert = mGesichert;
        if (slot == gesichert) [[unlikely]]
        {
            // Nothing free is known below the bound: search from there (growing the map
            // when it is full), and the bound moves just past the slot found.
            slot = ErsterFreier(gesichert);
            if (slot == mKapazitaet) [[unlikely]]
                Wachse();
            gesichert = slot + 1;
        }
        // Everything below the bound is occupied once the slot is. The members are
        // written before the entry and its bit, whose stores the compiler would otherwise
        // have to assume change them.
        mFrei = gesichert;
        mGesichert = gesichert;
        T* const eintraege = mEintraege;
        Belege(slot);
        new (&eintraege[slot]) T(kopie);
        return slot;
    }

    // Frees the slot. The entry's storage is left as it is; what it points to belongs
    // to the owner. A slot outside the map is ignored.
    void Entfernen(uint64_t slot)
    {
        const uint64_t kapazitaet = mKapazitaet;
        if (slot >= kapazitaet)
            return;
        // The members are read before the first store through a word pointer, which the
        // compiler would otherwise have to assume changes them.
        uint64_t* const volle = mVolle;
        const uint64_t frei = mFrei;
        if (slot < frei)
        {
            // The slot becomes the lowest free one; the old lowest (if known) is the
            // lowest above it, so it bounds what is known to be occupied.
            mGesichert = frei;
            mFrei = slot;
        }
        else
            mGesichert = std::min(mGesichert, slot);
        ++mStand;
        uint64_t& wort = mBelegung[slot / 64];
        const uint64_t alt = wort;
        wort = alt & ~(uint64_t(1) << (slot % 64));
        // Only a word that was full changes its summary bit, and a summary word only
        // changes the level above when it was full itself.
        if (alt == ~uint64_t(0)) [[unlikely]]
            LeereVolle(volle, slot / 64, kapazitaet / 64);
    }

    // Stores the entry in a given slot and marks it occupied (the world keeps its terrain
    // in slot 0); the map grows as insertion would when the slot lies beyond it.
    void Setze(uint64_t slot, const T& eintrag)
    {
        const T kopie(eintrag);
        if (slot >= mKapazitaet)
            Vergroessern(std::max({2 * mKapazitaet, uint64_t(64), slot + 1}));
        new (&mEintraege[slot]) T(kopie);
        Belege(slot);
        // Taking the known lowest free slot leaves only the bound known.
        if (slot == mFrei)
            mFrei = mGesichert;
    }

    bool IstBelegt(uint64_t slot) const
    {
        return slot < mKapazitaet && (mBelegung[slot / 64] >> (slot % 64) & 1) != 0;
    }

    // Access by slot number; the caller makes sure the slot is occupied.
    T& operator[](uint64_t slot) { return mEintraege[slot]; }
    const T& operator[](uint64_t slot) const { return mEintraege[slot]; }

    uint64_t Kapazitaet() const { return mKapazitaet; }
    // The hint: no free slot lies below it. The known lowest free slot is one (see mFrei).
    uint64_t Hinweis() const { return mFrei; }
    uint64_t Anzahl() const
    {
        uint64_t n = 0;
        for (uint64_t w = 0; w < mKapazitaet / 64; ++w)
            n += static_cast<uint64_t>(std::popcount(mBelegung[w]));
        return n;
    }

    Iterator begin() { return Iterator(this, NaechsterBelegter(0)); }
    Iterator end() { return Iterator(this, mKapazitaet); }
    KonstIterator begin() const { return KonstIterator(this, NaechsterBelegter(0)); }
    KonstIterator end() const { return KonstIterator(this, mKapazitaet); }

    // The lowest occupied slot at or after `ab`, or the capacity when there is none.
    uint64_t NaechsterBelegter(uint64_t ab) const
    {
        if (ab >= mKapazitaet)
            return mKapazitaet;
        uint64_t w = ab / 64;
        uint64_t wort = mBelegung[w] & (~uint64_t(0) << (ab % 64));
        const uint64_t worte = mKapazitaet / 64;
        while (wort == 0)
        {
            if (++w == worte)
                return mKapazitaet;
            wort = mBelegung[w];
        }
        return 64 * w + static_cast<uint64_t>(std::countr_zero(wort));
    }

private:
    static constexpr std::size_t kAusrichtung = std::max(alignof(T), alignof(uint64_t));

    // The entries follow the occupancy words, aligned for T; the summary levels of full
    // words lie behind the entries.
    static std::size_t EintragsVersatz(uint64_t worte)
    {
        const std::size_t roh = worte * sizeof(uint64_t);
        return (roh + alignof(T) - 1) / alignof(T) * alignof(T);
    }
    static std::size_t VolleVersatz(std::size_t eintragsVersatz, uint64_t kapazitaet)
    {
        const std::size_t roh = eintragsVersatz + kapazitaet * sizeof(T);
        return (roh + alignof(uint64_t) - 1) / alignof(uint64_t) * alignof(uint64_t);
    }
    // Words of all summary levels over `worte` occupancy words. Each level has one bit per
    // word of the level below (set = that word is full), up to a level of a single word.
    static uint64_t VolleWorte(uint64_t worte)
    {
        uint64_t summe = 0;
        while (worte > 1)
        {
            worte = (worte + 63) / 64;
            summe += worte;
        }
        return summe;
    }

    // The lowest free slot at or after `ab`, or the capacity when there is none. Climbs the
    // summary levels while a word holds nothing free, then walks down to the slot: an
    // insert costs a few words per level, however far the lowest free slot lies from where
    // the search starts.
    uint64_t ErsterFreier(uint64_t ab) const
    {
        const uint64_t* weg[16];
        int ebene = 0;
        const uint64_t* stufe = mBelegung;
        const uint64_t* oben = mVolle;
        uint64_t bits = mKapazitaet;
        uint64_t pos = ab;
        for (;;)
        {
            if (pos >= bits)
                return mKapazitaet;
            const uint64_t frei = ~stufe[pos / 64] & (~uint64_t(0) << (pos % 64));
            if (frei != 0)
            {
                pos = pos / 64 * 64 + static_cast<uint64_t>(std::countr_zero(frei));
                // The last word of a summary level has clear bits beyond its words.
                if (pos >= bits)
                    return mKapazitaet;
                break;
            }
            const uint64_t worte = (bits + 63) / 64;
            if (worte == 1)
                return mKapazitaet;
            weg[ebene++] = stufe;
            stufe = oben;
            oben += (worte + 63) / 64;
            bits = worte;
            pos = pos / 64 + 1;
        }
        // A clear bit above means a word with a clear bit below.
        while (ebene > 0)
        {
            stufe = weg[--ebene];
            pos = 64 * pos + static_cast<uint64_t>(std::countr_one(stufe[pos]));
        }
        return pos;
    }

    // Marks the slot occupied, and on each level above the word it completes.
    void Belege(uint64_t slot)
    {
        uint64_t* const volle = mVolle;
        const uint64_t worte = mKapazitaet / 64;
        ++mStand;
        uint64_t& wort = mBelegung[slot / 64];
        const uint64_t neu = wort | uint64_t(1) << (slot % 64);
        wort = neu;
        if (neu != ~uint64_t(0)) [[likely]]
            return;
        uint64_t* oben = volle;
        for (uint64_t i = slot / 64, n = worte; n > 1; i /= 64)
        {
            uint64_t& summe = oben[i / 64];
            summe |= uint64_t(1) << (i % 64);
            if (summe != ~uint64_t(0))
                return;
            n = (n + 63) / 64;
            oben += n;
        }
    }

    // Word `i` of the occupancy words (of `worte`) is no longer full: clears its bit on the
    // summary levels, up to the first summary word that was not full either.
    static void LeereVolle(uint64_t* oben, uint64_t i, uint64_t worte)
    {
        for (; worte > 1; i /= 64)
        {
            uint64_t& summe = oben[i / 64];
            const uint64_t alt = summe;
            summe = alt & ~(uint64_t(1) << (i % 64));
            if (alt != ~uint64_t(0))
                return;
            worte = (worte + 63) / 64;
            oben += worte;
        }
    }

    // The full map doubles (to 64 slots when empty); kept out of line so that the insert
    // stays small.
    [[gnu::noinline, gnu::cold]] void Wachse() { Vergroessern(std::max<uint64_t>(2 * mKapazitaet, 64)); }

    // Builds every summary level from the occupancy words.
    void BaueVolle()
    {
        const uint64_t* stufe = mBelegung;
        uint64_t* oben = mVolle;
        uint64_t worte = mKapazitaet / 64;
        while (worte > 1)
        {
            const uint64_t obenWorte = (worte + 63) / 64;
            std::memset(oben, 0, obenWorte * sizeof(uint64_t));
            for (uint64_t j = 0; j < worte; ++j)
                if (stufe[j] == ~uint64_t(0))
                    oben[j / 64] |= uint64_t(1) << (j % 64);
            stufe = oben;
            oben += obenWorte;
            worte = obenWorte;
        }
    }

    // Copies every run of occupied slots to the same slot of the new entry array.
    void KopiereBelegte(T* ziel) const
    {
        uint64_t i = NaechsterBelegter(0);
        while (i < mKapazitaet)
        {
            uint64_t ende = i + 1;
            while (ende < mKapazitaet && IstBelegt(ende))
                ++ende;
            std::memcpy(static_cast<void*>(ziel + i), static_cast<const void*>(mEintraege + i),
                        (ende - i) * sizeof(T));
            i = NaechsterBelegter(ende);
        }
    }

    void Freigeben()
    {
        if (mBelegung)
            ::operator delete(static_cast<void*>(mBelegung), std::align_val_t(kAusrichtung));
    }

    void Tausche(TLueckenFeld& b) noexcept
    {
        std::swap(mEintraege, b.mEintraege);
        std::swap(mBelegung, b.mBelegung);
        std::swap(mVolle, b.mVolle);
        std::swap(mKapazitaet, b.mKapazitaet);
        std::swap(mFrei, b.mFrei);
        std::swap(mGesichert, b.mGesichert);
        ++mStand;
        ++b.mStand;
    }

    T* mEintraege = nullptr;
    uint64_t* mBelegung = nullptr;
    // The summary levels, lowest first: bit b of a level set = word b of the level below
    // is full. In the same block as the occupancy words and entries.
    uint64_t* mVolle = nullptr;
    uint64_t mKapazitaet = 0;
    // What is known of the free slots, so that an insert rarely has to search: every slot
    // below mGesichert other than mFrei is occupied, and mFrei <= mGesichert. When mFrei is
    // below the bound it is free and the lowest free slot; when it equals the bound, the
    // lowest free slot lies at or above it. A removal below mFrei makes that slot the
    // known lowest (the map's usual pattern: an entry leaves and the next one takes its
    // slot), and the previous lowest becomes the bound.
    uint64_t mFrei = 0;
    uint64_t mGesichert = 0;
    // Counts changes to the occupancy, so that iterators notice them.
    uint64_t mStand = 0;
};
