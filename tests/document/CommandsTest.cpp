#include "DocTestSupport.h"

using namespace doctest;

namespace {

CCmdUI Update(CQuillexDoc& doc, uint32_t id)
{
    CCmdUI ui(id);
    EXPECT_TRUE(doc.OnUpdateCommand(ui)) << id;
    return ui;
}

}  // namespace

TEST_F(DocTest, ToolCommandsAndSelectAllPutAFloatingPieceDownAndToolsAreChecked)
{
    const std::pair<uint32_t, CTool*> tools[] = {{ID_TOOL_PENCIL, &doc->m_pencilTool},
                                                 {ID_TOOL_ERASER, &doc->m_eraserTool},
                                                 {ID_TOOL_HAND, &doc->m_handTool},
                                                 {ID_TOOL_SELECT, &doc->m_selectTool}};
    EXPECT_EQ(doc->m_pTool, &doc->m_pencilTool);
    for (auto [id, tool] : tools) {
        Lift(CRect{10, 10, 30, 30});
        const int32_t records = doc->GetHistoryCount();
        EXPECT_TRUE(doc->OnCommand(id));
        EXPECT_EQ(doc->m_pTool, tool);
        for (auto [other, unused] : tools)
            EXPECT_EQ(Update(*doc, other).m_nCheck != 0, other == id) << id << " " << other;
        EXPECT_EQ(State(), "history " + std::to_string(records + 1) + " pos " + std::to_string(records + 1) +
                               " selection 0 0 0 0 floating 0 modified 1") << id;
        EXPECT_EQ(doc->m_history.back().nType, HR_PASTE) << id;
    }
    EXPECT_FALSE(doc->OnCommand(ID_VIEW_ZOOM_IN));

    // Select All puts a floating piece down too, and selects the whole sheet with the select tool.
    Lift(CRect{10, 10, 30, 30});
    recorder.hints.clear();
    EXPECT_TRUE(doc->OnCommand(ID_EDIT_SELECT_ALL));
    EXPECT_EQ(State(), "history 10 pos 10 selection 0 0 200 150 floating 0 modified 1");
    EXPECT_EQ(doc->m_pTool, &doc->m_selectTool);
    ASSERT_FALSE(recorder.hints.empty());
    EXPECT_EQ(recorder.hints.back(), RecordingView::kWhole);
    doc->OnCommand(ID_TOOL_PENCIL);  // leaving the select tool forgets a plain selection
    EXPECT_TRUE(doc->m_rcSelection.IsEmpty());
}

TEST_F(DocTest, ClearWhitensAPlainSelectionOnceAndDiscardsAFloatingPieceUnrecorded)
{
    EXPECT_FALSE(Update(*doc, ID_EDIT_CLEAR).m_bEnabled);
    doc->OnCommand(ID_EDIT_CLEAR);
    EXPECT_EQ(State(), "history 0 pos 0 selection 0 0 0 0 floating 0 modified 0");
    doc->m_paper.SetPixel(20, 20, 0);
    doc->m_paper.SetPixel(5, 5, 0);
    Band(CRect{10, 10, 30, 30});
    EXPECT_TRUE(Update(*doc, ID_EDIT_CLEAR).m_bEnabled);
    doc->OnCommand(ID_EDIT_CLEAR);
    EXPECT_EQ(doc->m_paper.GetPixel(20, 20), 255);
    EXPECT_EQ(doc->m_paper.GetPixel(5, 5), 0);
    EXPECT_EQ(State(), "history 1 pos 1 selection 0 0 0 0 floating 0 modified 1");
    EXPECT_EQ(doc->m_history[0].nType, HR_CLEAR);
    EXPECT_FALSE(Update(*doc, ID_EDIT_CLEAR).m_bEnabled);
    doc->OnEditUndo();
    doc->m_paper.SetPixel(20, 20, 0);
    doc->m_basePaper.SetPixel(20, 20, 0);
    doc->OnEditRedo();  // the record replays the clear
    EXPECT_EQ(doc->m_paper.GetPixel(20, 20), 255);

    Lift(CRect{0, 0, 10, 10});
    doc->OnCommand(ID_EDIT_CLEAR);
    EXPECT_EQ(State(), "history 2 pos 2 selection 0 0 0 0 floating 0 modified 1");  // the lift only
    EXPECT_TRUE(IsWhite(doc->m_paper, CRect{0, 0, 10, 10}));
}

