#include "ShellTestSupport.h"

#include "document/Clipboard.h"
#include "framework/Document.h"
#include "shell/OptionBar.h"
#include "shell/MainToolBar.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QToolBar>
#include <QWidgetAction>
#include <QFileInfo>

namespace {

// A menu as text: items by name, "-" for a separator, "Zoom>" and "<" around
// a sub-menu.
QStringList MenuText(const QMenu* menu)
{
    QStringList out;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) {
            out << "-";
        } else if (a->menu()) {
            out << a->text() + ">";
            out << MenuText(a->menu());
            out << "<";
        } else {
            out << a->text();
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

QStringList ButtonTips(const QToolBar* bar)
{
    QStringList tips;
    for (QAction* a : bar->actions())
        if (!a->isSeparator() && !qobject_cast<QWidgetAction*>(a) && a->isVisible())
            tips << a->toolTip();
    return tips;
}

QStringList ComboItems(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

}  // namespace

TEST_F(ShellTest, MenuBarHoldsEditViewToolWithEveryItemInOrder)
{
    Start();
    const QList<QMenu*> menus = VisibleMenus(Frame().CommandMenuBar());
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->title(), "Edit");
    EXPECT_EQ(menus[1]->title(), "View");
    EXPECT_EQ(menus[2]->title(), "Tool");
    EXPECT_EQ(MenuText(menus[0]), QStringList({"Undo", "Redo", "-", "Cut", "Copy", "Paste", "-",
                                               "Select All", "Clear"}));
    EXPECT_EQ(MenuText(menus[1]),
              QStringList({"Grid", "Toolbar", "Zoom>", "Zoom In", "Zoom Out", "Actual Size", "<",
                           "-", "About 'Graphelle'...", "Help"}));
    EXPECT_EQ(MenuText(menus[2]), QStringList({"Hand", "Pencil", "Eraser", "Select", "-",
                                               "Save as...", "-", "Exit"}));

    // Each item carries its command.
    const struct {
        const char* text;
        uint32_t id;
    } commands[] = {{"Undo", 57643},   {"Redo", 57644},       {"Cut", 57635},
                    {"Copy", 57634},   {"Paste", 57637},      {"Select All", 57642},
                    {"Clear", 57632},  {"Grid", 32812},       {"Toolbar", 59392},
                    {"Zoom In", 32809}, {"Zoom Out", 32810},  {"Actual Size", 32811},
                    {"Hand", 32772},   {"Pencil", 32773},     {"Eraser", 32774},
                    {"Select", 32775}, {"Save as...", 57604}, {"Exit", 57665},
                    {"About 'Graphelle'...", 57664},          {"Help", 57670}};
    for (const auto& c : commands) {
        ASSERT_NE(Frame().Action(c.id), nullptr) << c.text;
        EXPECT_EQ(Frame().Action(c.id)->text(), c.text);
    }
}

TEST_F(ShellTest, ToolbarsCarryTheirButtonsTooltipsAndAccelerators)
{
    Start();
    EXPECT_EQ(ButtonTips(Frame().ToolBar()),
              QStringList({"Hand", "Pencil", "Eraser", "Select", "Undo", "Redo", "Cut", "Copy",
                           "Paste", "Clear"}));
    // Two separators: after Select and after Redo.
    QStringList layout;
    for (QAction* a : Frame().ToolBar()->actions()) layout << (a->isSeparator() ? "-" : a->toolTip());
    EXPECT_EQ(layout.indexOf("-"), 4);
    EXPECT_EQ(layout.lastIndexOf("-"), 7);

    EXPECT_EQ(ButtonTips(Frame().CommandBar()),
              QStringList({"Show/Hide Toolbar", "Zoom In", "Zoom Out", "Actual Size"}));
    const QList<QMenu*> menus = VisibleMenus(Frame().CommandMenuBar());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(menus[i]->menuAction()->toolTip(), QStringList({"Edit", "View", "Tool"})[i]);

    for (QToolBar* bar : {static_cast<QToolBar*>(Frame().ToolBar()), Frame().CommandBar()}) {
        for (QAction* a : bar->actions()) {
            if (a->isSeparator() || qobject_cast<QWidgetAction*>(a)) continue;
            EXPECT_FALSE(a->icon().pixmap(24, 24).isNull()) << a->toolTip().toStdString();
        }
    }

    const struct {
        const char* keys;
        uint32_t id;
    } accelerators[] = {{"Ctrl+N", ID_FILE_NEW},  {"Ctrl+O", ID_FILE_OPEN}, {"Ctrl+S", ID_FILE_SAVE},
                        {"Ctrl+Q", ID_APP_EXIT},  {"Ctrl+Z", ID_EDIT_UNDO}, {"Ctrl+X", ID_EDIT_CUT},
                        {"Ctrl+C", ID_EDIT_COPY}, {"Ctrl+V", ID_EDIT_PASTE}};
    for (const auto& a : accelerators)
        EXPECT_EQ(Frame().Action(a.id)->shortcut(), QKeySequence(a.keys)) << a.keys;
}

TEST_F(ShellTest, OptionListsAndDefaultsOnAFirstRun)
{
    Start();
    COptionBar* pencil = Frame().OptionBarOf(OptionBar::Pencil);
    COptionBar* eraser = Frame().OptionBarOf(OptionBar::Eraser);
    COptionBar* select = Frame().OptionBarOf(OptionBar::Select);
    EXPECT_EQ(ComboItems(pencil->Combo(1000)),
              QStringList({"C", "6B", "5B", "4B", "3B", "2B", "1B", "HB", "1H", "2H", "3H", "4H"}));
    EXPECT_EQ(ComboItems(pencil->Combo(1001)), QStringList({"Thin", "Mid", "Thick"}));
    EXPECT_EQ(ComboItems(eraser->Combo(1002)), QStringList({"Small", "Mid", "Large"}));
    EXPECT_EQ(ComboItems(eraser->Combo(1003)), QStringList({"Light", "Mid", "Heavy"}));
    EXPECT_EQ(pencil->Check(1037)->text(), "Smooth");
    EXPECT_EQ(select->Check(1036)->text(), "Transparent");

    EXPECT_EQ(pencil->Combo(1000)->currentText(), "2B");
    EXPECT_EQ(pencil->Combo(1001)->currentText(), "Thin");
    EXPECT_FALSE(pencil->Check(1037)->isChecked());
    EXPECT_EQ(eraser->Combo(1002)->currentText(), "Small");
    EXPECT_EQ(eraser->Combo(1003)->currentText(), "Light");
    EXPECT_FALSE(select->Check(1036)->isChecked());

    int32_t grade = 0, width = 0, smooth = 0;
    Doc().m_pencilTool.GetOptions(grade, width, smooth);
    EXPECT_EQ(grade, 5);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(smooth, 0);
}

TEST_F(ShellTest, ChangedGradeIsStoredAtTheEndAndShownAtTheNextStart)
{
    Start();
    Frame().OptionBarOf(OptionBar::Pencil)->Combo(1000)->setCurrentIndex(9);
    Frame().OptionBarOf(OptionBar::Eraser)->Combo(1003)->setCurrentIndex(2);
    Frame().OptionBarOf(OptionBar::Select)->Check(1036)->click();
    int32_t grade = 0, width = 0, smooth = 0;
    Doc().m_pencilTool.GetOptions(grade, width, smooth);
    EXPECT_EQ(grade, 9);
    EXPECT_EQ(Doc().m_bTransparent, 1);
    Stop();

    Start();
    EXPECT_EQ(Frame().OptionBarOf(OptionBar::Pencil)->Combo(1000)->currentText(), "2H");
    EXPECT_EQ(Frame().OptionBarOf(OptionBar::Eraser)->Combo(1003)->currentText(), "Heavy");
    EXPECT_TRUE(Frame().OptionBarOf(OptionBar::Select)->Check(1036)->isChecked());
    Doc().m_pencilTool.GetOptions(grade, width, smooth);
    EXPECT_EQ(grade, 9);
    int32_t size = 0, strength = 0;
    Doc().m_eraserTool.GetOptions(size, strength);
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
    EXPECT_EQ(pencil->Combo(1000)->currentText(), "4H");
    EXPECT_EQ(pencil->Combo(1001)->currentText(), "Thick");
    EXPECT_EQ(Frame().OptionBarOf(OptionBar::Eraser)->Combo(1002)->currentText(), "Small");
    EXPECT_EQ(Frame().OptionBarOf(OptionBar::Eraser)->Combo(1003)->currentText(), "Light");
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
    EXPECT_TRUE(Checked(ID_VIEW_TOOLBAR));
    EXPECT_FALSE(pencil->isHidden());
    EXPECT_TRUE(eraser->isHidden());
    EXPECT_TRUE(select->isHidden());

    Frame().RouteCommand(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(Frame().ToolBar()->isHidden());
    EXPECT_TRUE(pencil->isHidden());
    Frame().OnIdle();
    EXPECT_TRUE(pencil->isHidden());
    EXPECT_FALSE(Checked(ID_VIEW_TOOLBAR));
    // Another tool while hidden shows nothing either.
    Frame().RouteCommand(ID_TOOL_ERASER);
    Frame().OnIdle();
    EXPECT_TRUE(eraser->isHidden());

    Frame().RouteCommand(ID_VIEW_TOOLBAR);
    EXPECT_FALSE(Frame().ToolBar()->isHidden());
    EXPECT_TRUE(eraser->isHidden());
    Frame().OnIdle();
    EXPECT_FALSE(eraser->isHidden());
    EXPECT_TRUE(pencil->isHidden());
    EXPECT_TRUE(select->isHidden());
    EXPECT_TRUE(Checked(ID_VIEW_TOOLBAR));

    // The event loop runs the pass on its own when it goes idle.
    Frame().RouteCommand(ID_TOOL_SELECT);
    RunEventLoop();
    EXPECT_FALSE(select->isHidden());
    EXPECT_TRUE(eraser->isHidden());
    Frame().RouteCommand(ID_TOOL_HAND);
    RunEventLoop();
    EXPECT_TRUE(select->isHidden() && eraser->isHidden() && pencil->isHidden());
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
    EXPECT_TRUE(Checked(ID_TOOL_ERASER));
}

TEST_F(ShellTest, UpdateStatesFollowTheDocumentAndTheClipboard)
{
    Start();
    // Tool check marks.
    EXPECT_TRUE(Checked(ID_TOOL_PENCIL));
    EXPECT_FALSE(Checked(ID_TOOL_HAND) || Checked(ID_TOOL_ERASER) || Checked(ID_TOOL_SELECT));
    Frame().Action(ID_TOOL_ERASER)->trigger();
    Frame().OnIdle();
    EXPECT_TRUE(Checked(ID_TOOL_ERASER));
    EXPECT_FALSE(Checked(ID_TOOL_PENCIL) || Checked(ID_TOOL_HAND) || Checked(ID_TOOL_SELECT));
    Frame().Action(ID_TOOL_PENCIL)->trigger();

    // The grid, shown at first, by its check mark.
    EXPECT_TRUE(Checked(ID_VIEW_GRID));
    Frame().Action(ID_VIEW_GRID)->trigger();
    Frame().OnIdle();
    EXPECT_FALSE(Checked(ID_VIEW_GRID));

    // Clear only with a selection.
    Frame().OnIdle();
    EXPECT_FALSE(Enabled(ID_EDIT_CLEAR));
    Frame().RouteCommand(ID_EDIT_SELECT_ALL);
    Frame().OnIdle();
    EXPECT_TRUE(Enabled(ID_EDIT_CLEAR));
    EXPECT_TRUE(Checked(ID_TOOL_SELECT));
    Frame().RouteCommand(ID_TOOL_PENCIL);

    // Undo and redo by the history.
    Frame().OnIdle();
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));
    DrawStroke();
    Frame().OnIdle();
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    EXPECT_FALSE(Enabled(ID_EDIT_REDO));
    Frame().Action(ID_EDIT_UNDO)->trigger();
    Frame().OnIdle();
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_TRUE(Enabled(ID_EDIT_REDO));

