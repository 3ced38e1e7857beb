#include "ShellTestSupport.h"

#include "document/Clipboard.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QToolTip>

namespace {

// The tooltip a person sees when the pointer rests at a place of a widget.
QString ShownTip(QWidget* widget, QPoint at)
{
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// A bar's buttons by the tooltip they show, "-" for a separator; each must have its picture.
QStringList Buttons(const QToolBar* bar)
{
    QStringList tips;
    for (QAction* a : bar->actions()) {
        if (qobject_cast<QWidgetAction*>(a) || !a->isVisible()) continue;
        EXPECT_TRUE(a->isSeparator() || !a->icon().pixmap(24, 24).isNull()) << a->toolTip().toStdString();
        tips << (a->isSeparator() ? "-" : ShownTip(bar->widgetForAction(a), QPoint(4, 4)));
    }
    return tips;
}

}  // namespace

TEST_F(ShellTest, MenusAndBarsHoldEveryItemInOrderWithTheirTooltipsIconsAndKeys)
{
    Start();
    QList<QMenu*> menus;
    ASSERT_EQ(MenuTitles(&menus), "File Edit View Tool");
    for (QMenu* menu : menus) {
        const QRect button = Frame().CommandMenuBar()->actionGeometry(menu->menuAction());
        EXPECT_EQ(ShownTip(Frame().CommandMenuBar(), button.center()), menu->title());
    }
    const QStringList items[] = {
        {"New\tCtrl+N", "Open...\tCtrl+O", "Open Recent>", "<", "-", "Save\tCtrl+S", "Save As...\tCtrl+Shift+S",
         "Export PNG...\tCtrl+E", "Earlier Versions...", "-", "Exit\tCtrl+Q"},
        {"Undo\tCtrl+Z", "Redo\tCtrl+Shift+Z, Ctrl+Y", "-", "Cut\tCtrl+X", "Copy\tCtrl+C", "Paste\tCtrl+V", "-",
         "Select All\tCtrl+A", "Deselect\tEsc", "Clear\tDel"},
        {"Grid", "Toolbar", "Zoom>", "Zoom In\tCtrl++, Ctrl+=", "Zoom Out\tCtrl+-", "Actual Size\tCtrl+0",
         "Fit to Window\tCtrl+9", "-", "Full Screen\tF11", "Mirror View", "<", "-", "About 'Graphelle'...", "Help"},
        {"Hand\tH", "Pencil\tB, P", "Eraser\tE", "Select\tS", "-", "Save as...\tCtrl+Shift+S", "Earlier Versions...",
         "-", "Exit\tCtrl+Q"}};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(MenuText(menus[i]), items[i]);
    // The items without keys, whose keys above cannot tell their commands apart.
    for (const auto& [id, text] : {std::pair{ID_VIEW_GRID, "Grid"}, {ID_VIEW_TOOLBAR, "Toolbar"},
                                   {ID_VIEW_MIRROR, "Mirror View"}, {ID_HELP, "Help"}})
        EXPECT_EQ(Frame().Action(id)->text(), text);

    EXPECT_EQ(Buttons(Frame().ToolBar()), QStringList({"Hand", "Pencil", "Eraser", "Select", "-", "Undo", "Redo", "-",
                                                       "Cut", "Copy", "Paste", "Clear"}));
    // Each tool bar button runs the command its tip names.
    for (QAction* a : Frame().ToolBar()->actions())
        EXPECT_TRUE(a->isSeparator() || a->text().startsWith(a->toolTip())) << a->text().toStdString();
    EXPECT_EQ(Buttons(Frame().CommandBar()).filter(QRegularExpression("^[^-]")),
              QStringList({"Show/Hide Toolbar", "Zoom In", "Zoom Out", "Actual Size"}));
}

// The options as the bars show them and as the document's tools hold them.
TEST_F(ShellTest, OptionsStartAtTheirDefaultsAndLastAcrossARestart)
{
    const auto bars = [&] {
        COptionBar* pencil = Frame().OptionBarOf(OptionBar::Pencil);
        COptionBar* eraser = Frame().OptionBarOf(OptionBar::Eraser);
        COptionBar* select = Frame().OptionBarOf(OptionBar::Select);
        QStringList shown;
        for (QComboBox* c : {pencil->Combo(IDC_PENCIL_GRADE), pencil->Combo(IDC_PENCIL_WIDTH),
                             eraser->Combo(IDC_ERASER_SIZE), eraser->Combo(IDC_ERASER_STRENGTH)})
            shown << c->currentText();
        for (QCheckBox* c : {pencil->Check(IDC_SMOOTH), pencil->Check(IDC_PENCIL_PRESSURE),
                             eraser->Check(IDC_ERASER_PRESSURE), select->Check(IDC_TRANSPARENT)})
            shown << QString::number(c->isChecked());
        return shown.join(' ');
    };
    // Grade, width, smooth, pressure; size, strength, pressure; transparent.
    const auto tools = [&] {
        int32_t grade = 0, width = 0, smooth = 0, size = 0, strength = 0;
        Doc().GetPencilTool().GetOptions(grade, width, smooth);
        Doc().GetEraserTool().GetOptions(size, strength);
        return std::vector<int>{grade, width, smooth, Doc().GetPencilTool().m_bPressure, size, strength,
                                Doc().GetEraserTool().m_bPressure, Doc().GetSelection().IsTransparent()};
    };
    Start();
    EXPECT_EQ(bars(), "2B Thin Small Light 0 1 1 0");
    EXPECT_EQ(tools(), (std::vector<int>{5, 1, 0, 1, 1, 1, 1, 0}));
    Frame().OptionBarOf(OptionBar::Pencil)->Combo(IDC_PENCIL_GRADE)->setCurrentIndex(9);
    Frame().OptionBarOf(OptionBar::Eraser)->Combo(IDC_ERASER_STRENGTH)->setCurrentIndex(2);
    Frame().OptionBarOf(OptionBar::Select)->Check(IDC_TRANSPARENT)->click();
    Frame().OptionBarOf(OptionBar::Eraser)->Check(IDC_ERASER_PRESSURE)->click();
    const std::vector<int> changed{9, 1, 0, 1, 1, 3, 0, 1};
    EXPECT_EQ(tools(), changed);
    Stop();
    Start();
    EXPECT_EQ(bars(), "2H Thin Small Heavy 0 1 0 1");
    EXPECT_EQ(tools(), changed);
}

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
    const uint32_t tools[] = {ID_TOOL_HAND, ID_TOOL_PENCIL, ID_TOOL_ERASER, ID_TOOL_SELECT};
    const OptionBar bars[] = {OptionBar::Pencil, OptionBar::Eraser, OptionBar::Select};
    // Checked tool, option bar shown, then toolbar, grid, undo, redo, clear and paste, and the title.
    const auto state = [&] {
        QString s;
        for (uint32_t id : tools) s += Frame().Action(id)->isChecked() ? QString::number(id - ID_TOOL_HAND) : "";
        for (int i = 0; i < 3; ++i)
            if (!Frame().OptionBarOf(bars[i])->isHidden()) s += "PES"[i];
        for (uint32_t id : {ID_VIEW_TOOLBAR, ID_VIEW_GRID}) s += Frame().Action(id)->isChecked() ? " +" : " -";
        for (uint32_t id : {ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_CLEAR, ID_EDIT_PASTE})
            s += Frame().Action(id)->isEnabled() ? " +" : " -";
        return s + " " + Frame().windowTitle();
    };
    const auto paste = [&] { Doc().GetServices().pClipboard->SetData(kClipFormat, MakeClipBlock(4, 4)); };
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[] {}, "1P + + - - - - Sketch1 - Graphelle"},
        {[&] { Frame().Action(ID_TOOL_ERASER)->trigger(); }, "2E + + - - - - Sketch1 - Graphelle"},
        {[&] { Frame().RouteCommand(ID_VIEW_TOOLBAR); }, "2 - + - - - - Sketch1 - Graphelle"},
        {[&] { Frame().RouteCommand(ID_TOOL_SELECT); }, "3 - + - - - - Sketch1 - Graphelle"},
        {[&] { Frame().RouteCommand(ID_VIEW_TOOLBAR); }, "3S + + - - - - Sketch1 - Graphelle"},
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
    // The hand's picture over the sheet: open, and closed while it drags.
    const auto pointer = [&](QEvent::Type type, Qt::MouseButton button) {
        QMouseEvent event(type, QPointF(200, 200), QPointF(200, 200), button, button, Qt::NoModifier);
        QApplication::sendEvent(m_app->GetView()->viewport(), &event);
        return m_app->GetView()->ToolCursor().Look().shape;
    };
    EXPECT_EQ(pointer(QEvent::MouseMove, Qt::NoButton), CursorShape::OpenHand);
    EXPECT_EQ(pointer(QEvent::MouseButtonPress, Qt::LeftButton), CursorShape::ClosedHand);
}
