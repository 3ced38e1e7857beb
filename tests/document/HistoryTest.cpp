#include "DocTestSupport.h"

#include "tools/PencilTool.h"

using namespace doctest;

namespace {

CPoint RowStart(int i) { return CPoint{10, 5 + 6 * i}; }
CPoint RowEnd(int i) { return CPoint{150, 5 + 6 * i}; }
CRect RowArea(int i) { return CRect{0, 5 + 6 * i - 2, 200, 5 + 6 * i + 3}; }

}  // namespace

TEST_F(DocTest, TwentyOneStrokesLeaveTwentyUndosAndTheFirstStrokeFolded)
{
    for (int i = 0; i < 21; ++i) {
        Stroke(RowStart(i), RowEnd(i));
        EXPECT_LE(doc->GetHistoryCount(), 20);
    }
    EXPECT_EQ(doc->GetHistoryCount(), 20);
    EXPECT_EQ(doc->m_nHistoryPos, 20);

    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(doc->CanUndo()) << i;
        doc->OnEditUndo();
    }
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_TRUE(doc->CanRedo());
    EXPECT_TRUE(HasMarks(doc->m_paper, RowArea(0)));
    for (int i = 1; i < 21; ++i) EXPECT_TRUE(IsWhite(doc->m_paper, RowArea(i))) << i;

    // The first stroke now lives in the base paper, drawn exactly as live.
    CPaper expected;
    ASSERT_TRUE(expected.Create(200, 150, 5));
    CPencilTool pencil;
    int32_t grade, width, smooth;
    doc->m_pencilTool.GetOptions(grade, width, smooth);
    pencil.SetOptions(grade, width, smooth);
    CRect changed;
    HistoryRecord unused;
    int32_t modified;
    pencil.OnPointerDown(nullptr, &expected, RowStart(0).x, RowStart(0).y, 0, 0, changed, 0);
    for (int s = 1; s < 8; ++s) pencil.OnPointerMove(10 + 140 * s / 8, 5, 0, 0, changed);
    pencil.OnPointerUp(RowEnd(0).x, RowEnd(0).y, 0, 0, changed, unused, modified);
    EXPECT_EQ(Pixels(doc->m_basePaper), Pixels(expected));
    EXPECT_EQ(Pixels(doc->m_paper), Pixels(expected));

    doc->OnEditUndo();  // disabled: nothing happens
    EXPECT_EQ(Pixels(doc->m_paper), Pixels(expected));
}

TEST_F(DocTest, UndoAndRedoRebuildTheSameSheetAndANewStrokeDiscardsRedo)
{
    std::vector<std::vector<uint8_t>> after;
    for (int i = 0; i < 3; ++i) {
        Stroke(RowStart(i), RowEnd(i));
        after.push_back(Pixels(doc->m_paper));
    }
    doc->OnEditUndo();
    EXPECT_EQ(Pixels(doc->m_paper), after[1]);
    doc->OnEditUndo();
    EXPECT_EQ(Pixels(doc->m_paper), after[0]);
    EXPECT_EQ(doc->m_nHistoryPos, 1);
    EXPECT_TRUE(doc->CanRedo());

    doc->OnEditRedo();
    EXPECT_EQ(Pixels(doc->m_paper), after[1]);
    doc->OnEditUndo();

    Stroke(RowStart(5), RowEnd(5));
    EXPECT_FALSE(doc->CanRedo());
    EXPECT_EQ(doc->GetHistoryCount(), 2);
    EXPECT_EQ(doc->m_nHistoryPos, 2);
    doc->OnEditRedo();
    EXPECT_TRUE(IsWhite(doc->m_paper, RowArea(1)));
    EXPECT_TRUE(IsWhite(doc->m_paper, RowArea(2)));
    EXPECT_TRUE(HasMarks(doc->m_paper, RowArea(5)));
}

TEST_F(DocTest, UndoWhileAPieceFloatsRemovesThePieceThenRestoresItsPlace)
{
    Stroke(CPoint{20, 30}, CPoint{60, 30});
    const auto drawn = Pixels(doc->m_paper);
    Band(CRect{10, 20, 70, 40});
    ASSERT_EQ(doc->m_rcSelection, (CRect{10, 20, 70, 40}));

    // Lift and move the piece well away.
    ASSERT_TRUE(doc->PointerDown(&view, 30, 30, 30, 30));
    doc->PointerMove(40, 30, 40, 30);  // passes the threshold
    doc->PointerMove(130, 100, 130, 100);
    doc->PointerUp(130, 100, 130, 100);
    ASSERT_TRUE(doc->m_floating.HasBits());
    ASSERT_EQ(doc->GetHistoryCount(), 2);  // the stroke and the lift
    EXPECT_TRUE(IsWhite(doc->m_paper, CRect{10, 20, 70, 40}));

    doc->OnEditUndo();
    EXPECT_FALSE(doc->m_floating.HasBits());
    EXPECT_TRUE(doc->m_rcSelection.IsEmpty());
    EXPECT_EQ(doc->GetHistoryCount(), 3);  // the drop was recorded, then undone
    EXPECT_EQ(doc->m_nHistoryPos, 2);
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
    EXPECT_TRUE(Drag(CPoint{50, 50}, CPoint{60, 70}));
    EXPECT_TRUE(Drag(CPoint{-50, -50}, CPoint{-40, -40}));  // the hand takes presses off the paper too
    Band(CRect{20, 20, 80, 80});
    EXPECT_EQ(doc->m_rcSelection, (CRect{20, 20, 80, 80}));

    EXPECT_EQ(doc->GetHistoryCount(), 2);
    EXPECT_EQ(doc->m_nHistoryPos, 1);
    EXPECT_TRUE(doc->CanRedo());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocTest, APencilTapRecordsTwoPointsAndReplaysTheSameDot)
{
    ASSERT_TRUE(doc->PointerDown(&view, 50, 50, 50, 50));
    doc->PointerUp(50, 50, 50, 50);
    ASSERT_EQ(doc->GetHistoryCount(), 1);
    ASSERT_NE(doc->m_history[0].pPoints, nullptr);
    EXPECT_EQ(doc->m_history[0].pPoints->GetCount(), 2u);
    const auto dot = Pixels(doc->m_paper);
    EXPECT_TRUE(HasMarks(doc->m_paper, CRect{45, 45, 56, 56}));

    doc->OnEditUndo();
    EXPECT_TRUE(IsWhite(doc->m_paper, CRect{0, 0, 200, 150}));
    doc->OnEditRedo();
    EXPECT_EQ(Pixels(doc->m_paper), dot);
}

