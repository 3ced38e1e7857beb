// What the pencil and the eraser share: presses off the paper declined, strokes that leave it clipped.

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
