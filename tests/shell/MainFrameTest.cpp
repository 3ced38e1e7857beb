#include "ShellTestSupport.h"

#include "document/Clipboard.h"

#include <QClipboard>

// When the event loop goes idle after something happened it runs one pass that takes every
// command's state from whichever of view, document, frame and application answers, shows the
// current tool's option bar and names the drawing; a quiet program runs none.
TEST_F(ShellTest, AnIdlePassAfterEachChangeBringsTheCommandsBarsAndTitleUpToDate)
{
    Start();
    RunEventLoop(100);
    const int settled = Frame().IdlePasses();
    RunEventLoop(300);
    // The loop wakes for the test's own timer once; nothing may keep it busy.
    EXPECT_LE(Frame().IdlePasses() - settled, 2);

    QGuiApplication::clipboard()->clear();
    // Checked tool, option bar shown, then toolbar, grid, undo, redo, clear and paste, and the title.
    const auto state = [&] {
        QString s;
        for (uint32_t id = ID_TOOL_HAND; id <= ID_TOOL_SELECT; ++id)
            s += Frame().Action(id)->isChecked() ? QString::number(id - ID_TOOL_HAND) : "";
        for (OptionBar bar : {OptionBar::Pencil, OptionBar::Eraser, OptionBar::Select})
            if (!Frame().OptionBarOf(bar)->isHidden()) s += "PES"[int(bar)];
        for (uint32_t id : {ID_VIEW_TOOLBAR, ID_VIEW_GRID}) s += Frame().Action(id)->isChecked() ? " +" : " -";
        for (uint32_t id : {ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_CLEAR, ID_EDIT_PASTE})
            s += Frame().Action(id)->isEnabled() ? " +" : " -";
        return s + " " + Frame().windowTitle();
    };
    const auto paste = [&] { Doc().GetServices().pClipboard->SetData(kClipFormat, MakeClipBlock(4, 4)); };
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[] {}, "1P + + - - - - Sketch1 - Graphelle"},
        {[&] { Frame().Action(ID_TOOL_ERASER)->trigger(); }, "2E + + - - - - Sketch1 - Graphelle"},
        {[&] { Frame().RouteCommand(ID_TOOL_SELECT); }, "3S + + - - - - Sketch1 - Graphelle"},
        {[&] { Frame().RouteCommand(ID_EDIT_SELECT_ALL); }, "3S + + - - + - Sketch1 - Graphelle"},
        {[&] { Frame().Action(ID_VIEW_GRID)->trigger(); }, "3S + - - - + - Sketch1 - Graphelle"},
        {[&] { Frame().RouteCommand(ID_TOOL_PENCIL), DrawStroke(); }, "1P + - + - - - Sketch1* - Graphelle"},
        {[&] { Frame().Action(ID_EDIT_UNDO)->trigger(); }, "1P + - - + - - Sketch1* - Graphelle"},
        {paste, "1P + - - + - + Sketch1* - Graphelle"},
        {[&] { QGuiApplication::clipboard()->clear(); }, "1P + - - + - - Sketch1* - Graphelle"},
        {[&] { Frame().Action(ID_TOOL_HAND)->trigger(); }, "0 + - - + - - Sketch1* - Graphelle"},
    };
    for (const auto& [step, expected] : steps) {
        step();
        RunEventLoop();
        EXPECT_EQ(state().toStdString(), expected);
    }
}

// The keys a person presses for each command.
TEST_F(ShellTest, TheUsualKeysBelongToTheirCommands)
{
    Start();
    const std::pair<uint32_t, const char*> keys[] = {
        {ID_FILE_NEW, "Ctrl+N"}, {ID_FILE_OPEN, "Ctrl+O"}, {ID_FILE_SAVE, "Ctrl+S"}, {ID_FILE_SAVE_AS, "Ctrl+Shift+S"},
        {ID_FILE_EXPORT_PNG, "Ctrl+E"}, {ID_APP_EXIT, "Ctrl+Q"}, {ID_EDIT_UNDO, "Ctrl+Z"},
        {ID_EDIT_REDO, "Ctrl+Shift+Z; Ctrl+Y"}, {ID_EDIT_CUT, "Ctrl+X"}, {ID_EDIT_COPY, "Ctrl+C"},
        {ID_EDIT_PASTE, "Ctrl+V"}, {ID_EDIT_SELECT_ALL, "Ctrl+A"}, {ID_EDIT_DESELECT, "Esc"}, {ID_EDIT_CLEAR, "Del"},
        {ID_VIEW_ZOOM_IN, "Ctrl++; Ctrl+="}, {ID_VIEW_ZOOM_OUT, "Ctrl+-"}, {ID_VIEW_ACTUAL_SIZE, "Ctrl+0"},
        {ID_VIEW_FIT, "Ctrl+9"}, {ID_VIEW_FULL_SCREEN, "F11"}, {ID_TOOL_PENCIL, "B; P"}, {ID_TOOL_ERASER, "E"},
        {ID_TOOL_HAND, "H"}, {ID_TOOL_SELECT, "S"}};
    for (const auto& [id, key] : keys)
        EXPECT_EQ(QKeySequence::listToString(Frame().Action(id)->shortcuts()).toStdString(), key) << id;
}