TEST_F(DocTest, UndoAndRedoLeaveTheModifiedFlagAlone)
{
    Stroke(RowStart(0), RowEnd(0));
    EXPECT_TRUE(doc->IsModified());
    doc->SetModifiedFlag(false);
    doc->OnEditUndo();
    EXPECT_FALSE(doc->IsModified());
    doc->OnEditRedo();
    EXPECT_FALSE(doc->IsModified());
    doc->SetModifiedFlag(true);
    doc->OnEditUndo();
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(DocTest, RecordsOfEveryKindReplayAndShortRecordsReadNothingBeyondTheirList)
{
    CPaper paper;
    ASSERT_TRUE(paper.Create(40, 30, 3));

    // A paste record puts its block at its rectangle; transparency keeps white out.
    HistoryRecord paste;
    paste.nType = HR_PASTE;
    paste.nParam1 = 0;
    paste.pPoints = std::make_unique<StrokePointList>();
    PixelBuffer block = AllocatePixels(8 * 4);
    for (int i = 0; i < 32; ++i) block[i] = static_cast<uint8_t>(i % 2 ? 255 : 10);
    paste.pPoints->Append(2, 3);
    paste.pPoints->Append(8, 7, std::move(block));
    CQuillexDoc::ApplyHistoryRecord(paste, paper);
    EXPECT_EQ(paper.GetPixel(2, 6), 10);  // bottom row first, column 0
    EXPECT_EQ(paper.GetPixel(3, 6), 255);

    HistoryRecord clear;
    clear.nType = HR_CLEAR;
    clear.pPoints = std::make_unique<StrokePointList>();
    clear.pPoints->Append(0, 0);
    clear.pPoints->Append(40, 30);
    CQuillexDoc::ApplyHistoryRecord(clear, paper);
    EXPECT_TRUE(IsWhite(paper, CRect{0, 0, 40, 30}));

    // Damaged records: no points, one point, a paste without its block.
    const auto before = Pixels(paper);
    for (int type : {int{HR_PENCIL}, int{HR_ERASER}, int{HR_PASTE}, int{HR_CLEAR}, 7}) {
        HistoryRecord none;
        none.nType = type;
        CQuillexDoc::ApplyHistoryRecord(none, paper);
        none.pPoints = std::make_unique<StrokePointList>();
        CQuillexDoc::ApplyHistoryRecord(none, paper);
        if (type == HR_PENCIL || type == HR_ERASER) continue;
        none.pPoints->Append(1, 1);
        CQuillexDoc::ApplyHistoryRecord(none, paper);
        none.pPoints->Append(9, 9);
        if (type == HR_PASTE) CQuillexDoc::ApplyHistoryRecord(none, paper);
    }
    EXPECT_EQ(Pixels(paper), before);

    HistoryRecord single;
    single.nType = HR_PENCIL;
    single.nParam1 = 0;
    single.nParam2 = (3 << 16) | 0;
    single.pPoints = std::make_unique<StrokePointList>();
    single.pPoints->Append(20, 15);
    CQuillexDoc::ApplyHistoryRecord(single, paper);
    // Whatever the pencil makes of a lone point, it makes it the same way twice.
    CPaper again;
    ASSERT_TRUE(again.Create(40, 30, 3));
    again.CopyBitsFrom(paper);
    CQuillexDoc::ApplyHistoryRecord(single, again);
    CQuillexDoc::ApplyHistoryRecord(single, paper);
    EXPECT_EQ(Pixels(paper), Pixels(again));
}

TEST_F(DocTest, NewAndOpenEmptyTheHistory)
{
    Stroke(RowStart(0), RowEnd(0));
    Stroke(RowStart(1), RowEnd(1));
    doc->OnEditUndo();
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_FALSE(doc->CanUndo());
    EXPECT_FALSE(doc->CanRedo());
    EXPECT_EQ(doc->GetHistoryCount(), 0);
}
