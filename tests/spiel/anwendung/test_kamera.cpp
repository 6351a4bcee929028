// The view's arithmetic: key movement, wheel steps, easing, the pause fade and the picking ray,
// checked without a window.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "spiel/anwendung/kamera.h"
#include "spiel/darstellung/szenenrenderer.h"
#include "tests/spiel/gemeinsam/bildpunkt.h"

namespace Spiel {
namespace {

constexpr float kBild = 1.0f / 60.0f;

TEST(Kamera, WheelFramesStepBetweenTheLimits)
{
    struct Fall
    {
        const char* name;
        std::vector<float> raeder;  // the wheel sum of each frame
        float abstand;
    };
    const Fall faelle[] = {
        {"one notch towards the player zooms out", {-120}, 250},
        {"one notch away zooms in", {120}, 150},
        {"a frame of several notches is one step", {-360}, 250},
        {"out stops at the far limit", std::vector<float>(10, -120), 500},
        {"in stops at the near limit", std::vector<float>(10, 120), 100},
        {"out then in", {-120, -120, 120}, 250},
    };
    for (const Fall& f : faelle)
    {
        Kamera kamera(0, 0);
        for (float rad : f.raeder)
            kamera.Zoome(rad);
        EXPECT_FLOAT_EQ(kamera.mWunschAbstand, f.abstand) << f.name;
        EXPECT_FLOAT_EQ(kamera.mAbstand, Kamera::kStartAbstand) << f.name << ": only easing moves the view";
    }
}

TEST(Kamera, DistanceEasesTowardsTheWantedOne)
{
    Kamera kamera(0, 0);
    kamera.Zoome(-120);
    kamera.Glaette(0.1f);
    EXPECT_FLOAT_EQ(kamera.mAbstand, 225.0f);  // half the gap at 5 per second over 0.1 s
    for (int i = 0; i < 600; ++i)
        kamera.Glaette(kBild);
    EXPECT_NEAR(kamera.mAbstand, 250.0f, 0.01f);
}

TEST(Pausenblende, ReachesFullInHalfASecondAndFallsBackAsFast)
{
    float blende = 0.0f;
    for (int i = 0; i < 29; ++i)
        blende = NaechsteBlende(blende, true, kBild);
    EXPECT_LT(blende, 1.0f);
    blende = NaechsteBlende(blende, true, kBild);
    EXPECT_FLOAT_EQ(blende, 1.0f);
    blende = NaechsteBlende(blende, true, 1.0f);
    EXPECT_EQ(blende, 1.0f);
    for (int i = 0; i < 30; ++i)
        blende = NaechsteBlende(blende, false, kBild);
    EXPECT_NEAR(blende, 0.0f, 1e-6f);
    EXPECT_EQ(NaechsteBlende(blende, false, 1.0f), 0.0f);
}

// Where a ray meets the ground plane y = 0.
Vektor AufBoden(const Vektor& o, const Vektor& d)
{
    const float t = -o.y / d.y;
    return Vektor(o.x + d.x * t, 0.0f, o.z + d.z * t);
}

TEST(Kamera, RayThroughTheScreenCentreMeetsTheTarget)
{
    for (float abstand : {100.0f, 200.0f, 350.0f, 500.0f})
    {
        Kamera kamera(400, 620);
        kamera.mAbstand = abstand;
        Vektor o, d;
        kamera.Strahl(640, 384, 1280, 768, o, d);
        EXPECT_NEAR(std::sqrt(HorizontalQuadrat(o, kamera.Ziel()) + o.y * o.y), abstand, 1e-2f) << abstand;
        EXPECT_NEAR(d.Laenge(), 1.0f, 1e-5f);
        const Vektor p = AufBoden(o, d);
        EXPECT_NEAR(p.x, 400.0f, 1e-2f) << abstand;
        EXPECT_NEAR(p.z, 620.0f, 1e-2f) << abstand;

        // Right of the centre lands right of the target; lower on the screen lands on the
        // camera's side (+z: the view looks towards -z).
        kamera.Strahl(900, 384, 1280, 768, o, d);
        EXPECT_GT(AufBoden(o, d).x, 400.0f);
        kamera.Strahl(640, 700, 1280, 768, o, d);
        EXPECT_GT(AufBoden(o, d).z, 620.0f);
    }
}

TEST(Kamera, RayMeetsTheGroundWhereTheRendererDrawsThePixel)
{
    const float breite = 1280, hoehe = 768;
    for (float abstand : {100.0f, 300.0f, 500.0f})
    {
        Kamera kamera(300, 450);
        kamera.mAbstand = abstand;
        const TMatrix4 m = SzenenRenderer::KameraSicht(kamera.Ziel(), abstand, kamera.Neigung()) *
                           SzenenRenderer::KameraProjektion(1280, 768);
        for (auto [mx, my] : {std::pair{100.0f, 100.0f}, {640.0f, 384.0f}, {1200.0f, 700.0f}, {300.0f, 600.0f}})
        {
            Vektor o, d;
            kamera.Strahl(mx, my, breite, hoehe, o, d);
            const Vektor p = AufBoden(o, d);
            const auto [x, y] = Spiel::Test::Bildpunkt(m, p, breite, hoehe);
            EXPECT_NEAR(x, mx, 0.5f) << abstand;
            EXPECT_NEAR(y, my, 0.5f) << abstand;
        }
    }
}

}  // namespace
}  // namespace Spiel
