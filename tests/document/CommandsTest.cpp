#include "DocTestSupport.h"

using namespace doctest;

namespace {

bool Checked(CQuillexDoc& doc, uint32_t id)
{
    CCmdUI ui(id);
    EXPECT_TRUE(doc.OnUpdateCommand(ui)) << id;
    return ui.m_nCheck != 0;
}

bool Enabled(CQuillexDoc& doc, uint32_t id)
{
    CCmdUI ui(id);
    doc.OnUpdateCommand(ui);
    return ui.m_bEnabled;
}

}  // namespace

TEST_F(DocTest, ToolCommandsSwitchToolsAndCheckTheCurrentOne)
{
    const std::pair<uint32_t, CTool*> tools[] = {
        {ID_TOOL_PENCIL, &doc->m_pencilTool},
        {ID_TOOL_ERASER, &doc->m_eraserTool},
        {ID_TOOL_HAND, &doc->m_handTool},
        {ID_TOOL_SELECT, &doc->m_selectTool},
    };
    EXPECT_EQ(doc->m_pTool, &doc->m_pencilTool);
    for (auto [id, tool] : tools) {
        EXPECT_TRUE(doc->OnCommand(id));
        EXPECT_EQ(doc->m_pTool, tool);
        for (auto [other, unused] : tools) EXPECT_EQ(Checked(*doc, other), other == id) << id << " " << other;
    }
    EXPECT_FALSE(doc->OnCommand(ID_VIEW_ZOOM_IN));
}

TEST_F(DocTest, SwitchingToolsPutsAFloatingPieceDown)
{
    for (uint32_t id : {ID_TOOL_PENCIL, ID_TOOL_ERASER, ID_TOOL_HAND, ID_TOOL_SELECT}) {
        Band(CRect{10, 10, 30, 30});
        ASSERT_TRUE(Drag(CPoint{15, 15}, CPoint{16, 16}));  // lift
        ASSERT_TRUE(doc->m_floating.HasBits());
        ASSERT_EQ(doc->m_pTool, &doc->m_selectTool);
        const int32_t records = doc->GetHistoryCount();

        doc->OnCommand(id);
        EXPECT_FALSE(doc->m_floating.HasBits()) << id;
        EXPECT_TRUE(doc->m_rcSelection.IsEmpty()) << id;
        EXPECT_EQ(doc->GetHistoryCount(), records + 1) << id;
        EXPECT_EQ(doc->m_history.back().nType, HR_PASTE) << id;
    }

    // Switching to Select from another tool keeps a plain selection.
    doc->OnCommand(ID_EDIT_SELECT_ALL);
    doc->OnCommand(ID_TOOL_PENCIL);
    EXPECT_TRUE(doc->m_rcSelection.IsEmpty());
}

TEST_F(DocTest, SelectAllPutsAFloatingPieceDownAndSelectsTheWholeSheet)
{
    Band(CRect{10, 10, 30, 30});
    ASSERT_TRUE(Drag(CPoint{15, 15}, CPoint{16, 16}));
    ASSERT_TRUE(doc->m_floating.HasBits());
    doc->OnCommand(ID_TOOL_HAND);
    doc->OnCommand(ID_TOOL_SELECT);
    Band(CRect{10, 10, 30, 30});
    ASSERT_TRUE(Drag(CPoint{15, 15}, CPoint{16, 16}));
    const int32_t records = doc->GetHistoryCount();

    recorder.hints.clear();
    EXPECT_TRUE(doc->OnCommand(ID_EDIT_SELECT_ALL));
    EXPECT_FALSE(doc->m_floating.HasBits());
    EXPECT_EQ(doc->GetHistoryCount(), records + 1);
    EXPECT_EQ(doc->m_rcSelection, (CRect{0, 0, 200, 150}));
    EXPECT_EQ(doc->m_pTool, &doc->m_selectTool);
    ASSERT_FALSE(recorder.hints.empty());
    EXPECT_EQ(recorder.hints.back(), RecordingView::kWhole);
}