TEST_F(DocTest, CommandsWithoutAnUpdateHandlerAreLeftToOthers)
{
    for (uint32_t id : {ID_FILE_SAVE_AS, ID_EDIT_SELECT_ALL}) {
        CCmdUI ui(id);
        EXPECT_FALSE(doc->OnUpdateCommand(ui)) << id;
    }
}

TEST_F(DocTest, TheHandUpdateShowsTheCurrentToolsOptionBarUnlessTheToolbarIsHidden)
{
    services.UseMainWindow();
    const std::pair<uint32_t, std::vector<bool>> cases[] = {
        {ID_TOOL_PENCIL, {true, false, false}},
        {ID_TOOL_ERASER, {false, true, false}},
        {ID_TOOL_SELECT, {false, false, true}},
        {ID_TOOL_HAND, {false, false, false}},
    };
    for (const auto& [tool, shown] : cases) {
        doc->OnCommand(tool);
        const int recalcs = services.recalcs;
        EXPECT_EQ(Update(*doc, ID_TOOL_HAND).m_nCheck != 0, tool == ID_TOOL_HAND);
        EXPECT_EQ((std::vector<bool>{services.shown[OptionBar::Pencil], services.shown[OptionBar::Eraser],
                                     services.shown[OptionBar::Select]}), shown) << tool;
        EXPECT_EQ(services.recalcs, recalcs + 1);
    }
    services.shown.clear();
    services.toolbarVisible = false;
    doc->OnCommand(ID_TOOL_PENCIL);
    Update(*doc, ID_TOOL_HAND);
    EXPECT_TRUE(services.shown.empty());
}

TEST_F(DocTest, OptionControlsChangeOneValueEach)
{
    services.UseMainWindow();
    doc->m_pencilTool.SetOptions(5, 1, 0);
    doc->m_eraserTool.SetOptions(1, 1);
    services.combos = {{IDC_PENCIL_GRADE, 9}, {IDC_PENCIL_WIDTH, 2}, {IDC_ERASER_SIZE, 1}, {IDC_ERASER_STRENGTH, 2}};
    services.checks = {{IDC_SMOOTH, 1}, {IDC_TRANSPARENT, 1}};
    const std::pair<uint32_t, std::vector<int32_t>> steps[] = {
        {IDC_PENCIL_GRADE, {9, 1, 0, 1, 1, 0}}, {IDC_PENCIL_WIDTH, {9, 3, 0, 1, 1, 0}},
        {IDC_SMOOTH, {9, 3, 1, 1, 1, 0}},       {IDC_ERASER_SIZE, {9, 3, 1, 2, 1, 0}},
        {IDC_ERASER_STRENGTH, {9, 3, 1, 2, 3, 0}}, {IDC_TRANSPARENT, {9, 3, 1, 2, 3, 1}},
    };
    for (const auto& [control, expected] : steps) {
        recorder.hints.clear();
        const bool check = control == IDC_SMOOTH || control == IDC_TRANSPARENT;
        EXPECT_TRUE(doc->OnControlNotify(control, check ? BN_CLICKED : CBN_SELCHANGE));
        EXPECT_EQ(ToolSettings(*doc), expected) << control;
    }
    EXPECT_EQ(recorder.hints, std::vector<CRect>{RecordingView::kWhole});  // the transparency repaints

    // A combo with no selection still leaves the tool in range.
    services.combos.erase(IDC_PENCIL_WIDTH);
    doc->OnControlNotify(IDC_PENCIL_WIDTH, CBN_SELCHANGE);
    EXPECT_EQ(ToolSettings(*doc), (std::vector<int32_t>{9, 1, 1, 2, 3, 1}));
    EXPECT_FALSE(doc->OnControlNotify(4242, BN_CLICKED));
}

