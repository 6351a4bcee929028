// Vectors, matrices and colours: the composition order of the matrices, the colour packing
// with its rounding and clamping, and the text forms the property files use.
#include <gtest/gtest.h>

#include <limits>

#include <boost/lexical_cast.hpp>

#include "quarzklassen/kern/talphafarbe.h"
#include "quarzklassen/kern/tmatrix3.h"
#include "quarzklassen/kern/tmatrix4.h"

namespace
{
constexpr float kViertel = 1.5707963267948966f;

void ErwarteNahe(const BVektor<float>& ist, const BVektor<float>& soll)
{
    EXPECT_NEAR(ist.x, soll.x, 1e-6f);
    EXPECT_NEAR(ist.y, soll.y, 1e-6f);
    EXPECT_NEAR(ist.z, soll.z, 1e-6f);
}
} // namespace

TEST(Mathe, VektorOperationenUndText)
{
    BVektor<float> a(1, 2, 3);
    EXPECT_EQ(a + BVektor<float>(4, -1, 0.5f), BVektor<float>(5, 1, 3.5f));
    EXPECT_EQ(a - BVektor<float>(4, -1, 0.5f), BVektor<float>(-3, 3, 2.5f));
    a += a;
    EXPECT_EQ(a, BVektor<float>(2, 4, 6));
    a.Setze(3, 7, 4);
    EXPECT_EQ(a.OhneHoehe().Laenge(), 5.0f);
    EXPECT_EQ(boost::lexical_cast<std::string>(BVektor<float>(1, -2.5f, 3)), "1 -2.5 3\n");
    EXPECT_EQ(boost::lexical_cast<BVektor<float>>("  7 8\t9"), BVektor<float>(7, 8, 9));
}

TEST(Mathe, MatrixKonvention)
{
    // A quarter turn about y takes x to z; the placement's translation is in the fourth column.
    ErwarteNahe(TMatrix4::RotationY(kViertel).TransformierePunkt({1, 0, 0}), {0, 0, 1});
    ErwarteNahe(TMatrix4::RotationZ(kViertel).TransformierePunkt({1, 0, 0}), {0, -1, 0});
    ErwarteNahe(TMatrix3::RotationY(kViertel) * BVektor<float>(1, 0, 0), {0, 0, 1});
    const TMatrix4 t = TMatrix4::Verschiebung(10, 20, 30);
    EXPECT_TRUE(t[3] == 10 && t[7] == 20 && t[11] == 30 && t[15] == 1);

    // A *= B: first A, then B. Moved along x, then turned: the origin ends on z.
    TMatrix4 a = TMatrix4::Verschiebung(1, 0, 0);
    a *= TMatrix4::RotationY(kViertel);
    ErwarteNahe(a.TransformierePunkt({0, 0, 0}), {0, 0, 1});
    ErwarteNahe((TMatrix4::RotationY(kViertel) * TMatrix4::Verschiebung(1, 0, 0)).TransformierePunkt({0, 0, 0}),
                {1, 0, 0});
    // The world rule: scaled, then turned, then placed.
    TMatrix4 welt = TMatrix4::Skalierung(2, 2, 2);
    welt *= TMatrix4::RotationY(kViertel);
    welt *= TMatrix4::Verschiebung(5, 0, 5);
    ErwarteNahe(welt.TransformierePunkt({1, 0, 0}), {5, 0, 7});

    // Element by element on matrices without symmetry.
    TMatrix4 A, B;
    for (int i = 0; i < 16; ++i)
    {
        A[i] = static_cast<float>(i * i % 7) - 0.5f * static_cast<float>(i);
        B[i] = static_cast<float>(i % 5) + 0.25f * static_cast<float>(i);
    }
    const TMatrix4 produkt = A * B;
    TMatrix4 transponiert = A;
    transponiert.MultipliziereTransponiert(B);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
        {
            float summe = 0, summeT = 0;
            for (int k = 0; k < 4; ++k)
            {
                summe += B(r, k) * A(k, c);
                summeT += B(k, r) * A(k, c);
            }
            EXPECT_EQ(produkt(r, c), summe) << r << c;
            EXPECT_EQ(transponiert(r, c), summeT) << r << c;
        }
    const TMatrix3 m({1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(m * BVektor<float>(1, 0, -1), BVektor<float>(-2, -2, -2));
}

TEST(Mathe, FarbPackung)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct
    {
        TAlphaFarbe farbe;
        uint32_t argb;
    } faelle[] = {
        {{1, 0, 0, 1}, 0xFFFF0000u},
        {{0.5f, 0.5f, 0.5f, 0.5f}, 0x80808080u},
        {{0.2f, 0.4f, 0.6f, 0.8f}, 0xCC336699u},
        // Out of range: clamped, never spilling into the neighbouring channel.
        {{1.5f, -0.2f, 2.0f, 1.001f}, 0xFFFF00FFu},
        {{nan, 1e30f, -1e30f, 0}, 0x0000FF00u},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(FarbeNachARGB(f.farbe), f.argb) << std::hex << f.argb;

    const TAlphaFarbe f = FarbeAusARGB(0x80FF0000u);
    EXPECT_TRUE(f.r == 255 * 0.003921569f && f.g == 0 && f.b == 0 && f.a == 128 * 0.003921569f);
    for (uint32_t argb : {0u, 0xFFFFFFFFu, 0x12345678u, 0x80FF7F01u})
        EXPECT_EQ(FarbeNachARGB(FarbeAusARGB(argb)), argb) << std::hex << argb;
    EXPECT_EQ(boost::lexical_cast<TAlphaFarbe>("0.5 1 0 0.25"), TAlphaFarbe(0.5f, 1, 0, 0.25f));
}
