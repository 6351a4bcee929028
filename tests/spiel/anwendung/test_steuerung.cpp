// The frame loop's input through the input library over its scripted layer: camera keys,
// the wheel as the loop reads it, the event poll's order, and the console taking the input.
#include <GLFW/glfw3.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "spiel/anwendung/anwendung.h"
#include "spiel/anwendung/kamera.h"
#include "tests/input/input_testhilfe.h"

namespace {

constexpr float kBild = 1.0f / 60.0f;

class Steuerung : public InputTest
{
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        layer.mGeraete = {{kKeyboard, Plattform::RohTypTastatur, "Tastatur"},
                          {kMouse, Plattform::RohTypMaus, "Maus"}};
        Start();
        // The first key and button make the devices active.
        layer.Taste(kKeyboard, GLFW_KEY_Q, true);
        layer.Knopf(kMouse, 1, true);
        Frame();
        layer.Taste(kKeyboard, GLFW_KEY_Q, false);
        layer.Knopf(kMouse, 1, false);
        Frame();
        handler.Take();
    }
    // One frame in the loop's order: input update, then the event poll, during which the
    // window system dispatches what the test queues in `ereignisse`.
    void LoopFrame(const std::function<void()>& ereignisse = {})
    {
        Frame();
        Spiel::MitEingabe(ereignisse)();
    }
};

TEST_F(Steuerung, CameraKeysMoveFiftyUnitsPerSecond)
{
    struct Fall
    {
        std::vector<int> tasten;
        float x, z;
    };
    const Fall faelle[] = {
        {{GLFW_KEY_A}, -50, 0},
        {{GLFW_KEY_LEFT}, -50, 0},
        {{GLFW_KEY_D}, 50, 0},
        {{GLFW_KEY_RIGHT}, 50, 0},
        {{GLFW_KEY_W}, 0, -50},
        {{GLFW_KEY_UP}, 0, -50},
        {{GLFW_KEY_S}, 0, 50},
        {{GLFW_KEY_DOWN}, 0, 50},
        {{GLFW_KEY_A, GLFW_KEY_LEFT}, -50, 0},  // both keys of a pair move once
        {{GLFW_KEY_A, GLFW_KEY_D}, 0, 0},       // opposite pairs cancel
        {{GLFW_KEY_W, GLFW_KEY_RIGHT}, 50, -50},
        {{}, 0, 0},
    };
    for (const Fall& f : faelle)
    {
        LoopFrame([&] {
            for (int t : f.tasten)
                layer.Taste(kKeyboard, t, true);
        });
        Spiel::Kamera kamera(500, 500);
        for (int i = 0; i < 60; ++i)
        {
            kamera.Steuere(Keyboard(), kBild);
            LoopFrame();
        }
        EXPECT_NEAR(kamera.mX, 500 + f.x, 1e-3f) << f.tasten.size() << " keys";
        EXPECT_NEAR(kamera.mZ, 500 + f.z, 1e-3f) << f.tasten.size() << " keys";
        LoopFrame([&] {
            for (int t : f.tasten)
                layer.Taste(kKeyboard, t, false);
        });
    }
    Spiel::Kamera ohne(1, 2);
    ohne.Steuere(nullptr, 1.0f);
    EXPECT_EQ(ohne.mX, 1.0f);
}

TEST_F(Steuerung, EachFrameTheWheelTurnedIsOneStep)
{
    Spiel::Kamera kamera(0, 0);
    auto zoome = [&] { kamera.Zoome(Mouse()->GetAxisAbsolute(2)); };
    LoopFrame([&] { layer.Rad(kMouse, -120); });
    zoome();
    EXPECT_EQ(kamera.mWunschAbstand, 250.0f);
    // The wheel at rest: no further steps (the axis is this frame's sum, not a running total).
    for (int i = 0; i < 5; ++i)
    {
        LoopFrame();
        zoome();
    }
    EXPECT_EQ(kamera.mWunschAbstand, 250.0f);
    LoopFrame([&] {
        layer.Rad(kMouse, 120);
        layer.Rad(kMouse, 120);
    });
    zoome();
    EXPECT_EQ(kamera.mWunschAbstand, 200.0f);
}

TEST_F(Steuerung, KeysOfTheFramesPollActInThatFrame)
{
    LoopFrame([&] {
        layer.Taste(kKeyboard, GLFW_KEY_F1, true);
        layer.Knopf(kMouse, 0, true);
    });
    EXPECT_TRUE(Keyboard()->WasKeyPressed(0x3B));
    EXPECT_TRUE(Mouse()->WasButtonPressed(0));
    EXPECT_THAT(handler.Take(), ::testing::Contains("key 59 down"));
    LoopFrame([&] { layer.Knopf(kMouse, 0, false); });
    EXPECT_FALSE(Keyboard()->WasKeyPressed(0x3B));
    EXPECT_TRUE(Mouse()->WasButtonReleased(0));
}

