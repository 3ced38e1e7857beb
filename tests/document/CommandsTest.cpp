#include "DocTestSupport.h"

using namespace doctest;

namespace {

// One letter a command, as its update handler leaves it: x checked, o enabled, - disabled, ? left to others.
std::string Ui(CQuillexDoc& doc)
{
    std::string s;
    for (uint32_t id : {ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_CLEAR, ID_EDIT_DESELECT, ID_EDIT_SELECT_ALL,
                        ID_FILE_SAVE_AS, ID_TOOL_PENCIL, ID_TOOL_ERASER, ID_TOOL_HAND, ID_TOOL_SELECT}) {
        CCmdUI ui(id);
        s += !doc.OnUpdateCommand(ui) ? '?' : !ui.m_bEnabled ? '-' : ui.m_nCheck ? 'x' : 'o';
    }
    return s;
}

}  // namespace

// While a gesture runs every command of the drawing shows disabled; neither the hand (which takes
// presses off the paper too) nor a band records anything or costs the redo step.
//                   undo, redo, clear, deselect, select all, save as, pencil, eraser, hand, select
TEST_F(DocTest, UpdateHandlersFollowTheHistoryTheSelectionTheToolAndTheGesture)
{
    EXPECT_EQ(Ui(*doc), "----??xooo");
    Stroke({20, 20}, {60, 40});
    doc->OnCommand(ID_EDIT_UNDO);
    doc->SetModifiedFlag(false);
    doc->OnCommand(ID_TOOL_HAND);
    EXPECT_TRUE(Drag({{50, 50}, {60, 70}}));
    EXPECT_TRUE(Drag({{-50, -50}, {-40, -40}}));
    EXPECT_EQ(Ui(*doc), "-o--??ooxo");
    Band({20, 20, 80, 80});
    EXPECT_EQ(State(), "history 1 pos 0 selection 20 20 80 80 floating 0 modified 0");
    Lift({20, 20, 80, 80});
    EXPECT_EQ(Ui(*doc), "o-oo??ooox");
    ASSERT_TRUE(doc->PointerDown(&view, 30, 30, 30, 30));
    EXPECT_EQ(Ui(*doc), "----------");
    doc->PointerUp(30, 30, 30, 30);
    EXPECT_FALSE(doc->OnCommand(ID_VIEW_ZOOM_IN));
}

TEST_F(DocTest, CommandsPutAFloatingPieceDownOrTakeItAway)
{
    const std::string none = "selection 0 0 0 0 floating 0 modified ";
    // Lifted or a plain selection; the selection and modified flag after; the records added; the marked pixel.
    const struct {
        uint32_t id;
        bool afloat;
        std::string after;
        int records, pixel;
    } cases[] = {
        {ID_EDIT_CLEAR, false, none + "1", 1, 255}, {ID_TOOL_PENCIL, true, none + "1", 1, 0},
        {ID_TOOL_ERASER, true, none + "1", 1, 0},   {ID_TOOL_HAND, true, none + "1", 1, 0},
        {ID_TOOL_SELECT, true, none + "1", 1, 0},   {ID_EDIT_DESELECT, true, none + "1", 1, 0},
        {ID_EDIT_SELECT_ALL, true, "selection 0 0 200 150 floating 0 modified 1", 1, 0},
        {ID_EDIT_CLEAR, true, none + "1", 0, 255},  // its lift was recorded
        {ID_EDIT_DESELECT, false, none + "0", 0, 0}, {ID_TOOL_PENCIL, false, none + "0", 0, 0},
        {ID_TOOL_SELECT, false, none + "0", 0, 0},
    };
    for (const auto& c : cases) {
        Put(20, 20, 0);
        if (c.afloat) Lift({10, 10, 30, 30});
        else Band({10, 10, 30, 30});
        doc->SetModifiedFlag(false);
        const int32_t records = doc->GetHistoryCount();
        EXPECT_TRUE(doc->OnCommand(c.id));
        EXPECT_EQ(State().substr(State().find("selection")), c.after) << c.id;
        EXPECT_EQ(doc->GetHistoryCount(), records + c.records) << c.id;
        if (c.records) {
            EXPECT_EQ(doc->GetHistory().back().nType, c.afloat ? HR_PASTE : HR_CLEAR) << c.id;
        }
        EXPECT_EQ(doc->GetPaper().GetPixel(20, 20), c.pixel) << c.id;
        if (c.id == ID_EDIT_CLEAR && !c.afloat) {  // the first: its record replays the clear
            doc->OnEditUndo();
            EXPECT_EQ(doc->GetPaper().GetPixel(20, 20), 0);
            doc->OnEditRedo();
            EXPECT_EQ(doc->GetPaper().GetPixel(20, 20), 255);
        }
    }
    EXPECT_EQ(doc->GetTool(), ToolKind::Select);
}

// The control, the value it shows (-1: a combo without a selection), the options afterwards.
TEST_F(DocTest, OptionControlsChangeOneValueEach)
{
    services.UseMainWindow();
    doc->SetPencilOptions(5, 1, 0);
    doc->SetEraserOptions(1, 1);
    const struct {
        uint32_t control;
        int value;
        std::vector<int32_t> options;
    } steps[] = {
        {IDC_PENCIL_GRADE, 9, {9, 1, 0, 1, 1, 0, 1, 1}},   {IDC_PENCIL_WIDTH, 2, {9, 3, 0, 1, 1, 0, 1, 1}},
        {IDC_SMOOTH, 1, {9, 3, 1, 1, 1, 0, 1, 1}},         {IDC_ERASER_SIZE, 1, {9, 3, 1, 2, 1, 0, 1, 1}},
        {IDC_ERASER_STRENGTH, 2, {9, 3, 1, 2, 3, 0, 1, 1}}, {IDC_TRANSPARENT, 1, {9, 3, 1, 2, 3, 1, 1, 1}},
        {IDC_PENCIL_PRESSURE, 0, {9, 3, 1, 2, 3, 1, 0, 1}}, {IDC_ERASER_PRESSURE, 0, {9, 3, 1, 2, 3, 1, 0, 0}},
        {IDC_SMOOTH, 0, {9, 3, 0, 2, 3, 1, 0, 0}},         {IDC_PENCIL_WIDTH, -1, {9, 1, 0, 2, 3, 1, 0, 0}},
    };
    for (const auto& [control, value, options] : steps) {
        const bool check = control == IDC_SMOOTH || control == IDC_TRANSPARENT || control == IDC_PENCIL_PRESSURE ||
                           control == IDC_ERASER_PRESSURE;
        (check ? services.checks : services.combos)[control] = value;
        EXPECT_FALSE(doc->OnControlNotify(control, check ? CBN_SELCHANGE : BN_CLICKED)) << control;
        EXPECT_TRUE(doc->OnControlNotify(control, check ? BN_CLICKED : CBN_SELCHANGE)) << control;
        EXPECT_EQ(Options(*doc), options) << control;
    }
    EXPECT_FALSE(doc->OnControlNotify(4242, BN_CLICKED));
}
