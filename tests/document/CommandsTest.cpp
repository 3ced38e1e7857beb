#include "DocTestSupport.h"

using namespace doctest;

TEST_F(DocTest, CommandsPutAFloatingPieceDownOrTakeItAwayAndTheHandAndBandsRecordNothing)
{
    const std::string none = "selection 0 0 0 0 floating 0 modified ";
    // Lifted or a plain selection; the selection and modified flag after; the records added; the marked pixel.
    const struct { uint32_t id; bool afloat; std::string after; int records, pixel; } cases[] = {
        {ID_EDIT_CLEAR, false, none + "1", 1, 255}, {ID_TOOL_PENCIL, true, none + "1", 1, 0},
        {ID_TOOL_ERASER, true, none + "1", 1, 0},   {ID_TOOL_HAND, true, none + "1", 1, 0},
        {ID_TOOL_SELECT, true, none + "1", 1, 0},   {ID_EDIT_DESELECT, true, none + "1", 1, 0},
        {ID_EDIT_SELECT_ALL, true, "selection 0 0 200 150 floating 0 modified 1", 1, 0},
        {ID_EDIT_CLEAR, true, none + "1", 0, 255},  // its lift was recorded
        {ID_EDIT_UNDO, true, none + "1", 1, 255},   // the drop is recorded, then undone
        {ID_EDIT_DESELECT, false, none + "0", 0, 0}, {ID_TOOL_PENCIL, false, none + "0", 0, 0},
        {ID_TOOL_SELECT, false, none + "0", 0, 0}};
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

    // Neither the hand (which takes presses off the paper too) nor a band records anything or costs the redo step.
    doc->OnCommand(ID_TOOL_PENCIL);
    Stroke({20, 20}, {60, 40});
    doc->OnCommand(ID_EDIT_UNDO);
    doc->SetModifiedFlag(false);
    doc->OnCommand(ID_TOOL_HAND);
    EXPECT_TRUE(Drag({{50, 50}, {60, 70}}));
    EXPECT_TRUE(Drag({{-50, -50}, {-40, -40}}));
    Band({20, 20, 80, 80});
    EXPECT_EQ(State(), "history 1 pos 0 selection 20 20 80 80 floating 0 modified 0");
}
