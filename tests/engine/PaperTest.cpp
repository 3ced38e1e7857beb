#include "engine/Paper.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

SketchHeader ValidHeader(uint32_t w = 8, uint32_t h = 8, uint32_t rough = 5)
{
    SketchHeader hd{};
    std::memcpy(hd.magic, "QLXF", 4);
    hd.headerSize = 28;
    hd.version = 1;
    hd.width = w;
    hd.height = h;
    hd.roughness = rough;
    return hd;
}

}  // namespace

TEST(Paper, LayoutIsBottomUpWithPaddedRows)
{
    CPaper p;
    ASSERT_TRUE(p.Create(5, 4, 5));
    EXPECT_EQ(p.GetStride(), 8u);
    EXPECT_EQ(p.GetImageSize(), 32u);
    for (uint32_t i = 0; i < p.GetImageSize(); ++i) ASSERT_EQ(p.GetBits()[i], 255) << i;

    p.SetPixel(0, 0, 7);
    EXPECT_EQ(p.GetBits()[(4 - 1) * 8], 7);
    p.SetPixel(4, 3, 9);
    EXPECT_EQ(p.GetBits()[4], 9);

    CPaper big;
    ASSERT_TRUE(big.Create(2048, 2048, 10));
    EXPECT_EQ(big.GetStride(), 2048u);
}

TEST(Paper, InfoHeaderAndPaletteDescribeTheRaster)
{
    CPaper p;
    ASSERT_TRUE(p.Create(101, 30, 3));
    const uint8_t* bmi = p.GetBitmapInfo();
    auto le32 = [&](int off) { return uint32_t(bmi[off]) | uint32_t(bmi[off + 1]) << 8 | uint32_t(bmi[off + 2]) << 16 | uint32_t(bmi[off + 3]) << 24; };
    EXPECT_EQ(le32(0), 40u);
    EXPECT_EQ(le32(4), 101u);
    EXPECT_EQ(le32(8), 30u);
    EXPECT_EQ(bmi[12] | bmi[13] << 8, 1);
    EXPECT_EQ(bmi[14] | bmi[15] << 8, 8);
    for (int off = 16; off < 40; ++off) EXPECT_EQ(bmi[off], 0) << off;
    for (int i = 0; i < 256; ++i) {
        const uint8_t* e = bmi + 40 + 4 * i;
        ASSERT_TRUE(e[0] == i && e[1] == i && e[2] == i && e[3] == 0) << i;
    }
    SketchHeader h;
    p.GetHeader(h);
    EXPECT_EQ(std::memcmp(h.magic, "QLXF", 4), 0);
    EXPECT_EQ(h.headerSize, 28u);
    EXPECT_EQ(h.version, 1u);
    EXPECT_EQ(h.width, 101u);
    EXPECT_EQ(h.height, 30u);
    EXPECT_EQ(h.roughness, 3u);
    EXPECT_EQ(h.nDataSize, 0u);
}

TEST(Paper, InvalidHeadersAreRefusedAndLeaveThePaperEmpty)
{
    struct Case { const char* what; void (*edit)(SketchHeader&); };
    const Case cases[] = {
        {"width 3", [](SketchHeader& h) { h.width = 3; }},
        {"width 2049", [](SketchHeader& h) { h.width = 2049; }},
        {"height 3", [](SketchHeader& h) { h.height = 3; }},
        {"height 2049", [](SketchHeader& h) { h.height = 2049; }},
        {"roughness 0", [](SketchHeader& h) { h.roughness = 0; }},
        {"roughness 11", [](SketchHeader& h) { h.roughness = 11; }},
        {"version 2", [](SketchHeader& h) { h.version = 2; }},
        {"header size 27", [](SketchHeader& h) { h.headerSize = 27; }},
        {"magic", [](SketchHeader& h) { h.magic[3] = 'G'; }},
        {"negative width", [](SketchHeader& h) { h.width = 0xFFFFFFFFu; }},
    };
    for (const Case& c : cases) {
        CPaper p;
        ASSERT_TRUE(p.Create(16, 16, 5));
        SketchHeader h = ValidHeader();
        c.edit(h);
        EXPECT_FALSE(CPaper::IsValidHeader(h)) << c.what;
        EXPECT_FALSE(p.CreateFromHeader(h)) << c.what;
        EXPECT_EQ(p.GetBits(), nullptr) << c.what;
        EXPECT_EQ(p.GetWidth(), 0u) << c.what;
        EXPECT_EQ(p.GetRoughness(), 5u) << c.what;
    }
    for (auto [w, h, r] : {std::tuple{4u, 4u, 1u}, {2048u, 2048u, 10u}, {4u, 2048u, 1u}}) {
        CPaper p;
        EXPECT_TRUE(p.CreateFromHeader(ValidHeader(w, h, r))) << w << "x" << h;
    }
}

