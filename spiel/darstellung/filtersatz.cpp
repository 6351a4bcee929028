#include "spiel/darstellung/filtersatz.h"

#include <algorithm>

#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/textur/quarz_renderziel.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/kern/quarz_log.h"
#include "spiel/darstellung/filtereffekt.h"

namespace {

const char* const kErgebnis = "ergebnis";
const char* const kReferenz = "hdr_ref";

// Chain images: 16-bit colour, render target, volatile.
constexpr uint32_t kKettenbildFlags = FLAG_RENDERZIEL | FLAG_FLUECHTIG | Quarz::PF_R5G6B5;

constexpr uint32_t kKeineKonstante = 0xFFFFFF;
constexpr uint32_t kKeinSampler = 0xFFFF;

uint64_t Geteilt(uint64_t seite, uint64_t teiler) { return std::max<uint64_t>(1, seite / teiler); }

// The sampler of an input's codes: [1] clamps, [2] filters linearly.
uint32_t SamplerNummer(uint32_t adressCode, uint32_t filterCode)
{
    return (adressCode != 0 ? 1u : 0u) + (filterCode != 0 ? 2u : 0u);
}

// Binds the shared quad with the pass's program and the default depth state.
void BindeQuad(Quarz_ZeichenKontext& kontext, Quarz_Programm* programm, const FilterSatz::QuadResourcen& quad)
{
    kontext.SetProgramm(programm);
    kontext.SetVertexBuffer(0, quad.mVertices);
    kontext.SetIndexBuffer(quad.mIndizes);
    kontext.SetTiefeZustand(nullptr);
}

// The half-pixel offset that lines texels up with the pixels of the region just set.
void SetzePosOffset(Quarz_ZeichenKontext& kontext, Quarz_Programm* programm)
{
    const uint32_t index = programm->GetKonstantenIndex("gPosOffset");
    if (index == kKeineKonstante || !kontext.mBereichBreite || !kontext.mBereichHoehe)
        return;
    kontext.SetProgrammKonstante(index, -0.5f / static_cast<float>(kontext.mBereichBreite),
                                 0.5f / static_cast<float>(kontext.mBereichHoehe), 0.0f, 0.0f);
}

}  // namespace

FilterSatz::~FilterSatz() { GibBilderFrei(); }

void FilterSatz::GibBilderFrei()
{
    Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
    for (Ziel& bild : mBilder)
    {
        if (bild.mArt != KETTENBILD && bild.mArt != EINGABETEXTUR)
            continue;
        if (kontext)
        {
            kontext->Freigeben(bild.mRenderziel);
            kontext->Freigeben(bild.mTextur);
        }
        bild.mRenderziel = nullptr;
        bild.mTextur = nullptr;
    }
    mBilder.clear();
}

void FilterSatz::AddFilter(FilterEffekt* effekt, int32_t sequenzId)
{
    auto alt = mAktiv.find(sequenzId);
    if (alt != mAktiv.end())
        gLog.Schreibe("?FilterSatz::AddFilter( \"%s\", %d): Bislang unter SequenzID %d aktiver Filter \"%s\" wird "
                      "ersetzt.",
                      effekt->mName.c_str(), sequenzId, sequenzId, alt->second->mName.c_str());
    mAktiv[sequenzId] = effekt;
    BerechneFilterkette();
}

void FilterSatz::SetParameter(const std::string& name, float r, float g, float b, float a)
{
    for (ParamWert& wert : mParamWerte)
    {
        if (wert.mName == name)
        {
            wert.mWert[0] = r;
            wert.mWert[1] = g;
            wert.mWert[2] = b;
            wert.mWert[3] = a;
            return;
        }
    }
    gLog.Schreibe("!FilterSatz::SetParameter( \"%s\", ...): Kein Param diesen Namens bekannt.", name.c_str());
}

int64_t FilterSatz::BildIndex(const std::string& name) const
{
    for (size_t i = 0; i < mBilder.size(); ++i)
        if (mBilder[i].mName == name)
            return static_cast<int64_t>(i);
    return -1;
}

