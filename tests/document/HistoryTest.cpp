#include "DocTestSupport.h"

#include "FailingAllocator.h"

using namespace doctest;

namespace {

CPoint RowStart(int i) { return CPoint{10, 5 + 6 * i}; }
CPoint RowEnd(int i) { return CPoint{150, 5 + 6 * i}; }
CRect RowArea(int i) { return CRect{0, 5 + 6 * i - 2, 200, 5 + 6 * i + 3}; }

}  // namespace

TEST_F(DocTest, TwentyOneStrokesLeaveTwentyUndosAndTheFirstStrokeFolded)
{
    std::vector<uint8_t> first;
    for (int i = 0; i < 21; ++i) {
        Stroke(RowStart(i), RowEnd(i));
        if (i == 0) first = Pixels(doc->m_paper);
        EXPECT_LE(doc->GetHistoryCount(), 20);
    }
    const auto last = Pixels(doc->m_paper);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(doc->CanUndo()) << i;
        doc->OnEditUndo();
    }
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_EQ(State(), "history 20 pos 0 selection 0 0 0 0 floating 0 modified 1");
    // The first stroke now lives in the base paper, exactly as it was drawn live.
    EXPECT_EQ(Pixels(doc->m_basePaper), first);
    doc->OnEditUndo();  // disabled: nothing happens
    EXPECT_EQ(Pixels(doc->m_paper), first);
    while (doc->CanRedo()) doc->OnEditRedo();
    EXPECT_EQ(Pixels(doc->m_paper), last);
}

TEST_F(DocTest, UndoAndRedoAreEnabledByThePositionLeaveModifiedAloneAndANewStrokeDiscardsRedo)
{
    const auto enabled = [&] {
        CCmdUI undo(ID_EDIT_UNDO), redo(ID_EDIT_REDO);
        EXPECT_TRUE(doc->OnUpdateCommand(undo) && doc->OnUpdateCommand(redo));
        return std::pair(undo.m_bEnabled, redo.m_bEnabled);
    };
    EXPECT_EQ(enabled(), std::pair(false, false));
    std::vector<std::vector<uint8_t>> after;
    for (int i = 0; i < 3; ++i) {
        Stroke(RowStart(i), RowEnd(i));
        after.push_back(Pixels(doc->m_paper));
    }
    EXPECT_EQ(enabled(), std::pair(true, false));
    doc->SetModifiedFlag(false);
    doc->OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(Pixels(doc->m_paper), after[1]);
    EXPECT_EQ(enabled(), std::pair(true, true));
    doc->OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(Pixels(doc->m_paper), after[0]);
    doc->OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(enabled(), std::pair(false, true));
    doc->OnCommand(ID_EDIT_REDO);
    doc->OnCommand(ID_EDIT_REDO);
    EXPECT_EQ(Pixels(doc->m_paper), after[1]);
    EXPECT_EQ(State(), "history 3 pos 2 selection 0 0 0 0 floating 0 modified 0");
    doc->SetModifiedFlag(true);
    doc->OnEditUndo();
    EXPECT_TRUE(doc->IsModified());

    Stroke(RowStart(5), RowEnd(5));  // two steps below the top: the undone strokes are gone for good
    doc->OnEditRedo();
    EXPECT_EQ(State(), "history 2 pos 2 selection 0 0 0 0 floating 0 modified 1");
    EXPECT_EQ(enabled(), std::pair(true, false));
    EXPECT_TRUE(IsWhite(doc->m_paper, RowArea(1)) && IsWhite(doc->m_paper, RowArea(2)));
    EXPECT_FALSE(IsWhite(doc->m_paper, RowArea(0)) || IsWhite(doc->m_paper, RowArea(5)));
}

TEST_F(DocTest, UndoWhileAPieceFloatsRemovesThePieceThenRestoresItsPlace)
{
    Stroke(CPoint{20, 30}, CPoint{60, 30});
    const auto drawn = Pixels(doc->m_paper);
    Band(CRect{10, 20, 70, 40});
    ASSERT_TRUE(Drag({{30, 30}, {40, 30}, {130, 100}}));  // lifts and moves the piece well away
    ASSERT_EQ(State(), "history 2 pos 2 selection 110 90 170 110 floating 1 modified 1");  // the stroke and the lift
    EXPECT_TRUE(IsWhite(doc->m_paper, CRect{10, 20, 70, 40}));
    doc->OnEditUndo();
    // The drop was recorded, then undone.
    EXPECT_EQ(State(), "history 3 pos 2 selection 0 0 0 0 floating 0 modified 1");
    EXPECT_TRUE(IsWhite(doc->m_paper, CRect{0, 0, 200, 150}));
    doc->OnEditUndo();
    EXPECT_EQ(Pixels(doc->m_paper), drawn);
}