// Keys and buttons read once a frame count every change the frame's events brought, however
// short: a tap within one frame is pressed in that frame and released in the next, a release
// and press within one frame of a held key is both, and a held key is pressed once.
TEST_F(Steuerung, TapsShorterThanAFrameCountOnce)
{
    struct Geraet
    {
        const char* name;
        std::function<void(bool)> setze;
        std::function<std::string()> lies;
    };
    auto text = [](bool gedrueckt, bool losgelassen, bool unten) {
        return std::string(gedrueckt ? "P" : "-") + (losgelassen ? "R" : "-") + (unten ? "D" : "-");
    };
    const Geraet geraete[] = {
        {"F1", [&](bool d) { layer.Taste(kKeyboard, GLFW_KEY_F1, d); },
         [&] { return text(Keyboard()->WasKeyPressed(0x3B), Keyboard()->WasKeyReleased(0x3B), Keyboard()->IsKeyDown(0x3B)); }},
        {"button 0", [&](bool d) { layer.Knopf(kMouse, 0, d); },
         [&] { return text(Mouse()->WasButtonPressed(0), Mouse()->WasButtonReleased(0), Mouse()->IsButtonDown(0)); }},
    };
    struct Fall
    {
        const char* name;
        std::vector<std::vector<bool>> bilder;  // the changes of each frame's event poll
        std::vector<std::string> gelesen;       // what the loop reads after each frame
    };
    const Fall faelle[] = {
        {"tap within one frame", {{true, false}, {}, {}}, {"P--", "-R-", "---"}},
        {"held over frames", {{true}, {}, {false}, {}}, {"P-D", "--D", "-R-", "---"}},
        {"quick re-press of a held key", {{true}, {false, true}, {}, {false}}, {"P-D", "PRD", "--D", "-R-"}},
        {"a tap in each of two frames", {{true, false}, {true, false}, {}}, {"P--", "PR-", "-R-"}},
        {"tap, then pressed again in the next frame", {{true, false}, {true}, {false}}, {"P--", "PRD", "-R-"}},
    };
    for (const Geraet& g : geraete)
        for (const Fall& f : faelle)
        {
            for (size_t i = 0; i < f.bilder.size(); ++i)
            {
                LoopFrame([&] {
                    for (bool d : f.bilder[i])
                        g.setze(d);
                });
                EXPECT_EQ(g.lies(), f.gelesen[i]) << g.name << ", " << f.name << ", frame " << i;
            }
            LoopFrame();
        }
}

TEST_F(Steuerung, ConsoleTakesTheInputAndGivesItBack)
{
    Recorder konsole;
    struct Fall
    {
        uint8_t sichtbar;
        bool konsoleHatEingabe;
        uint8_t sichtbarDanach;
        bool konsoleDanach;
    };
    const Fall faelle[] = {
        {0, false, 1, true},   // closed: opens and takes the input
        {1, true, 0, false},   // open with the input: closes, the build bar gets it back
        {1, false, 1, true},   // open but without the input: takes it
    };
    for (const Fall& f : faelle)
    {
        uint8_t sichtbar = f.sichtbar;
        System()->SetHandler(f.konsoleHatEingabe ? static_cast<ORVIS::InputHandler*>(&konsole) : &handler);
        Spiel::SchalteKonsoleUm(sichtbar, &konsole, *System(), &handler);
        EXPECT_EQ(sichtbar, f.sichtbarDanach);
        EXPECT_EQ(System()->GetHandler(), f.konsoleDanach ? static_cast<ORVIS::InputHandler*>(&konsole) : &handler);
    }

    // F11 twice: keys reach the build bar again.
    uint8_t sichtbar = 0;
    System()->SetHandler(&handler);
    Spiel::SchalteKonsoleUm(sichtbar, &konsole, *System(), &handler);
    LoopFrame([&] { layer.Taste(kKeyboard, GLFW_KEY_2, true); });
    EXPECT_THAT(konsole.Take(), ::testing::Contains("key 3 down"));
    EXPECT_THAT(handler.Take(), ::testing::Not(::testing::Contains("key 3 down")));
    Spiel::SchalteKonsoleUm(sichtbar, &konsole, *System(), &handler);
    LoopFrame([&] { layer.Taste(kKeyboard, GLFW_KEY_2, false); });
    EXPECT_THAT(handler.Take(), ::testing::Contains("key 3 up"));
}

}  // namespace