TEST(Paper, PixelAccessOutsideIsIgnored)
{
    CPaper p;
    EXPECT_EQ(p.GetPixel(0, 0), 0);
    p.SetPixel(0, 0, 1);  // no buffer: nothing happens
    ASSERT_TRUE(p.Create(10, 10, 5));
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {10, 0}, {0, 10}, {-2147483647 - 1, 5}}) {
        EXPECT_EQ(p.GetPixel(x, y), 0);
        p.SetPixel(x, y, 0);
    }
    for (uint32_t i = 0; i < p.GetImageSize(); ++i) ASSERT_EQ(p.GetBits()[i], 255);
}

TEST(Paper, GrainFollowsTheGeneratorAndRoughness)
{
    // The platform runtime's first value after srand(1) is 41.
    EXPECT_EQ(GrainRandom(1), 41u);
    EXPECT_EQ(GrainRandom(0), 38u);

    CPaper smooth;
    ASSERT_TRUE(smooth.Create(64, 64, 1));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) ASSERT_FALSE(smooth.IsGrain(x, y));

    CPaper rough;
    ASSERT_TRUE(rough.Create(300, 200, 10));
    int grain = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            const uint32_t offset = (199 - y) * 300 + x;
            const bool expected = GrainRandom(offset * offset) % 3 == 0;
            ASSERT_EQ(rough.IsGrain(x, y), expected) << x << "," << y;
            grain += expected;
        }
    EXPECT_NEAR(grain / 60000.0, 1.0 / 3.0, 0.03);
    EXPECT_FALSE(rough.IsGrain(-1, 0));
    EXPECT_FALSE(rough.IsGrain(300, 0));

    for (uint32_t r = 2; r <= 10; ++r) {
        CPaper p;
        ASSERT_TRUE(p.Create(40, 40, r));
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const uint32_t offset = (39 - y) * 40 + x;
                ASSERT_EQ(p.IsGrain(x, y), GrainRandom(offset * offset) % (23 - 2 * r) == 0);
            }
    }
}

TEST(Paper, GetRectBitsCopiesAndClears)
{
    CPaper p;
    ASSERT_TRUE(p.Create(10, 8, 5));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) p.SetPixel(x, y, uint8_t(y * 10 + x));

    // 5 wide: stride 8, bottom row first.
    std::vector<uint8_t> buf(8 * 3, 0xEE);
    ASSERT_TRUE(p.GetRectBits(CRect{2, 1, 7, 4}, buf.data(), false));
    EXPECT_EQ(buf[0], 32);   // row y = 3 first
    EXPECT_EQ(buf[4], 36);
    EXPECT_EQ(buf[5], 0xEE); // padding untouched
    EXPECT_EQ(buf[16], 12);  // row y = 1 last
    EXPECT_EQ(p.GetPixel(2, 1), 12);

    std::vector<uint8_t> none(16, 0xEE);
    EXPECT_FALSE(p.GetRectBits(CRect{6, 0, 11, 2}, none.data(), true));
    EXPECT_EQ(none[0], 0xEE);
    EXPECT_EQ(p.GetPixel(6, 0), 6);
    EXPECT_FALSE(p.GetRectBits(CRect{3, 3, 3, 5}, none.data(), false));

    ASSERT_TRUE(p.GetRectBits(CRect{6, 0, 11, 2}, nullptr, true));
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(p.GetPixel(x, 0), x >= 6 ? 255 : x);
        EXPECT_EQ(p.GetPixel(x, 2), 20 + x);
    }
    EXPECT_FALSE(p.GetRectBits(CRect{10, 0, 12, 2}, nullptr, true));

    CPaper empty;
    EXPECT_FALSE(empty.GetRectBits(CRect{0, 0, 1, 1}, nullptr, true));
}