TEST_F(DocTest, ClearWhitensAPlainSelectionOnceAndDiscardsAFloatingPieceUnrecorded)
{
    EXPECT_FALSE(Enabled(*doc, ID_EDIT_CLEAR));
    doc->OnCommand(ID_EDIT_CLEAR);
    EXPECT_EQ(doc->GetHistoryCount(), 0);
    EXPECT_FALSE(doc->IsModified());

    doc->m_paper.SetPixel(20, 20, 0);
    doc->m_paper.SetPixel(5, 5, 0);
    Band(CRect{10, 10, 30, 30});
    EXPECT_TRUE(Enabled(*doc, ID_EDIT_CLEAR));
    doc->OnCommand(ID_EDIT_CLEAR);
    EXPECT_EQ(doc->m_paper.GetPixel(20, 20), 255);
    EXPECT_EQ(doc->m_paper.GetPixel(5, 5), 0);
    ASSERT_EQ(doc->GetHistoryCount(), 1);
    EXPECT_EQ(doc->m_history[0].nType, HR_CLEAR);
    EXPECT_EQ((*doc->m_history[0].pPoints)[0].x, 10);
    EXPECT_EQ((*doc->m_history[0].pPoints)[1].y, 30);
    EXPECT_TRUE(doc->m_rcSelection.IsEmpty());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_FALSE(Enabled(*doc, ID_EDIT_CLEAR));

    Band(CRect{0, 0, 10, 10});
    ASSERT_TRUE(Drag(CPoint{5, 5}, CPoint{5, 6}));  // lift: one record
    ASSERT_EQ(doc->GetHistoryCount(), 2);
    doc->OnCommand(ID_EDIT_CLEAR);
    EXPECT_EQ(doc->GetHistoryCount(), 2);
    EXPECT_FALSE(doc->m_floating.HasBits());
    EXPECT_EQ(doc->m_paper.GetPixel(5, 5), 255);
}

TEST_F(DocTest, UndoAndRedoAreEnabledByThePositionInTheHistory)
{
    struct Expect {
        bool undo, redo;
    };
    auto check = [&](Expect e, const char* when) {
        EXPECT_EQ(Enabled(*doc, ID_EDIT_UNDO), e.undo) << when;
        EXPECT_EQ(Enabled(*doc, ID_EDIT_REDO), e.redo) << when;
    };
    check({false, false}, "new");
    Stroke(CPoint{10, 10}, CPoint{50, 10});
    check({true, false}, "one stroke");
    Stroke(CPoint{10, 20}, CPoint{50, 20});
    doc->OnCommand(ID_EDIT_UNDO);
    check({true, true}, "one undone of two");
    doc->OnCommand(ID_EDIT_UNDO);
    check({false, true}, "all undone");
    doc->OnCommand(ID_EDIT_REDO);
    doc->OnCommand(ID_EDIT_REDO);
    check({true, false}, "all redone");

    CCmdUI saveAs(ID_FILE_SAVE_AS), selectAll(ID_EDIT_SELECT_ALL);
    EXPECT_FALSE(doc->OnUpdateCommand(saveAs));
    EXPECT_FALSE(doc->OnUpdateCommand(selectAll));
}

TEST_F(DocTest, TheHandUpdateShowsTheCurrentToolsOptionBar)
{
    services.UseMainWindow();
    struct Case {
        uint32_t tool;
        bool pencil, eraser, select;
    };
    const Case cases[] = {
        {ID_TOOL_PENCIL, true, false, false},
        {ID_TOOL_ERASER, false, true, false},
        {ID_TOOL_SELECT, false, false, true},
        {ID_TOOL_HAND, false, false, false},
    };
    auto& main = services.mainWindow;
    for (const Case& c : cases) {
        doc->OnCommand(c.tool);
        CCmdUI ui(ID_TOOL_HAND);
        const int recalcs = main.recalcs;
        ASSERT_TRUE(doc->OnUpdateCommand(ui));
        EXPECT_EQ(ui.m_nCheck != 0, c.tool == ID_TOOL_HAND);
        EXPECT_EQ(main.shown[OptionBar::Pencil], c.pencil) << c.tool;
        EXPECT_EQ(main.shown[OptionBar::Eraser], c.eraser) << c.tool;
        EXPECT_EQ(main.shown[OptionBar::Select], c.select) << c.tool;
        EXPECT_EQ(main.recalcs, recalcs + 1);
    }

    // A hidden toolbar keeps the bars as they are.
    main.shown.clear();
    main.toolbarVisible = false;
    doc->OnCommand(ID_TOOL_PENCIL);
    CCmdUI ui(ID_TOOL_HAND);
    doc->OnUpdateCommand(ui);
    EXPECT_TRUE(main.shown.empty());
}

