#include "engine/Paper.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Bits(const CPaper& p) { return {p.GetBits(), p.GetBits() + p.GetImageSize()}; }

}  // namespace

TEST(Paper, GrainFollowsTheGeneratorAndRoughness)
{
    // The platform runtime's first values after srand(1) and srand(0).
    EXPECT_EQ(std::pair(GrainRandom(1), GrainRandom(0)), std::pair(41u, 38u));
    for (uint32_t r = 1; r <= 10; ++r) {
        CPaper p;
        ASSERT_TRUE(p.Create(150, 100, r));
        for (uint32_t offset = 0; offset < 100 * 152; ++offset) {  // the offset counts the row padding: stride 152
            const int x = int(offset % 152), y = 99 - int(offset / 152);
            const bool want = x < 150 && r > 1 && GrainRandom(offset * offset) % (23 - 2 * r) == 0;
            ASSERT_EQ(p.IsGrain(x, y), want) << r << ": " << x << "," << y;
        }
        EXPECT_FALSE(p.IsGrain(-1, 0));
    }
}

// Outside the paper, or on one without pixels, a pixel reads as 0 and is never written. A copy comes out bottom row
// first. Reaching past the paper, a copy is refused whole, while a clear alone or a paste is clipped; an empty
// rectangle, no block, or a block smaller than its rectangle is refused before a byte is read.
TEST(Paper, PixelsAndRectsAreReadAndWrittenOnThePaperOnly)
{
    CPaper p;
    EXPECT_EQ(p.GetPixel(0, 0), 0);
    p.SetPixel(0, 0, 1);
    ASSERT_TRUE(p.Create(10, 8, 5));
    for (int i = 0; i < 80; ++i) p.SetPixel(i % 10, i / 10, uint8_t(i));
    const std::vector<uint8_t> drawn = Bits(p);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {10, 0}, {0, 8}, {-2147483647 - 1, 5}}) {
        EXPECT_EQ(p.GetPixel(x, y), 0) << x << "," << y;
        p.SetPixel(x, y, 200);
    }
    EXPECT_EQ(Bits(p), drawn);
    std::vector<uint8_t> buf(8 * 3, 0xEE);  // 5 wide: stride 8, bottom row first
    ASSERT_TRUE(p.GetRectBits(CRect{2, 1, 7, 4}, buf.data(), false));
    EXPECT_EQ((std::tuple{buf[0], buf[4], buf[5], buf[16], p.GetPixel(2, 1)}), (std::tuple{32, 36, 0xEE, 12, 12}));
    const CRect past{6, 0, 11, 2};  // beyond the right edge
    EXPECT_FALSE(p.GetRectBits(past, buf.data(), true) || p.GetRectBits(CRect{3, 3, 3, 5}, buf.data(), false) ||
                 p.GetRectBits(CRect{10, 0, 12, 2}, nullptr, true) || CPaper().GetRectBits(past, nullptr, true));
    EXPECT_EQ((std::pair<int, int>{buf[0], p.GetPixel(6, 0)}), std::pair(32, 6));
    ASSERT_TRUE(p.GetRectBits(past, nullptr, true));
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ((std::pair<int, int>(p.GetPixel(x, 0), p.GetPixel(x, 2))), std::pair(x >= 6 ? 255 : x, 20 + x)) << x;
    uint8_t clip[8] = {5, 6, 7, 0, 9, 10, 11, 0};  // 3 wide: stride 4, bottom row first
    ASSERT_TRUE(p.PutRectBits(CRect{8, 6, 11, 8}, clip, sizeof clip, PASTE_OPAQUE));
    const std::vector<int> at{p.GetPixel(8, 7), p.GetPixel(9, 7), p.GetPixel(8, 6), p.GetPixel(9, 6), p.GetPixel(7, 6)};
    EXPECT_EQ(at, (std::vector<int>{5, 6, 9, 10, 67}));
    const std::vector<uint8_t> unchanged = Bits(p);
    EXPECT_FALSE(p.PutRectBits(CRect{10, 0, 12, 2}, clip, sizeof clip, PASTE_OPAQUE) ||
                 p.PutRectBits(CRect{0, 0, 0, 2}, clip, sizeof clip, PASTE_OPAQUE) ||
                 p.PutRectBits(CRect{0, 0, 2, 2}, nullptr, 4, PASTE_OPAQUE) ||
                 p.PutRectBits(CRect{0, 0, 4, 3}, clip, sizeof clip, PASTE_OPAQUE) ||
                 p.PutRectBits(CRect{0, 0, 5, 1}, clip, 7, PASTE_SWAP));
    EXPECT_EQ(Bits(p), unchanged);
}

// Every paper value meets every piece value: column x of the paper holds x,
// row y of the piece holds y. Only 255 is transparent, black included; the
// two-way modes give back exactly what they took.
TEST(Paper, PutRectBitsCombinesEveryPairOfValuesInEachMode)
{
    const CRect r{0, 0, 256, 256};
    for (int mode : {PASTE_TRANSPARENT, PASTE_OPAQUE, PASTE_SWAP, PASTE_EXCHANGE_IN}) {
        CPaper p;
        ASSERT_TRUE(p.Create(256, 256, 5));
        std::vector<uint8_t> piece(256 * 256);  // both bottom row first, stride 256
        for (size_t i = 0; i < piece.size(); ++i) p.GetBits()[i] = uint8_t(i), piece[i] = uint8_t(255 - i / 256);
        const std::vector<uint8_t> paperBefore = Bits(p), pieceBefore = piece;
        // Out without in first: refused, nothing changes.
        EXPECT_FALSE(p.PutRectBits(r, piece.data(), piece.size(), PASTE_EXCHANGE_OUT));
        EXPECT_TRUE(Bits(p) == paperBefore && piece == pieceBefore);

        ASSERT_TRUE(p.PutRectBits(r, piece.data(), piece.size(), mode));
        const bool transparent = mode == PASTE_TRANSPARENT || mode == PASTE_EXCHANGE_IN;
        int wrong = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) wrong += p.GetPixel(x, y) != (transparent && y == 255 ? x : y);
        EXPECT_EQ(wrong, 0) << mode;
        if (mode == PASTE_SWAP || mode == PASTE_EXCHANGE_IN) {
            EXPECT_TRUE(mode != PASTE_SWAP || piece == paperBefore);
            ASSERT_TRUE(p.PutRectBits(r, piece.data(), piece.size(), mode == PASTE_SWAP ? mode : PASTE_EXCHANGE_OUT));
            EXPECT_TRUE(Bits(p) == paperBefore) << mode;
        }
        EXPECT_TRUE(piece == pieceBefore) << mode;
    }
}