void FilterSatz::BerechneFilterkette()
{
    mSchritte.clear();
    mParamWerte.clear();
    GibBilderFrei();

    for (auto& [id, effekt] : mAktiv)
        for (Spiel::Filter& filter : effekt->mFilter)
            mSchritte.push_back(Schritt{effekt, &filter, {}, {}, -1});

    mBilder.push_back(Ziel{ROHBILD, kErgebnis, 1, nullptr, nullptr});
    mBilder.push_back(Ziel{REFERENZBILD, kReferenz, 1, nullptr, nullptr});
    LegeBilderAn();

    uint32_t wechselbilder = 0;
    for (size_t s = 0; s < mSchritte.size(); ++s)
    {
        Schritt& schritt = mSchritte[s];
        bool liestErgebnis = false;
        OrdneEingabenZu(s, liestErgebnis);
        if (schritt.mFilter->mAusgabeName == kErgebnis)
            schritt.mAusgabe = ErgebnisAusgabe(s, liestErgebnis, wechselbilder);
        else
            schritt.mAusgabe = BildIndex(schritt.mFilter->mAusgabeName);
        for (const FilterEffekt::Param& param : schritt.mEffekt->mParameter)
        {
            int64_t slot = -1;
            for (size_t w = 0; w < mParamWerte.size() && slot < 0; ++w)
                if (mParamWerte[w].mName == param.mName)
                    slot = static_cast<int64_t>(w);
            schritt.mParamSlots.push_back(slot);
        }
    }
    VerwirfUnzulaessigeSchritte();
}

// Declared textures, parameter values and the named output images, in this order.
void FilterSatz::LegeBilderAn()
{
    for (const Schritt& schritt : mSchritte)
    {
        for (const FilterEffekt::Textur& textur : schritt.mEffekt->mTexturen)
        {
            const int64_t index = BildIndex(textur.mName);
            if (index < 0)
                mBilder.push_back(Ziel{EINGABETEXTUR, textur.mName, 1, nullptr, nullptr});
            else if (mBilder[static_cast<size_t>(index)].mArt != EINGABETEXTUR)
                gLog.Schreibe("!Filtereffekt \"%s\" definiert Eingabetextur \"%s\", die vorher schon Renderziel war.",
                              schritt.mEffekt->mName.c_str(), textur.mName.c_str());
        }
    }
    for (const Schritt& schritt : mSchritte)
    {
        for (const FilterEffekt::Param& param : schritt.mEffekt->mParameter)
        {
            const bool bekannt = std::any_of(mParamWerte.begin(), mParamWerte.end(),
                                             [&](const ParamWert& w) { return w.mName == param.mName; });
            if (!bekannt)
            {
                ParamWert wert;
                wert.mName = param.mName;
                std::copy(param.mStandard, param.mStandard + 4, wert.mWert);
                mParamWerte.push_back(wert);
            }
        }
    }
    for (const Schritt& schritt : mSchritte)
    {
        const Spiel::Filter& filter = *schritt.mFilter;
        if (filter.mAusgabeName == kErgebnis || filter.mAusgabeName == kReferenz)
            continue;
        const int64_t index = BildIndex(filter.mAusgabeName);
        if (index < 0)
            mBilder.push_back(Ziel{KETTENBILD, filter.mAusgabeName, filter.mTeiler, nullptr, nullptr});
        else if (mBilder[static_cast<size_t>(index)].mArt != KETTENBILD ||
                 mBilder[static_cast<size_t>(index)].mTeiler != filter.mTeiler)
            gLog.Schreibe("!FilterEffekt \"%s\", Filter \"%s\" definiert Ausgabebild mit konfliktbehafteten "
                          "Parametern.",
                          schritt.mEffekt->mName.c_str(), filter.mName.c_str());
    }
}

void FilterSatz::OrdneEingabenZu(size_t s, bool& liestErgebnis)
{
    Schritt& schritt = mSchritte[s];
    const Spiel::Filter& filter = *schritt.mFilter;
    for (size_t j = 0; j < filter.mEingaben.size(); ++j)
    {
        const std::string& name = filter.mEingaben[j].mBildName;
        if (name == kErgebnis)
        {
            liestErgebnis = true;
            uint64_t index = 0;  // the raw frame unless an earlier pass wrote an image
            for (size_t frueher = s; frueher-- > 0;)
            {
                if (mSchritte[frueher].mFilter->mAusgabeName == kErgebnis)
                {
                    if (mSchritte[frueher].mAusgabe != -1)
                        index = static_cast<uint64_t>(mSchritte[frueher].mAusgabe);
                    break;
                }
            }
            schritt.mEingaben.push_back(index);
            continue;
        }
        const int64_t index = BildIndex(name);
        if (index < 0)
        {
            gLog.Schreibe("!FilterVerwaltung::BerechneFilterkette(): Das %d. Eingabebild \"%s\" des Filters \"%s\" im "
                          "Effekt \"%s\" konnte nicht zugeordnet werden. Rohbild der Engine wird verwendet.",
                          static_cast<int>(j), name.c_str(), filter.mName.c_str(), schritt.mEffekt->mName.c_str());
            schritt.mEingaben.push_back(0);
        }
        else
        {
            schritt.mEingaben.push_back(static_cast<uint64_t>(index));
        }
    }
}

