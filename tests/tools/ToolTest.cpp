// What the pencil and the eraser share: presses off the paper declined, strokes that leave it clipped; and the
// eraser's stamp.

#include "ToolTestSupport.h"

TEST(DrawingTools, PressesOffThePaperAreDeclinedAndMarksStayOnIt)
{
    for (const ToolSetting& s : {ToolSetting{true, 0, 3, 1}, ToolSetting{false, 3, 3, 0}}) {
        const auto tool = s.Make();
        for (const CPoint& p : {CPoint{-1, 0}, CPoint{0, -1}, CPoint{13, 5}, CPoint{5, 16}, CPoint{-100, 900}}) {
            Sheet paper(13, 16, 1, 128);
            CRect changed{1, 1, 5, 5};
            EXPECT_EQ((std::tuple{tool->OnPointerDown(nullptr, &paper, p.x, p.y, 0, 0, changed, 1), changed.IsEmpty(),
                                  PixelsNot(paper, 128).size()}),
                      (std::tuple{0, true, size_t{0}}))
                << s.Name();
        }
        CRect changed;
        CPaper empty;
        EXPECT_EQ(tool->OnPointerDown(nullptr, nullptr, 0, 0, 0, 0, changed, 1), 0);
        EXPECT_EQ(tool->OnPointerDown(nullptr, &empty, 0, 0, 0, 0, changed, 1), 0);
    }

    // Strokes may leave the paper; the row padding stays untouched.
    Sheet narrow(13, 8);
    const auto pencil = MakeTool<CPencilTool>(0, 3, 1);
    EXPECT_EQ(DrawStroke(*pencil, narrow, {{0, 4}, {-40, 7}, {30, 4}, {12, 60}, {12, 60}}).nType, HR_PENCIL);
    EXPECT_FALSE(PixelsNot(narrow, 255).empty());
    for (uint32_t row = 0; row < narrow.GetHeight(); ++row)
        for (uint32_t col = 13; col < narrow.GetStride(); ++col)
            EXPECT_EQ(narrow.GetBits()[row * narrow.GetStride() + col], 255);

    // A disc at the corner lightens only its quarter inside the paper.
    Sheet paper(16, 16, 10, 0);
    const auto eraser = MakeTool<CEraserTool>(3, 3);
    EXPECT_EQ(Points(DrawStroke(*eraser, paper, {{0, 0}, {-50, 400}, {15, 15}, {15, 15}})).size(), 4u);
    const std::pair<CPoint, int> want[] = {{{0, 0}, 181}, {{9, 0}, 1}, {{0, 9}, 1}, {{15, 15}, 181}, {{7, 7}, 0}};
    for (const auto& [p, v] : want) EXPECT_EQ(paper.GetPixel(p.x, p.y), v) << p.x << "," << p.y;
}

// One stamp at (30, 30) on a sheet of one gray, from the centre outwards: the centre moves by the strength, the rim
// by exactly one level, and one pixel further out nothing changes; white stays white and 254 turns white. The
// quadrant is mirrored: all four directions agree.
TEST(EraserTool, AStampLightensARoundDisc)
{
    // gray, size, strength, pixels changed, values at distance 0 .. r + 1
    struct Row { int gray, size, strength; size_t disc; std::vector<int> values; };
    const Row rows[] = {
        {0, 1, 1, 29, {61, 54, 34, 1, 0}},
        {0, 1, 3, 29, {181, 161, 101, 1, 0}},
        {0, 2, 2, 113, {121, 117, 107, 91, 67, 37, 1, 0}},
        {0, 3, 1, 253, {61, 60, 58, 54, 49, 42, 34, 24, 13, 1, 0}},
        {100, 1, 1, 29, {137, 133, 121, 101, 100}},
        {100, 1, 2, 29, {173, 165, 141, 101, 100}},
        {100, 3, 3, 253, {210, 208, 204, 198, 188, 176, 161, 144, 123, 101, 100}},
        {254, 3, 3, 253, {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 254}},
        {255, 3, 3, 0, {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.gray) + " " + std::to_string(row.size) + "/" + std::to_string(row.strength));
        Sheet paper(64, 64, 10, row.gray);
        CRect changed;
        const auto eraser = MakeTool<CEraserTool>(row.size, row.strength);
        ASSERT_EQ(eraser->OnPointerDown(nullptr, &paper, 30, 30, 30, 30, changed, 0), 1);
        const auto at = [&](int dx, int dy) { return int(paper.GetPixel(30 + dx, 30 + dy)); };
        for (int32_t k = 0; k < int32_t(row.values.size()); ++k)
            EXPECT_EQ((std::vector<int>{at(k, 0), at(-k, 0), at(0, k), at(0, -k)}), std::vector<int>(4, row.values[k]))
                << k;
        const PixelSet touched = PixelsNot(paper, uint8_t(row.gray));
        const int32_t r = 3 * row.size;
        EXPECT_EQ((std::pair{touched.size(), changed}), (std::pair{row.disc, CRect{29 - r, 29 - r, 31 + r, 31 + r}}));
    }
}