TEST_F(DocTest, HandDragsAndBandsRecordNothingAndKeepRedo)
{
    Stroke(RowStart(0), RowEnd(0));
    Stroke(RowStart(1), RowEnd(1));
    doc->OnEditUndo();
    doc->SetModifiedFlag(false);
    doc->OnCommand(ID_TOOL_HAND);
    EXPECT_TRUE(Drag({{50, 50}, {60, 70}}));
    EXPECT_TRUE(Drag({{-50, -50}, {-40, -40}}));  // the hand takes presses off the paper too
    Band(CRect{20, 20, 80, 80});
    EXPECT_EQ(State(), "history 2 pos 1 selection 20 20 80 80 floating 0 modified 0");
}

TEST_F(DocTest, APencilTapRecordsTwoPointsAndReplaysTheSameDot)
{
    ASSERT_TRUE(Drag({{50, 50}}));
    ASSERT_EQ(doc->GetHistoryCount(), 1);
    ASSERT_NE(doc->m_history[0].pPoints, nullptr);
    EXPECT_EQ(doc->m_history[0].pPoints->GetCount(), 2u);
    const auto dot = Pixels(doc->m_paper);
    EXPECT_FALSE(IsWhite(doc->m_paper, CRect{45, 45, 56, 56}));
    doc->OnEditUndo();
    EXPECT_TRUE(IsWhite(doc->m_paper, CRect{0, 0, 200, 150}));
    doc->OnEditRedo();
    EXPECT_EQ(Pixels(doc->m_paper), dot);
}

TEST_F(DocTest, ShortRecordsReplayWithoutReadingBeyondTheirList)
{
    CPaper paper, again;
    ASSERT_TRUE(paper.Create(40, 30, 3) && again.Create(40, 30, 3));
    // Damaged records: no list, an empty one, one point, a paste without its block.
    for (int type : {int{HR_PENCIL}, int{HR_ERASER}, int{HR_PASTE}, int{HR_CLEAR}, 7}) {
        HistoryRecord damaged;
        damaged.nType = type;
        CQuillexDoc::ApplyHistoryRecord(damaged, paper);
        damaged.pPoints = std::make_unique<StrokePointList>();
        CQuillexDoc::ApplyHistoryRecord(damaged, paper);
        if (type == HR_PENCIL || type == HR_ERASER) continue;
        damaged.pPoints->Append(1, 1);
        CQuillexDoc::ApplyHistoryRecord(damaged, paper);
        damaged.pPoints->Append(9, 9);
        if (type == HR_PASTE) CQuillexDoc::ApplyHistoryRecord(damaged, paper);
    }
    EXPECT_TRUE(IsWhite(paper, CRect{0, 0, 40, 30}));

    // Whatever the pencil makes of a lone point, it makes it the same way twice.
    HistoryRecord single;
    single.nType = HR_PENCIL;
    single.nParam2 = 3 << 16;
    single.pPoints = std::make_unique<StrokePointList>();
    single.pPoints->Append(20, 15);
    CQuillexDoc::ApplyHistoryRecord(single, paper);
    again.CopyBitsFrom(paper);
    CQuillexDoc::ApplyHistoryRecord(single, again);
    CQuillexDoc::ApplyHistoryRecord(single, paper);
    EXPECT_EQ(Pixels(paper), Pixels(again));
}

// A stroke drawn while memory ran out cannot be recorded; the sheet as it stands becomes the
// base, so that no undo or redo rebuilds a sheet without it.
TEST_F(DocTest, AStrokeThatCouldNotBeRecordedBecomesTheBase)
{
    Stroke(RowStart(0), RowEnd(0));
    doc->RemoveView(&recorder);  // its list of hints would run out of memory first
    ASSERT_TRUE(doc->PointerDown(&view, 10, 40, 10, 40));
    g_failAllocationsFrom = 1024;
    for (int32_t x = 11; x < 190; ++x) doc->PointerMove(x, 40 + x % 7, x, 40 + x % 7);
    doc->PointerUp(190, 40, 190, 40);
    g_failAllocationsFrom = SIZE_MAX;
    const std::vector<uint8_t> drawn = Pixels(doc->m_paper);
    EXPECT_FALSE(IsWhite(doc->m_paper, CRect{100, 38, 110, 48}));
    EXPECT_EQ(doc->GetHistoryCount(), 0);
    EXPECT_TRUE(Pixels(doc->m_basePaper) == drawn);
    EXPECT_TRUE(doc->IsModified());
    doc->OnEditUndo();
    doc->OnEditRedo();
    EXPECT_TRUE(Pixels(doc->m_paper) == drawn);
}