int64_t FilterSatz::ErgebnisAusgabe(size_t s, bool liestErgebnis, uint32_t& wechselbilder)
{
    if (!liestErgebnis)
    {
        for (size_t frueher = s; frueher-- > 0;)
            if (mSchritte[frueher].mFilter->mAusgabeName == kErgebnis)
                return mSchritte[frueher].mAusgabe;
        return -1;
    }
    bool spaeterGelesen = false;
    for (size_t spaeter = s + 1; spaeter < mSchritte.size() && !spaeterGelesen; ++spaeter)
        for (const Spiel::Filter::Eingabe& eingabe : mSchritte[spaeter].mFilter->mEingaben)
            spaeterGelesen = spaeterGelesen || eingabe.mBildName == kErgebnis;
    if (!spaeterGelesen)
        return -1;
    // Ping-pong between two images, so that no pass reads the image it writes.
    const char* name = (wechselbilder++ % 2 == 0) ? "quiff" : "quoff";
    int64_t index = BildIndex(name);
    if (index < 0)
    {
        mBilder.push_back(Ziel{KETTENBILD, name, 1, nullptr, nullptr});
        index = static_cast<int64_t>(mBilder.size() - 1);
    }
    return index;
}

void FilterSatz::VerwirfUnzulaessigeSchritte()
{
    std::vector<Schritt> zulaessig;
    zulaessig.reserve(mSchritte.size());
    for (Schritt& schritt : mSchritte)
    {
        const char* effekt = schritt.mEffekt->mName.c_str();
        const char* filter = schritt.mFilter->mName.c_str();
        if (schritt.mAusgabe >= 0)
        {
            const Ziel& ausgabe = mBilder[static_cast<size_t>(schritt.mAusgabe)];
            // Declared textures and the reference image have no render target of the chain:
            // drawing "into" them would draw over whatever target is bound.
            if (ausgabe.mArt != KETTENBILD)
            {
                gLog.Schreibe("!FilterSatz::BerechneFilterkette(): Filter \"%s\" im Effekt \"%s\" schreibt in das "
                              "Bild \"%s\", das kein Renderziel ist. Der Filter wird übergangen.",
                              filter, effekt, ausgabe.mName.c_str());
                continue;
            }
            const bool liestAusgabe = std::find(schritt.mEingaben.begin(), schritt.mEingaben.end(),
                                                static_cast<uint64_t>(schritt.mAusgabe)) != schritt.mEingaben.end();
            if (liestAusgabe)
            {
                gLog.Schreibe("!FilterSatz::BerechneFilterkette(): Filter \"%s\" im Effekt \"%s\" liest das Bild "
                              "\"%s\", in das er schreibt. Der Filter wird übergangen.",
                              filter, effekt, ausgabe.mName.c_str());
                continue;
            }
        }
        zulaessig.push_back(std::move(schritt));
    }
    mSchritte = std::move(zulaessig);
}

void FilterSatz::BereiteBilderVor(Quarz_Textur* rohbild, uint64_t breite, uint64_t hoehe, const QuadResourcen& quad)
{
    Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
    for (Ziel& bild : mBilder)
    {
        switch (bild.mArt)
        {
        case KETTENBILD:
        {
            const uint64_t w = Geteilt(breite, bild.mTeiler), h = Geteilt(hoehe, bild.mTeiler);
            if (bild.mTextur && bild.mTextur->mBreite == w && bild.mTextur->mHoehe == h)
                break;
            kontext->Freigeben(bild.mRenderziel);
            kontext->Freigeben(bild.mTextur);
            bild.mTextur = kontext->ErzeugeTextur(w, h, 1, kKettenbildFlags, nullptr);
            bild.mRenderziel = kontext->ErzeugeRenderziel(Quarz_RenderzielBeschr(bild.mTextur));
            break;
        }
        case ROHBILD:
            bild.mTextur = rohbild;
            break;
        case REFERENZBILD:
            bild.mTextur = quad.mReferenzTextur;
            bild.mRenderziel = quad.mReferenzZiel;
            break;
        default:
            break;
        }
    }
}

void FilterSatz::Anwenden(Quarz_Textur* rohbild, const Zielangabe& ziel, const QuadResourcen& quad)
{
    Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
    BereiteBilderVor(rohbild, ziel.mBreite, ziel.mHoehe, quad);
    kontext->SetRueckseite(0);
    if (mSchritte.empty())
    {
        // Without a pass the destination would keep last frame's picture (or stay black).
        ZeichneDurchreichen(rohbild, ziel, quad);
        return;
    }
    for (const Schritt& schritt : mSchritte)
        ZeichneSchritt(schritt, ziel, quad);
}