TEST(Paper, PutRectBitsModes)
{
    CPaper p;
    ASSERT_TRUE(p.Create(8, 8, 5));
    const CRect r{1, 1, 3, 2};  // 2 x 1, stride 4
    uint8_t src[4] = {255, 40, 0, 0};
    p.SetPixel(1, 1, 100);
    p.SetPixel(2, 1, 110);

    ASSERT_TRUE(p.PutRectBits(r, src, PASTE_TRANSPARENT));
    EXPECT_EQ(p.GetPixel(1, 1), 100);
    EXPECT_EQ(p.GetPixel(2, 1), 40);

    ASSERT_TRUE(p.PutRectBits(r, src, PASTE_OPAQUE));
    EXPECT_EQ(p.GetPixel(1, 1), 255);

    p.SetPixel(1, 1, 100);
    p.SetPixel(2, 1, 110);
    uint8_t swap[4] = {1, 2, 0, 0};
    ASSERT_TRUE(p.PutRectBits(r, swap, PASTE_SWAP));
    EXPECT_EQ(p.GetPixel(1, 1), 1);
    EXPECT_EQ(swap[0], 100);
    ASSERT_TRUE(p.PutRectBits(r, swap, PASTE_SWAP));
    EXPECT_EQ(p.GetPixel(1, 1), 100);
    EXPECT_EQ(swap[0], 1);

    std::vector<uint8_t> white(4 * 8, 255);
    std::vector<uint8_t> before(p.GetBits(), p.GetBits() + p.GetImageSize());
    ASSERT_TRUE(p.PutRectBits(CRect{0, 0, 4, 8}, white.data(), PASTE_TRANSPARENT));
    EXPECT_EQ(std::vector<uint8_t>(p.GetBits(), p.GetBits() + p.GetImageSize()), before);

    // Clipping: a rectangle reaching past the paper writes only inside it.
    uint8_t clip[8] = {5, 6, 7, 8, 9, 10, 11, 12};
    ASSERT_TRUE(p.PutRectBits(CRect{6, 7, 10, 9}, clip, PASTE_OPAQUE));
    EXPECT_EQ(p.GetPixel(6, 7), 9);  // top row of the rect is the second stored row
    EXPECT_EQ(p.GetPixel(7, 7), 10);
    EXPECT_FALSE(p.PutRectBits(CRect{8, 0, 10, 2}, clip, PASTE_OPAQUE));
    EXPECT_FALSE(p.PutRectBits(CRect{0, 0, 0, 2}, clip, PASTE_OPAQUE));
    EXPECT_FALSE(p.PutRectBits(CRect{0, 0, 2, 2}, nullptr, PASTE_OPAQUE));
}

// Painting swaps a transparent floating piece in and out around every blit;
// no paper value and no piece value may change on the way, black included.
TEST(Paper, ExchangeInAndOutRestoreEveryValue)
{
    CPaper p;
    ASSERT_TRUE(p.Create(256, 256, 5));
    const CRect r{0, 0, 256, 256};
    std::vector<uint8_t> piece(256 * 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            p.SetPixel(x, y, uint8_t(x));
            piece[(255 - y) * 256 + x] = uint8_t(y);
        }
    const std::vector<uint8_t> paperBefore(p.GetBits(), p.GetBits() + p.GetImageSize());
    const std::vector<uint8_t> pieceBefore = piece;

    ASSERT_TRUE(p.PutRectBits(r, piece.data(), PASTE_EXCHANGE_IN));
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(p.GetPixel(x, y), y == 255 ? x : y) << x << "," << y;
    ASSERT_TRUE(p.PutRectBits(r, piece.data(), PASTE_EXCHANGE_OUT));

    EXPECT_EQ(std::vector<uint8_t>(p.GetBits(), p.GetBits() + p.GetImageSize()), paperBefore);
    EXPECT_EQ(piece, pieceBefore);
}

TEST(Paper, DetachAndFreeEmptyThePaper)
{
    CPaper p;
    EXPECT_EQ(p.DetachBits(), nullptr);
    ASSERT_TRUE(p.Create(6, 6, 7));
    p.SetPixel(0, 5, 3);
    PixelBuffer bits = p.DetachBits();
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits[0], 3);
    EXPECT_FALSE(p.HasBits());
    EXPECT_EQ(p.GetWidth(), 0u);
    EXPECT_EQ(p.GetRoughness(), 5u);
    EXPECT_EQ(p.GetImageSize(), 0u);
}

TEST(Paper, ExchangeOutWithoutInChangesNothing)
{
    CPaper p;
    ASSERT_TRUE(p.Create(4, 4, 5));
    p.SetPixel(1, 1, 0);
    uint8_t piece[16];
    for (int i = 0; i < 16; ++i) piece[i] = uint8_t(i * 10);
    EXPECT_FALSE(p.PutRectBits(CRect{0, 0, 4, 4}, piece, PASTE_EXCHANGE_OUT));
    EXPECT_EQ(p.GetPixel(1, 1), 0);
    EXPECT_EQ(p.GetPixel(0, 0), 255);
    EXPECT_EQ(piece[5], 50);
}
