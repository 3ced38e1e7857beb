#include "ShellTestSupport.h"

#include "Resources.h"
#include "document/Clipboard.h"
#include "framework/Document.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QSettings>
#include <QToolTip>

namespace {

// A menu as it reads: items by name with their keys after a tab, "-" for a
// separator, "Zoom>" and "<" around a sub-menu.
QStringList MenuText(const QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            out << a->text() + ">" << MenuText(a->menu()) << "<";
        } else if (a->isSeparator()) {
            out << "-";
        } else {
            // A text with a tab shows its own keys; otherwise the menu adds the first one.
            const bool ownKeys = a->text().contains('\t') || a->shortcut().isEmpty();
            out << (ownKeys ? a->text() : a->text() + "\t" + a->shortcut().toString(QKeySequence::NativeText));
        }
    }
    return out;
}

QList<QMenu*> VisibleMenus(const QMenuBar* bar)
{
    QList<QMenu*> menus;
    for (QAction* a : bar->actions())
        if (a->isVisible() && a->menu()) menus << a->menu();
    return menus;
}

// The tooltip a person sees when the pointer rests at a place of a widget.
QString ShownTip(QWidget* widget, QPoint at)
{
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// A bar's buttons by the tooltip they show, "-" for a separator.
QStringList Buttons(const QToolBar* bar)
{
    QStringList tips;
    for (QAction* a : bar->actions())
        if (!qobject_cast<QWidgetAction*>(a) && a->isVisible())
            tips << (a->isSeparator() ? "-" : ShownTip(bar->widgetForAction(a), QPoint(4, 4)));
    return tips;
}

QStringList ComboItems(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

}  // namespace

TEST_F(ShellTest, MenusAndBarsHoldEveryItemInOrderWithTheirCommandsTooltipsIconsAndKeys)
{
    Start();
    QList<QMenu*> menus = VisibleMenus(Frame().CommandMenuBar());
    ASSERT_EQ(menus.size(), 4);
    const QStringList titles{"File", "Edit", "View", "Tool"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(menus[i]->title(), titles[i]);
        const QRect button = Frame().CommandMenuBar()->actionGeometry(menus[i]->menuAction());
        EXPECT_EQ(ShownTip(Frame().CommandMenuBar(), button.center()), titles[i]);
    }
    EXPECT_EQ(MenuText(menus[0]),
              QStringList({"New\tCtrl+N", "Open...\tCtrl+O", "Open Recent>", "<", "-",
                           "Save\tCtrl+S", "Save As...\tCtrl+Shift+S", "Export PNG...\tCtrl+E", "Earlier Versions...",
                           "-", "Exit\tCtrl+Q"}));
    menus.removeFirst();
    EXPECT_EQ(MenuText(menus[0]),
              QStringList({"Undo\tCtrl+Z", "Redo\tCtrl+Shift+Z, Ctrl+Y", "-", "Cut\tCtrl+X", "Copy\tCtrl+C",
                           "Paste\tCtrl+V", "-", "Select All\tCtrl+A", "Deselect\tEsc", "Clear\tDel"}));
    EXPECT_EQ(MenuText(menus[1]),
              QStringList({"Grid", "Toolbar", "Zoom>", "Zoom In\tCtrl++, Ctrl+=", "Zoom Out\tCtrl+-",
                           "Actual Size\tCtrl+0", "Fit to Window\tCtrl+9", "-", "Full Screen\tF11", "Mirror View",
                           "<", "-", "About 'Graphelle'...", "Help"}));
    EXPECT_EQ(MenuText(menus[2]), QStringList({"Hand\tH", "Pencil\tB, P", "Eraser\tE", "Select\tS", "-",
                                               "Save as...\tCtrl+Shift+S", "Earlier Versions...", "-", "Exit\tCtrl+Q"}));

    // Each item carries its command.
    const std::pair<const char*, uint32_t> commands[] = {
        {"Undo", 57643},  {"Redo", 57644},       {"Cut", 57635},      {"Copy", 57634},        {"Paste", 57637},
        {"Clear", 57632}, {"Select All", 57642}, {"Grid", 32812},     {"Toolbar", 59392},     {"Zoom In", 32809},
        {"Hand", 32772},  {"Zoom Out", 32810},   {"Pencil", 32773},   {"Actual Size", 32811}, {"Eraser", 32774},
        {"Exit", 57665},  {"Save as...", 57604}, {"Select", 32775},   {"Help", 57670},
        {"About 'Graphelle'...", 57664},         {"Deselect", ID_EDIT_DESELECT}, {"Fit to Window", ID_VIEW_FIT},
        {"Full Screen", ID_VIEW_FULL_SCREEN},    {"Mirror View", ID_VIEW_MIRROR},
        {"Earlier Versions...", ID_FILE_EARLIER_VERSIONS}};
    for (const auto& [text, id] : commands) {
        ASSERT_NE(Frame().Action(id), nullptr) << text;
        EXPECT_EQ(Frame().Action(id)->text().section('\t', 0, 0), text);
    }

    EXPECT_EQ(Buttons(Frame().ToolBar()), QStringList({"Hand", "Pencil", "Eraser", "Select", "-", "Undo", "Redo", "-",
                                                       "Cut", "Copy", "Paste", "Clear"}));
    QStringList commandBar = Buttons(Frame().CommandBar());
    commandBar.removeAll("-");
    EXPECT_EQ(commandBar, QStringList({"Show/Hide Toolbar", "Zoom In", "Zoom Out", "Actual Size"}));
    for (QToolBar* bar : {static_cast<QToolBar*>(Frame().ToolBar()), Frame().CommandBar()})
        for (QAction* a : bar->actions())
            EXPECT_TRUE(a->isSeparator() || qobject_cast<QWidgetAction*>(a) || !a->icon().pixmap(24, 24).isNull())
                << a->toolTip().toStdString();

    const std::pair<const char*, uint32_t> accelerators[] = {
        {"Ctrl+N", ID_FILE_NEW},  {"Ctrl+O", ID_FILE_OPEN}, {"Ctrl+S", ID_FILE_SAVE}, {"Ctrl+Q", ID_APP_EXIT},
        {"Ctrl+Z", ID_EDIT_UNDO}, {"Ctrl+X", ID_EDIT_CUT},  {"Ctrl+C", ID_EDIT_COPY}, {"Ctrl+V", ID_EDIT_PASTE}};
    for (const auto& [keys, id] : accelerators) EXPECT_EQ(Frame().Action(id)->shortcut(), QKeySequence(keys)) << keys;
    // Every key of the desktop reaches its command, whether or not a menu shows it.
    for (const res::KeyDef& key : res::kDesktopKeys)
        EXPECT_TRUE(Frame().Action(key.id)->shortcuts().contains(QKeySequence(key.keys))) << key.keys;
}

TEST_F(ShellTest, OptionListsStartAtTheirDefaultsAndChangesShowAtTheNextStart)
{
    Start();
    auto pencil = [&] { return Frame().OptionBarOf(OptionBar::Pencil); };
    auto eraser = [&] { return Frame().OptionBarOf(OptionBar::Eraser); };
    auto select = [&] { return Frame().OptionBarOf(OptionBar::Select); };
    EXPECT_EQ(ComboItems(pencil()->Combo(1000)),
              QStringList({"C", "6B", "5B", "4B", "3B", "2B", "1B", "HB", "1H", "2H", "3H", "4H"}));
    EXPECT_EQ(ComboItems(pencil()->Combo(1001)), QStringList({"Thin", "Mid", "Thick"}));
    EXPECT_EQ(ComboItems(eraser()->Combo(1002)), QStringList({"Small", "Mid", "Large"}));
    EXPECT_EQ(ComboItems(eraser()->Combo(1003)), QStringList({"Light", "Mid", "Heavy"}));
    EXPECT_EQ(pencil()->Check(1037)->text(), "Smooth");
    EXPECT_EQ(select()->Check(1036)->text(), "Transparent");
    EXPECT_EQ(pencil()->Check(IDC_PENCIL_PRESSURE)->text(), "Pressure");
    EXPECT_EQ(eraser()->Check(IDC_ERASER_PRESSURE)->text(), "Pressure");
    EXPECT_TRUE(pencil()->Check(IDC_PENCIL_PRESSURE)->isChecked() && eraser()->Check(IDC_ERASER_PRESSURE)->isChecked());
    const QStringList defaults{pencil()->Combo(1000)->currentText(), pencil()->Combo(1001)->currentText(),
                               eraser()->Combo(1002)->currentText(), eraser()->Combo(1003)->currentText()};
    EXPECT_EQ(defaults, QStringList({"2B", "Thin", "Small", "Light"}));
    EXPECT_FALSE(pencil()->Check(1037)->isChecked() || select()->Check(1036)->isChecked());
    int32_t grade = 0, width = 0, smooth = 0, size = 0, strength = 0;
    Doc().m_pencilTool.GetOptions(grade, width, smooth);
    EXPECT_EQ(std::tuple(grade, width, smooth), std::tuple(5, 1, 0));

    pencil()->Combo(1000)->setCurrentIndex(9);
    eraser()->Combo(1003)->setCurrentIndex(2);
    select()->Check(1036)->click();
    eraser()->Check(IDC_ERASER_PRESSURE)->click();
    EXPECT_EQ(Doc().m_eraserTool.m_bPressure, 0);
    Doc().m_pencilTool.GetOptions(grade, width, smooth);
    EXPECT_EQ(grade, 9);
    EXPECT_EQ(Doc().m_bTransparent, 1);
    Stop();

    Start();
    EXPECT_EQ(pencil()->Combo(1000)->currentText(), "2H");
    EXPECT_EQ(eraser()->Combo(1003)->currentText(), "Heavy");
    EXPECT_TRUE(select()->Check(1036)->isChecked());
    EXPECT_FALSE(eraser()->Check(IDC_ERASER_PRESSURE)->isChecked());
    EXPECT_EQ(std::pair(Doc().m_pencilTool.m_bPressure, Doc().m_eraserTool.m_bPressure), std::pair(1, 0));
    Doc().m_pencilTool.GetOptions(grade, width, smooth);
    Doc().m_eraserTool.GetOptions(size, strength);
    EXPECT_EQ(grade, 9);
    EXPECT_EQ(strength, 3);
    EXPECT_EQ(Doc().m_bTransparent, 1);
}

TEST_F(ShellTest, EditedSettingsOutOfRangeAreClampedBeforeReachingTheLists)
{
    QDir().mkpath(QFileInfo(ProfilePath()).absolutePath());
    QFile ini(ProfilePath());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Settings]\nPencilType=40\nPencilWidth=9\nEraserSize=-3\nEraserStr=x\n");
    ini.close();

    Start();
    COptionBar* pencil = Frame().OptionBarOf(OptionBar::Pencil);
    COptionBar* eraser = Frame().OptionBarOf(OptionBar::Eraser);
    const QStringList shown{pencil->Combo(1000)->currentText(), pencil->Combo(1001)->currentText(),
                            eraser->Combo(1002)->currentText(), eraser->Combo(1003)->currentText()};
    EXPECT_EQ(shown, QStringList({"4H", "Thick", "Small", "Light"}));
    int32_t grade = 0, width = 0, smooth = 0;
    Doc().m_pencilTool.GetOptions(grade, width, smooth);
    EXPECT_EQ(grade, 11);
    EXPECT_EQ(width, 3);
    Stop();

    // What is written back is what the lists showed.
    QSettings stored(ProfilePath(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("Settings/PencilType").toInt(), 11);
    EXPECT_EQ(stored.value("Settings/PencilWidth").toInt(), 3);
}

TEST_F(ShellTest, HidingTheToolbarHidesTheOptionBarUntilTheNextIdlePassAfterShowing)
{
    Start();
    COptionBar* pencil = Frame().OptionBarOf(OptionBar::Pencil);
    COptionBar* eraser = Frame().OptionBarOf(OptionBar::Eraser);
    COptionBar* select = Frame().OptionBarOf(OptionBar::Select);
    // Which option bars show: pencil, eraser, select.
    auto shown = [&] { return std::tuple(!pencil->isHidden(), !eraser->isHidden(), !select->isHidden()); };
    EXPECT_TRUE(Checked(ID_VIEW_TOOLBAR));
    EXPECT_EQ(shown(), std::tuple(true, false, false));

    Frame().RouteCommand(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(Frame().ToolBar()->isHidden());
    EXPECT_EQ(shown(), std::tuple(false, false, false));
    EXPECT_FALSE(Checked(ID_VIEW_TOOLBAR));
    EXPECT_EQ(shown(), std::tuple(false, false, false));
    // Another tool while hidden shows nothing either.
    Frame().RouteCommand(ID_TOOL_ERASER);
    Frame().OnIdle();
    EXPECT_EQ(shown(), std::tuple(false, false, false));

    Frame().RouteCommand(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(Frame().ToolBar()->isHidden());
    EXPECT_EQ(shown(), std::tuple(false, false, false));
    EXPECT_TRUE(Checked(ID_VIEW_TOOLBAR));
    EXPECT_EQ(shown(), std::tuple(false, true, false));

    // The event loop runs the pass on its own when it goes idle.
    Frame().RouteCommand(ID_TOOL_SELECT);
    RunEventLoop();
    EXPECT_EQ(shown(), std::tuple(false, false, true));
    Frame().RouteCommand(ID_TOOL_HAND);
    RunEventLoop();
    EXPECT_EQ(shown(), std::tuple(false, false, false));
}

TEST_F(ShellTest, AQuietProgramRunsNoIdlePasses)
{
    Start();
    RunEventLoop(100);
    const int settled = Frame().IdlePasses();
    RunEventLoop(300);
    // The loop wakes for the test's own timer once; nothing may keep it busy.
    EXPECT_LE(Frame().IdlePasses() - settled, 2);
    // Something happening brings one pass.
    Frame().RouteCommand(ID_TOOL_ERASER);
    RunEventLoop(50);
    EXPECT_GT(Frame().IdlePasses(), settled);
    EXPECT_TRUE(Frame().Action(ID_TOOL_ERASER)->isChecked());
}

TEST_F(ShellTest, UpdateStatesFollowTheDocumentAndTheClipboard)
{
    Start();
    // Tool check marks: only the current tool's.
    auto only = [&](uint32_t current) {
        for (uint32_t id : {ID_TOOL_HAND, ID_TOOL_PENCIL, ID_TOOL_ERASER, ID_TOOL_SELECT})
            EXPECT_EQ(Checked(id), id == current) << id;
    };
    only(ID_TOOL_PENCIL);
    Frame().Action(ID_TOOL_ERASER)->trigger();
    only(ID_TOOL_ERASER);
    Frame().Action(ID_TOOL_PENCIL)->trigger();

    // The grid, shown at first, by its check mark.
    EXPECT_TRUE(Checked(ID_VIEW_GRID));
    Frame().Action(ID_VIEW_GRID)->trigger();
    EXPECT_FALSE(Checked(ID_VIEW_GRID));

    // Clear only with a selection.
    EXPECT_FALSE(Enabled(ID_EDIT_CLEAR));
    Frame().RouteCommand(ID_EDIT_SELECT_ALL);
    EXPECT_TRUE(Enabled(ID_EDIT_CLEAR));
    EXPECT_TRUE(Checked(ID_TOOL_SELECT));
    Frame().RouteCommand(ID_TOOL_PENCIL);

    // Undo and redo by the history.
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO) || Enabled(ID_EDIT_REDO));
    DrawStroke();
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));
    Frame().Action(ID_EDIT_UNDO)->trigger();
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_TRUE(Enabled(ID_EDIT_REDO));

    // Paste only with the program's format on the clipboard.
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
    std::vector<uint8_t> block = MakeClipBlock(4, 4);
    ASSERT_FALSE(block.empty());
    Services().pClipboard->SetData(kClipFormat, block);
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
}