TEST_F(DocTest, OptionControlsChangeOneValueEach)
{
    services.UseMainWindow();
    auto& main = services.mainWindow;
    doc->m_pencilTool.SetOptions(5, 1, 0);
    doc->m_eraserTool.SetOptions(1, 1);

    main.combos[IDC_PENCIL_GRADE] = 9;
    EXPECT_TRUE(doc->OnControlNotify(IDC_PENCIL_GRADE, CBN_SELCHANGE));
    main.combos[IDC_PENCIL_WIDTH] = 2;
    EXPECT_TRUE(doc->OnControlNotify(IDC_PENCIL_WIDTH, CBN_SELCHANGE));
    main.checks[IDC_SMOOTH] = 1;
    EXPECT_TRUE(doc->OnControlNotify(IDC_SMOOTH, BN_CLICKED));
    main.combos[IDC_ERASER_SIZE] = 1;
    EXPECT_TRUE(doc->OnControlNotify(IDC_ERASER_SIZE, CBN_SELCHANGE));
    main.combos[IDC_ERASER_STRENGTH] = 2;
    EXPECT_TRUE(doc->OnControlNotify(IDC_ERASER_STRENGTH, CBN_SELCHANGE));

    int32_t grade, width, smooth, size, strength;
    doc->m_pencilTool.GetOptions(grade, width, smooth);
    doc->m_eraserTool.GetOptions(size, strength);
    EXPECT_EQ(grade, 9);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(smooth, 1);
    EXPECT_EQ(size, 2);
    EXPECT_EQ(strength, 3);

    recorder.hints.clear();
    main.checks[IDC_TRANSPARENT] = 1;
    EXPECT_TRUE(doc->OnControlNotify(IDC_TRANSPARENT, BN_CLICKED));
    EXPECT_EQ(doc->m_bTransparent, 1);
    ASSERT_EQ(recorder.hints.size(), 1u);
    EXPECT_EQ(recorder.hints[0], RecordingView::kWhole);

    // A combo with no selection still leaves the tool in range.
    main.combos.erase(IDC_PENCIL_WIDTH);
    doc->OnControlNotify(IDC_PENCIL_WIDTH, CBN_SELCHANGE);
    doc->m_pencilTool.GetOptions(grade, width, smooth);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(grade, 9);

    EXPECT_FALSE(doc->OnControlNotify(4242, BN_CLICKED));
}

TEST_F(DocTest, PointerEntryPointsHintTheChangedAreaAndMarkModified)
{
    EXPECT_FALSE(doc->IsModified());
    recorder.hints.clear();
    // A press off the sheet is declined by the pencil.
    EXPECT_FALSE(doc->PointerDown(&view, -5, 10, -5, 10));
    EXPECT_FALSE(doc->PointerDown(&view, 200, 10, 200, 10));
    Stroke(CPoint{20, 20}, CPoint{60, 40});
    EXPECT_TRUE(doc->IsModified());
    CRect all;
    for (const CRect& h : recorder.hints) {
        ASSERT_NE(h, RecordingView::kWhole);
        all = CRect::Union(all, h);
    }
    EXPECT_TRUE(all.Contains(20, 20));
    EXPECT_TRUE(all.Contains(59, 39));
    for (int32_t y = 0; y < 150; ++y)
        for (int32_t x = 0; x < 200; ++x)
            if (doc->m_paper.GetPixel(x, y) != 255) {
                ASSERT_TRUE(all.Contains(x, y)) << x << "," << y;
            }
}
