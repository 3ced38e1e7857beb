#include "DocTestSupport.h"

#include <atomic>

using namespace doctest;

extern std::atomic<size_t> g_failAllocationsFrom;  // the test program's operator new fails from this size

static CPoint RowStart(int i) { return CPoint{10, 5 + 6 * i}; }
static CPoint RowEnd(int i) { return CPoint{150, 5 + 6 * i}; }
static CRect RowArea(int i) { return CRect{0, 5 + 6 * i - 2, 200, 5 + 6 * i + 3}; }

// The first stroke is a tap of two points; it ends up in the base, drawn as it was live.
TEST_F(DocTest, TwentyOneStrokesLeaveTwentyUndosAndANewStrokeDiscardsTheRedoSteps)
{
    std::vector<std::vector<uint8_t>> after;
    ASSERT_TRUE(Drag({RowStart(0)}));
    EXPECT_EQ(doc->GetHistory()[0].pPoints->GetCount(), 2u);
    after.push_back(Pixels(doc->GetPaper()));
    for (int i = 1; i < 21; ++i) {
        Stroke(RowStart(i), RowEnd(i));
        after.push_back(Pixels(doc->GetPaper()));
    }
    doc->SetModifiedFlag(false);
    for (int i = 19; i >= -1; --i) {  // the last undo is disabled
        doc->OnCommand(ID_EDIT_UNDO);
        ASSERT_EQ(Pixels(doc->GetPaper()), after[std::max(i, 0)]) << i;
    }
    for (int i = 0; i < 21; ++i) doc->OnCommand(ID_EDIT_REDO);  // the last redo is disabled
    EXPECT_EQ(Pixels(doc->GetPaper()), after[20]);
    EXPECT_EQ(State(), "history 20 pos 20 selection 0 0 0 0 floating 0 modified 0");

    doc->OnEditUndo();
    doc->OnEditUndo();
    Stroke(RowStart(22), RowEnd(22));
    doc->OnEditRedo();
    EXPECT_EQ(State(), "history 19 pos 19 selection 0 0 0 0 floating 0 modified 1");
    EXPECT_TRUE(IsWhite(doc->GetPaper(), RowArea(19)) && IsWhite(doc->GetPaper(), RowArea(20)));
    EXPECT_FALSE(IsWhite(doc->GetPaper(), RowArea(18)) || IsWhite(doc->GetPaper(), RowArea(22)));
}

// A stroke drawn while memory ran out cannot be recorded; the sheet as it stands becomes the
// base, so that no undo or redo rebuilds a sheet without it.
TEST_F(DocTest, AStrokeThatCouldNotBeRecordedBecomesTheBase)
{
    Stroke(RowStart(0), RowEnd(0));
    ASSERT_TRUE(doc->PointerDown(&view, 10, 40, 10, 40));
    g_failAllocationsFrom = 1024;
    for (int32_t x = 11; x < 190; ++x) doc->PointerMove(x, 40 + x % 7, x, 40 + x % 7);
    doc->PointerUp(190, 40, 190, 40);
    g_failAllocationsFrom = SIZE_MAX;
    const std::vector<uint8_t> drawn = Pixels(doc->GetPaper());
    EXPECT_FALSE(IsWhite(doc->GetPaper(), CRect{100, 38, 110, 48}));
    EXPECT_EQ(doc->GetHistoryCount(), 0);
    EXPECT_TRUE(Pixels(doc->GetBasePaper()) == drawn && doc->IsModified());
    doc->OnEditUndo();
    doc->OnEditRedo();
    EXPECT_TRUE(Pixels(doc->GetPaper()) == drawn);
}