TEST_F(DocTest, DeselectPutsAFloatingPieceDownAndDropsTheSelection)
{
    Band({10, 10, 60, 50});
    EXPECT_TRUE(Update(*doc, ID_EDIT_DESELECT).m_bEnabled);
    doc->OnCommand(ID_EDIT_DESELECT);
    EXPECT_EQ(State(), "history 0 pos 0 selection 0 0 0 0 floating 0 modified 0");
    EXPECT_FALSE(Update(*doc, ID_EDIT_DESELECT).m_bEnabled);
    Lift({10, 10, 60, 50});
    doc->OnCommand(ID_EDIT_DESELECT);
    EXPECT_EQ(State(), "history 2 pos 2 selection 0 0 0 0 floating 0 modified 1");
    EXPECT_EQ(doc->m_history.back().nType, HR_PASTE);
}

TEST_F(DocTest, PressureCheckBoxesTurnEachToolsPressureOffAndOnButNotDuringAGesture)
{
    services.UseMainWindow();
    services.checks = {{IDC_PENCIL_PRESSURE, 0}, {IDC_ERASER_PRESSURE, 0}};
    EXPECT_TRUE(doc->OnControlNotify(IDC_PENCIL_PRESSURE, BN_CLICKED));
    EXPECT_EQ(std::pair(doc->m_pencilTool.m_bPressure, doc->m_eraserTool.m_bPressure), std::pair(0, 1));
    EXPECT_TRUE(doc->OnControlNotify(IDC_ERASER_PRESSURE, BN_CLICKED));
    EXPECT_EQ(doc->m_eraserTool.m_bPressure, 0);
    EXPECT_FALSE(doc->OnControlNotify(IDC_ERASER_PRESSURE, CBN_SELCHANGE));

    // Clicked in the middle of a stroke: refused, and the box shows the tool's state again.
    ASSERT_TRUE(doc->PointerDown(&view, 10, 10, 10, 10, kFullPressure / 2));
    services.checks[IDC_PENCIL_PRESSURE] = 1;
    EXPECT_TRUE(doc->OnControlNotify(IDC_PENCIL_PRESSURE, BN_CLICKED));
    EXPECT_EQ(doc->m_pencilTool.m_bPressure, 0);
    EXPECT_EQ(services.checks[IDC_PENCIL_PRESSURE], 0);
    doc->PointerUp(30, 10, 30, 10, kFullPressure / 2);
    // With pressure off the pen's half press drew as a full one and recorded none.
    ASSERT_EQ(doc->GetHistoryCount(), 1);
    EXPECT_FALSE(doc->m_history.back().pPoints->HasPressures());
}

TEST_F(DocTest, PointerEntryPointsHintTheChangedAreaAndMarkModified)
{
    EXPECT_FALSE(doc->PointerDown(&view, -5, 10, -5, 10));  // a press off the sheet is declined by the pencil
    EXPECT_FALSE(doc->PointerDown(&view, 200, 10, 200, 10));
    EXPECT_FALSE(doc->IsModified());
    recorder.hints.clear();
    Stroke(CPoint{20, 20}, CPoint{60, 40});
    EXPECT_TRUE(doc->IsModified());
    CRect all;
    for (const CRect& h : recorder.hints) {
        ASSERT_NE(h, RecordingView::kWhole);
        all = CRect::Union(all, h);
    }
    for (int32_t y = 0; y < 150; ++y)
        for (int32_t x = 0; x < 200; ++x)
            ASSERT_TRUE(doc->m_paper.GetPixel(x, y) == 255 || all.Contains(x, y)) << x << "," << y;
    EXPECT_TRUE(all.Contains(20, 20) && all.Contains(59, 39));
}
