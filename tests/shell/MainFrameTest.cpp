#include "ShellTestSupport.h"

// When the event loop goes idle after something happened it runs one pass that takes every
// command's state from whichever of view, document, frame and application answers, shows the
// current tool's option bar and names the drawing.
TEST_F(ShellTest, AnIdlePassAfterEachChangeBringsTheCommandsBarsAndTitleUpToDate)
{
    Start();
    // Checked tool, option bar shown, then undo, redo and clear, and the title.
    const auto state = [&] {
        QString s;
        for (uint32_t id = ID_TOOL_HAND; id <= ID_TOOL_SELECT; ++id)
            s += Frame().Action(id)->isChecked() ? QString::number(id - ID_TOOL_HAND) : "";
        for (OptionBar bar : {OptionBar::Pencil, OptionBar::Eraser, OptionBar::Select})
            if (!Frame().OptionBarOf(bar)->isHidden()) s += "PES"[int(bar)];
        for (uint32_t id : {ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_CLEAR})
            s += Frame().Action(id)->isEnabled() ? " +" : " -";
        return s + " " + Frame().windowTitle();
    };
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[] {}, "1P - - - Sketch1 - Graphelle"},
        {[&] { Frame().Action(ID_TOOL_ERASER)->trigger(); }, "2E - - - Sketch1 - Graphelle"},
        {[&] { Frame().RouteCommand(ID_TOOL_SELECT); }, "3S - - - Sketch1 - Graphelle"},
        {[&] { Frame().RouteCommand(ID_EDIT_SELECT_ALL); }, "3S - - + Sketch1 - Graphelle"},
        {[&] { Frame().RouteCommand(ID_TOOL_PENCIL), DrawStroke(); }, "1P + - - Sketch1* - Graphelle"},
        {[&] { Frame().Action(ID_EDIT_UNDO)->trigger(); }, "1P - + - Sketch1* - Graphelle"},
    };
    for (const auto& [step, expected] : steps) {
        step();
        RunEventLoop();
        EXPECT_EQ(state().toStdString(), expected);
    }
}