// Counts the notifications that reach it; a document handles them.
template <class Base, bool handles>
struct Counting : Base {
    bool OnControlNotify(uint32_t controlId, uint32_t code) override
    {
        notifications.push_back({controlId, code});
        return handles;
    }
    std::vector<std::pair<uint32_t, uint32_t>> notifications;
};

TEST_F(ShellTest, ControlNotificationsReachTheDocumentExactlyOnce)
{
    Counting<CCmdTarget, false> app, view;
    Counting<CDocument, true> doc;
    {
        CMainFrame frame(&app);
        frame.AttachDocument(&doc);
        frame.AttachView(nullptr, &view);

        frame.OptionBarOf(OptionBar::Pencil)->Combo(1000)->setCurrentIndex(3);
        frame.OptionBarOf(OptionBar::Eraser)->Combo(1002)->setCurrentIndex(1);
        frame.OptionBarOf(OptionBar::Pencil)->Check(1037)->click();
        frame.OptionBarOf(OptionBar::Select)->Check(1036)->click();
        // Setting a control from code is not a user's change.
        frame.OptionBarOf(OptionBar::Pencil)->SetComboSelection(1001, 2);

        const std::vector<std::pair<uint32_t, uint32_t>> expected = {
            {1000, CBN_SELCHANGE}, {1002, CBN_SELCHANGE}, {1037, BN_CLICKED}, {1036, BN_CLICKED}};
        EXPECT_EQ(doc.notifications, expected);
        EXPECT_EQ(view.notifications, expected);  // the view is asked first and declines
        EXPECT_TRUE(app.notifications.empty());   // handled, so the route ends at the document
        EXPECT_EQ(GetMainWindow(), &frame);
    }
    EXPECT_EQ(GetMainWindow(), nullptr);
}

