// What the pencil and the eraser share: options brought into range, presses off the paper declined, strokes that
// leave it clipped.

#include "ToolTestSupport.h"

TEST(DrawingTools, OptionsAndPressureAreClampedIntoRange)
{
    // pencil: grade, width, smooth in, then out (smooth is kept as given); eraser: size, strength in, then out
    const int32_t pencilCases[][6] = {
        {-3, 0, 0, 0, 1, 0}, {40, 9, 1, 11, 3, 1}, {7, 2, 5, 7, 2, 5}, {11, 3, -1, 11, 3, -1}};
    const int32_t eraserCases[][4] = {{0, 7, 1, 3}, {-5, 0, 1, 1}, {2, 2, 2, 2}, {99, -99, 3, 1}};
    CPencilTool pencil;
    CEraserTool eraser;
    int32_t a = -1, b = -1, c = -1;
    for (const auto& t : pencilCases) {
        pencil.SetOptions(t[0], t[1], t[2]);
        pencil.GetOptions(a, b, c);
        EXPECT_EQ((std::tuple{a, b, c}), (std::tuple{t[3], t[4], t[5]})) << t[0] << " " << t[1];
    }
    for (const auto& t : eraserCases) {
        eraser.SetOptions(t[0], t[1]);
        eraser.GetOptions(a, b);
        EXPECT_EQ((std::pair{a, b}), (std::pair{t[2], t[3]})) << t[0] << " " << t[1];
    }
    for (auto [in, out] : {std::pair{-5, 0}, {300, 300}, {kFullPressure + 1, kFullPressure}}) {
        pencil.SetPressure(in);
        EXPECT_EQ(pencil.GetPressure(), out);
    }
    pencil.m_bPressure = 0;  // pressure off: always pressed fully
    EXPECT_EQ(pencil.GetPressure(), kFullPressure);
}

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