    // Paste only with the program's format on the clipboard.
    QGuiApplication::clipboard()->clear();
    Frame().OnIdle();
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
    std::vector<uint8_t> block = MakeClipBlock(4, 4);
    ASSERT_FALSE(block.empty());
    Services().pClipboard->SetData(kClipFormat, block);
    Frame().OnIdle();
    EXPECT_TRUE(Enabled(ID_EDIT_PASTE));
    QGuiApplication::clipboard()->clear();
    Frame().OnIdle();
    EXPECT_FALSE(Enabled(ID_EDIT_PASTE));
}

// A document that counts the notifications that reach it.
class CountingDocument : public CDocument {
public:
    bool OnControlNotify(uint32_t controlId, uint32_t code) override
    {
        notifications.push_back({controlId, code});
        return true;
    }
    std::vector<std::pair<uint32_t, uint32_t>> notifications;
};

class CountingTarget : public CCmdTarget {
public:
    bool OnControlNotify(uint32_t, uint32_t) override
    {
        ++count;
        return false;
    }
    int count = 0;
};

TEST_F(ShellTest, ControlNotificationsReachTheDocumentExactlyOnce)
{
    CountingTarget app;
    CountingTarget view;
    CountingDocument doc;
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
        EXPECT_EQ(view.count, 4);  // the view is asked first and declines
        EXPECT_EQ(app.count, 0);   // handled, so the route ends at the document
        EXPECT_EQ(GetMainWindow(), &frame);
    }
    EXPECT_EQ(GetMainWindow(), nullptr);
}