void FilterSatz::ZeichneSchritt(const Schritt& schritt, const Zielangabe& ziel, const QuadResourcen& quad)
{
    Quarz_ZeichenKontext& kontext = *Quarz_Screen3D::GetZeichenKontext();
    const Spiel::Filter& filter = *schritt.mFilter;
    Quarz_Programm* programm = filter.mProgramm;
    if (!programm)
        return;
    BindeQuad(kontext, programm, quad);
    if (schritt.mAusgabe < 0)
    {
        kontext.SetRenderZiel(ziel.mRenderziel);
        kontext.SetRenderBereich(ziel.mX, ziel.mY, ziel.mBreite, ziel.mHoehe);
    }
    else
    {
        kontext.SetRenderZiel(mBilder[static_cast<size_t>(schritt.mAusgabe)].mRenderziel);
        kontext.SetRenderBereich(0, 0, Geteilt(ziel.mBreite, filter.mTeiler), Geteilt(ziel.mHoehe, filter.mTeiler));
    }
    kontext.SetAlphaZustand(filter.mAlphaZustand);

    for (size_t j = 0; j < filter.mEingaben.size(); ++j)
    {
        const Spiel::Filter::Eingabe& eingabe = filter.mEingaben[j];
        const Ziel& bild = mBilder[schritt.mEingaben[j]];
        const uint32_t sampler = programm->GetSamplerIndex(eingabe.mSamplerName);
        if (sampler != kKeinSampler)
            kontext.SetTextur(sampler, quad.mSampler[SamplerNummer(eingabe.mAdressCode, eingabe.mFilterCode)],
                              bild.mTextur);
        const uint32_t konstante = programm->GetKonstantenIndex(eingabe.mKonstantenName);
        // Images without a texture (declared textures, a missing reference) have no size.
        if (konstante == kKeineKonstante || !bild.mTextur)
            continue;
        const float tw = static_cast<float>(bild.mTextur->mBreite), th = static_cast<float>(bild.mTextur->mHoehe);
        const float w = static_cast<float>(ziel.mBreite / bild.mTeiler);
        const float h = static_cast<float>(ziel.mHoehe / bild.mTeiler);
        kontext.SetProgrammKonstante(konstante, w / tw, h / th, 1.0f / tw, 1.0f / th);
    }
    const std::vector<FilterEffekt::Param>& parameter = schritt.mEffekt->mParameter;
    for (size_t p = 0; p < parameter.size() && p < schritt.mParamSlots.size(); ++p)
    {
        const uint32_t konstante = programm->GetKonstantenIndex(parameter[p].mKonstantenName);
        if (konstante == kKeineKonstante || schritt.mParamSlots[p] < 0)
            continue;
        const float* wert = mParamWerte[static_cast<size_t>(schritt.mParamSlots[p])].mWert;
        kontext.SetProgrammKonstante(konstante, wert[0], wert[1], wert[2], wert[3]);
    }
    SetzePosOffset(kontext, programm);
    kontext.ZeichneIndexElemente(0, 2);
}

void FilterSatz::ZeichneDurchreichen(Quarz_Textur* rohbild, const Zielangabe& ziel, const QuadResourcen& quad)
{
    Quarz_ZeichenKontext& kontext = *Quarz_Screen3D::GetZeichenKontext();
    Quarz_Programm* programm = quad.mDurchreichen;
    if (!programm || !rohbild)
        return;
    BindeQuad(kontext, programm, quad);
    kontext.SetRenderZiel(ziel.mRenderziel);
    kontext.SetRenderBereich(ziel.mX, ziel.mY, ziel.mBreite, ziel.mHoehe);
    kontext.SetAlphaZustand(nullptr);
    const uint32_t sampler = programm->GetSamplerIndex("texBild");
    if (sampler != kKeinSampler)
        kontext.SetTextur(sampler, quad.mSampler[1], rohbild);
    const uint32_t konstante = programm->GetKonstantenIndex("gBildGroesse");
    if (konstante != kKeineKonstante)
    {
        const float tw = static_cast<float>(rohbild->mBreite), th = static_cast<float>(rohbild->mHoehe);
        kontext.SetProgrammKonstante(konstante, static_cast<float>(ziel.mBreite) / tw,
                                     static_cast<float>(ziel.mHoehe) / th, 1.0f / tw, 1.0f / th);
    }
    SetzePosOffset(kontext, programm);
    kontext.ZeichneIndexElemente(0, 2);
}
