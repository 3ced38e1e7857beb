#include "DocTestSupport.h"

using namespace doctest;

TEST_F(DocTest, BandsBelowFivePixelsSelectNothingBandsAreClampedToThePaperAndPiecesLiftAndMove)
{
    // 4 x 40, 40 x 4, 5 x 5; dragged up and left; beyond the bottom right; beyond the top left; clamped below
    // the minimum; wholly below the paper.
    const struct { CPoint from, to; CRect expected; } cases[] = {
        {{10, 10}, {14, 50}, {}}, {{10, 10}, {50, 14}, {}}, {{10, 10}, {15, 15}, {10, 10, 15, 15}},
        {{50, 60}, {20, 30}, {20, 30, 50, 60}}, {{190, 140}, {250, 300}, {190, 140, 200, 150}},
        {{-30, -20}, {40, 30}, {0, 0, 40, 30}}, {{-30, -20}, {2, 60}, {}}, {{-30, 160}, {300, 200}, {}}};
    doc->OnCommand(ID_TOOL_SELECT);
    for (const auto& c : cases) {  // each press lands outside the selection before it
        ASSERT_TRUE(Drag({c.from, c.to}));
        EXPECT_EQ(doc->GetSelection().GetRect(), c.expected) << c.from.x << "," << c.from.y << " " << c.to.x;
    }
    EXPECT_EQ(State(), "history 0 pos 0 selection 0 0 0 0 floating 0 modified 0");
    view.scroll = CPoint{30, 40};  // the band is made of paper pixels
    ASSERT_TRUE(Drag({{50, 60}, {70, 90}}));
    EXPECT_EQ(doc->GetSelection().GetRect(), (CRect{50, 60, 70, 90}));
    view.scroll = CPoint{};

    Put(20, 20, 0);
    Put(24, 24, 100);
    Band(CRect{20, 20, 30, 30});
    doc->SetModifiedFlag(false);

    // A press inside lifts: the place turns white, the lift is recorded. Then a real move.
    ASSERT_TRUE(doc->PointerDown(&view, 25, 25, 25, 25));
    EXPECT_EQ(State(), "history 1 pos 1 selection 20 20 30 30 floating 1 modified 1");
    EXPECT_TRUE(IsWhite(doc->GetPaper(), CRect{20, 20, 30, 30}));
    doc->PointerUp(25, 25, 25, 25);
    ASSERT_TRUE(doc->PointerDown(&view, 25, 25, 25, 25));
    doc->PointerMove(30, 25, 30, 25);  // five pixels pass the threshold, and move nothing yet
    EXPECT_EQ(doc->GetSelection().GetRect(), (CRect{20, 20, 30, 30}));
    doc->PointerMove(35, 22, 35, 22);
    EXPECT_EQ(doc->GetSelection().GetRect(), (CRect{30, 17, 40, 27}));
    doc->PointerMove(-100, 22, -100, 22);  // off the paper is allowed for a floating piece
    doc->PointerUp(-100, 22, -100, 22);
    EXPECT_EQ(State(), "history 1 pos 1 selection -105 17 -95 27 floating 1 modified 1");  // nothing lifted twice

    // A press outside puts the piece down and starts a band.
    ASSERT_TRUE(Drag({{100, 100}, {110, 120}}));
    EXPECT_EQ(State(), "history 2 pos 2 selection 100 100 110 120 floating 0 modified 1");

    // A selection too small for a piece of paper: the lift must be refused.
    Put(11, 11, 0);
    doc->SelectRect(CRect{10, 10, 13, 13});
    doc->SetModifiedFlag(false);
    ASSERT_TRUE(Drag({{11, 11}, {40, 40}, {60, 60}}));
    EXPECT_EQ(doc->GetPaper().GetPixel(11, 11), 0);
    EXPECT_EQ(State(), "history 0 pos 0 selection 10 10 13 13 floating 0 modified 0");
}

// A piece of every gray moved onto a sheet of 60: put down transparent, its white alone stays out.
TEST_F(DocTest, ATransparentDropLeavesTheWhitePixelsOfThePieceOut)
{
    for (int transparent : {1, 0}) {
        ASSERT_TRUE(doc->OnNewDocument());
        const CRect square{10, 10, 26, 26};
        PaintSheet(*doc, [&](int32_t x, int32_t y) { return square.Contains(x, y) ? y * 16 + x - 170 : 60; });
        doc->SetTransparent(transparent);
        Band(CRect{10, 10, 26, 26});
        ASSERT_TRUE(Drag({{15, 15}, {25, 15}, {105, 65}}));
        ASSERT_EQ(doc->GetSelection().GetRect(), (CRect{100, 60, 116, 76}));
        doc->DropSelection();
        for (int gray = 0; gray < 256; ++gray)
            EXPECT_EQ(doc->GetPaper().GetPixel(100 + gray % 16, 60 + gray / 16), transparent && gray == 255 ? 60 : gray)
                << gray;
        EXPECT_EQ(doc->GetHistory().back().nParam1, transparent);
        const auto dropped = Pixels(doc->GetPaper());  // the drop replays the same way
        doc->OnEditUndo();
        doc->OnEditRedo();
        EXPECT_EQ(Pixels(doc->GetPaper()), dropped);
    }
}
