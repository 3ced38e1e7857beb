#include "MainFrame.h"

#include "DocListPage.h"
#include "MainToolBar.h"
#include "OptionBar.h"
#include "Resources.h"
#include "ShellResources.h"
#include "document/QuillexDoc.h"
#include "document/Settings.h"
#include "framework/Document.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHelpEvent>
#include <QIcon>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QToolTip>

#include <iterator>

namespace {

// Commands that make sense with no drawing on screen: the list's own menu
// and the accelerators that start or open one.
bool WorksWithoutDrawing(uint32_t id)
{
    switch (id) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_APP_ABOUT:
    case ID_HELP:
    case ID_APP_EXIT:
    case ID_FILE_EARLIER_VERSIONS:
    case ID_VIEW_FULL_SCREEN:
        return true;
    default:
        return false;
    }
}

bool IsCheckCommand(uint32_t id)
{
    switch (id) {
    case ID_TOOL_HAND:
    case ID_TOOL_PENCIL:
    case ID_TOOL_ERASER:
    case ID_TOOL_SELECT:
    case ID_VIEW_GRID:
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_FULL_SCREEN:
    case ID_VIEW_MIRROR:
        return true;
    default:
        return false;
    }
}

}  // namespace

CMainFrame::CMainFrame(CCmdTarget* appTarget, AppServices& services, QWidget* parent)
    : QMainWindow(parent), m_pAppTarget(appTarget), m_services(services)
{
    InitShellResources();
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(res::kAppName);
    setWindowIcon(QIcon(QStringLiteral(":/icons/graphelle.svg")));
    setContextMenuPolicy(Qt::NoContextMenu);

    m_pPages = new QStackedWidget(this);
    m_pDocList = new CDocListPage(m_pPages);
    m_pPages->addWidget(m_pDocList);
    setCentralWidget(m_pPages);

    BuildMenus();
    m_pMenuBar->installEventFilter(this);
    BuildBars();
    LoadOptionSettings();
    m_services.pMainWindow = this;

    // Update handlers run when the loop is about to wait, once after
    // anything happened, so a quiet program does no work.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        connect(dispatcher, &QAbstractEventDispatcher::awake, this,
                [this] { m_bIdleWanted = true; });
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (m_bIdleWanted) OnIdle();
        });
    }
}

CMainFrame::~CMainFrame()
{
    SaveOptionSettings();
    if (m_services.pMainWindow == this) m_services.pMainWindow = nullptr;
}

QAction* CMainFrame::MakeAction(uint32_t id, const QString& text)
{
    auto it = m_actions.find(id);
    if (it != m_actions.end()) return it->second;
    auto* action = new QAction(text, this);
    action->setCheckable(IsCheckCommand(id));
    // A menu shows a checked icon as a faint frame; a check mark reads better.
    action->setIconVisibleInMenu(!action->isCheckable());
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id); });
    m_actions[id] = action;
    return action;
}

QMenu* CMainFrame::MakeMenu(const char* title, const res::MenuItemDef* items, size_t count)
{
    auto* menu = new QMenu(QString::fromUtf8(title), this);
    QMenu* target = menu;
    for (size_t i = 0; i < count; ++i) {
        const res::MenuItemDef& item = items[i];
        switch (item.kind) {
        case res::MenuEntry::Item:
            target->addAction(MenuAction(item.id, QString::fromUtf8(item.text)));
            break;
        case res::MenuEntry::RecentFiles: {
            QMenu* recent = menu->addMenu(QString::fromUtf8(item.text));
            connect(recent, &QMenu::aboutToShow, this, [this, recent] { FillRecentFiles(recent); });
            break;
        }
        case res::MenuEntry::Separator:
            target->addSeparator();
            break;
        case res::MenuEntry::SubMenu:
            target = menu->addMenu(QString::fromUtf8(item.text));
            break;
        case res::MenuEntry::EndSubMenu:
            target = menu;
            break;
        }
    }
    return menu;
}

// The same command may stand in two menus under two names ("Save As..." in
// the File menu, "Save as..." in the Tool menu): the second name gets an
// action of its own that follows the first one's state.
QAction* CMainFrame::MenuAction(uint32_t id, const QString& text)
{
    QAction* action = MakeAction(id, text);
    if (action->text().section(QLatin1Char('\t'), 0, 0) == text) return action;
    auto* alias = new QAction(text, this);
    alias->setIconVisibleInMenu(false);
    connect(alias, &QAction::triggered, this, [this, id] { RouteCommand(id); });
    const auto follow = [alias, action] {
        alias->setEnabled(action->isEnabled());
        const QString keys = action->text().section(QLatin1Char('\t'), 1);
        const QString shown = !keys.isEmpty()            ? keys
                              : action->shortcut().isEmpty() ? QString()
                                                             : action->shortcut().toString(QKeySequence::NativeText);
        alias->setText(alias->text().section(QLatin1Char('\t'), 0, 0) +
                       (shown.isEmpty() ? QString() : QLatin1Char('\t') + shown));
    };
    connect(action, &QAction::changed, alias, follow);
    follow();
    return alias;
}

void CMainFrame::FillRecentFiles(QMenu* menu)
{
    menu->clear();
    const QStringList files = m_recentList ? m_recentList() : QStringList();
    int n = 0;
    for (const QString& path : files) {
        // "&1 name" gives each entry a key; the whole path shows as its tip.
        QAction* entry = menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(QFileInfo(path).fileName()));
        entry->setToolTip(path);
        entry->setStatusTip(path);
        connect(entry, &QAction::triggered, this, [this, path] {
            if (m_openRecent) m_openRecent(path);
        });
    }
    if (files.isEmpty()) menu->addAction(QStringLiteral("No recent files"))->setEnabled(false);
    menu->setToolTipsVisible(true);
}

void CMainFrame::BuildMenus()
{
    m_pMenuBar = new QMenuBar(this);
    m_pMenuBar->setNativeMenuBar(false);
    m_frameMenus = {
        MakeMenu("Edit", res::kEditMenu, std::size(res::kEditMenu)),
        MakeMenu("View", res::kViewMenu, std::size(res::kViewMenu)),
        MakeMenu("Tool", res::kToolMenu, std::size(res::kToolMenu)),
    };
    for (size_t i = 0; i < m_frameMenus.size(); ++i) {
        m_pMenuBar->addMenu(m_frameMenus[i]);
        m_frameMenus[i]->menuAction()->setToolTip(res::kMenuTooltips[i]);
    }
    m_pDocListMenu = MakeMenu("Tool", res::kDocListToolMenu, std::size(res::kDocListToolMenu));
    m_pDocListMenu->setObjectName(QStringLiteral("DocListMenu"));
    m_pDocListMenu->menuAction()->setToolTip(res::kMenuTooltips[2]);
    m_pMenuBar->addMenu(m_pDocListMenu);
    m_pDocListMenu->menuAction()->setVisible(false);
    // Built last, so the Tool menu's names stay the commands' own; shown first.
    m_pFileMenu = MakeMenu("File", res::kFileMenu, std::size(res::kFileMenu));
    m_pFileMenu->menuAction()->setToolTip(res::kFileMenuTooltip);
    m_pMenuBar->insertMenu(m_frameMenus.front()->menuAction(), m_pFileMenu);

    // Accelerators live on the window itself, so they work with the menus
    // hidden too.
    for (const res::AcceleratorDef& acc : res::kAccelerators) {
        QAction* action = MakeAction(acc.id, QString());
        action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(acc.key)));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    AddDesktopKeys();
}

// The keys join the accelerators of their commands. A menu shows only a
// command's first key by itself, so an item with several names them all.
void CMainFrame::AddDesktopKeys()
{
    for (const res::KeyDef& key : res::kDesktopKeys) {
        QAction* action = MakeAction(key.id, QString());
        QList<QKeySequence> keys = action->shortcuts();
        keys.append(QKeySequence(QString::fromLatin1(key.keys), QKeySequence::PortableText));
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    for (const auto& [id, action] : m_actions) {
        const QList<QKeySequence> keys = action->shortcuts();
        if (keys.size() < 2 || action->text().isEmpty()) continue;
        QStringList names;
        for (const QKeySequence& k : keys) names << k.toString(QKeySequence::NativeText);
        action->setText(action->text() + QLatin1Char('\t') + names.join(QStringLiteral(", ")));
    }
}

void CMainFrame::BuildBars()
{
    // The command bar: the menus, then the view buttons.
    m_wndCommandBar = new QToolBar(this);
    m_wndCommandBar->setObjectName(QStringLiteral("CommandBar"));
    m_wndCommandBar->setMovable(false);
    m_wndCommandBar->setFloatable(false);
    m_wndCommandBar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_wndCommandBar->setIconSize(QSize(20, 20));
    m_wndCommandBar->addWidget(m_pMenuBar);
    m_viewButtons.push_back(m_wndCommandBar->addSeparator());
    for (const res::ButtonDef& b : res::kCommandBar) {
        if (b.id == 0) {
            m_viewButtons.push_back(m_wndCommandBar->addSeparator());
            continue;
        }
        QAction* action = MakeAction(b.id, QString());
        if (action->text().isEmpty()) action->setText(b.tooltip);
        action->setIcon(QIcon(QString::fromUtf8(b.icon)));
        action->setToolTip(b.tooltip);
        m_wndCommandBar->addAction(action);
        m_viewButtons.push_back(action);
    }
    addToolBar(Qt::TopToolBarArea, m_wndCommandBar);

    m_wndToolBar = new CMainToolBar(this);
    m_wndToolBar->setIconSize(QSize(24, 24));
    for (const res::ButtonDef& b : res::kToolBar) {
        if (b.id == 0) {
            m_wndToolBar->addSeparator();
            continue;
        }
        QAction* action = MakeAction(b.id, QString::fromUtf8(b.tooltip));
        action->setIcon(QIcon(QString::fromUtf8(b.icon)));
        action->setToolTip(b.tooltip);
        m_wndToolBar->addAction(action);
    }
    addToolBar(Qt::BottomToolBarArea, m_wndToolBar);

    const auto notify = [this](uint32_t controlId, uint32_t code) {
        RouteControlNotify(controlId, code);
    };
    m_wndPencilBar = new COptionBar(OptionBar::Pencil, notify, this);
    m_wndEraserBar = new COptionBar(OptionBar::Eraser, notify, this);
    m_wndSelectBar = new COptionBar(OptionBar::Select, notify, this);
    for (COptionBar* bar : OptionBars()) {
        addToolBar(Qt::BottomToolBarArea, bar);
        bar->hide();
    }
}

void CMainFrame::LoadOptionSettings()
{
    IProfile* profile = m_services.pProfile;
    m_wndPencilBar->SetComboSelection(IDC_PENCIL_GRADE,
                                      ReadSetting(profile, settings::kPencilType));
    m_wndPencilBar->SetComboSelection(IDC_PENCIL_WIDTH,
                                      ReadSetting(profile, settings::kPencilWidth) - 1);
    m_wndPencilBar->SetCheck(IDC_SMOOTH, ReadSetting(profile, settings::kPencilSmooth) != 0);
    m_wndPencilBar->SetCheck(IDC_PENCIL_PRESSURE, ReadSetting(profile, settings::kPencilPressure) != 0);
    m_wndEraserBar->SetCheck(IDC_ERASER_PRESSURE, ReadSetting(profile, settings::kEraserPressure) != 0);
    m_wndEraserBar->SetComboSelection(IDC_ERASER_SIZE,
                                      ReadSetting(profile, settings::kEraserSize) - 1);
    m_wndEraserBar->SetComboSelection(IDC_ERASER_STRENGTH,
                                      ReadSetting(profile, settings::kEraserStrength) - 1);
    m_wndSelectBar->SetCheck(IDC_TRANSPARENT, ReadSetting(profile, settings::kTransparent) != 0);
}

void CMainFrame::SaveOptionSettings()
{
    IProfile* profile = m_services.pProfile;
    WriteSetting(profile, settings::kPencilType, GetComboSelection(IDC_PENCIL_GRADE));
    WriteSetting(profile, settings::kPencilWidth, GetComboSelection(IDC_PENCIL_WIDTH) + 1);
    WriteSetting(profile, settings::kPencilSmooth, GetCheckState(IDC_SMOOTH));
    WriteSetting(profile, settings::kEraserSize, GetComboSelection(IDC_ERASER_SIZE) + 1);
    WriteSetting(profile, settings::kEraserStrength, GetComboSelection(IDC_ERASER_STRENGTH) + 1);
    WriteSetting(profile, settings::kTransparent, GetCheckState(IDC_TRANSPARENT));
    WriteSetting(profile, settings::kPencilPressure, GetCheckState(IDC_PENCIL_PRESSURE));
    WriteSetting(profile, settings::kEraserPressure, GetCheckState(IDC_ERASER_PRESSURE));
}

void CMainFrame::AttachDocument(CDocument* document)
{
    m_pDocument = document;
}

void CMainFrame::AttachView(QWidget* view, CCmdTarget* viewTarget)
{
    if (m_pView) {
        m_pPages->removeWidget(m_pView);
    }
    m_pView = view;
    m_pViewTarget = viewTarget;
    if (view) {
        m_pPages->addWidget(view);
        if (!m_bDocListShown) m_pPages->setCurrentWidget(view);
    }
}

void CMainFrame::ShowDocList(const QString& folder)
{
    ShowDocList(folder, CDocListPage::FindSketches(folder));
}

void CMainFrame::ShowDocList(const QString& folder, const QStringList& sketches)
{
    m_pDocList->Populate(folder, sketches);
    m_pPages->setCurrentWidget(m_pDocList);
    m_bDocListShown = true;
    for (QMenu* menu : m_frameMenus) menu->menuAction()->setVisible(false);
    m_pDocListMenu->menuAction()->setVisible(true);
    for (QAction* button : m_viewButtons) button->setVisible(false);
    m_wndToolBar->hide();
    for (COptionBar* bar : OptionBars()) bar->hide();
    m_bIdleWanted = true;
}

void CMainFrame::ShowDocument()
{
    if (m_pView) m_pPages->setCurrentWidget(m_pView);
    if (!m_bDocListShown) return;
    m_bDocListShown = false;
    m_pDocListMenu->menuAction()->setVisible(false);
    for (QMenu* menu : m_frameMenus) menu->menuAction()->setVisible(true);
    for (QAction* button : m_viewButtons) button->setVisible(true);
    // The option bars stay hidden; the next idle pass brings back the
    // current tool's.
    m_wndToolBar->show();
    if (m_pView) m_pView->setFocus();
    m_bIdleWanted = true;
}

std::array<CCmdTarget*, 4> CMainFrame::CommandRoute()
{
    return {m_pViewTarget, m_pDocument, this, m_pAppTarget};
}

bool CMainFrame::RouteCommand(uint32_t id)
{
    if (m_bDocListShown && !WorksWithoutDrawing(id)) return false;
    m_bIdleWanted = true;
    for (CCmdTarget* target : CommandRoute()) {
        if (target && target->OnCommand(id)) return true;
    }
    return false;
}

bool CMainFrame::RouteControlNotify(uint32_t controlId, uint32_t code)
{
    m_bIdleWanted = true;
    for (CCmdTarget* target : CommandRoute()) {
        if (target && target->OnControlNotify(controlId, code)) return true;
    }
    return false;
}

bool CMainFrame::RouteUpdate(CCmdUI& ui)
{
    for (CCmdTarget* target : CommandRoute()) {
        if (target && target->OnUpdateCommand(ui)) return true;
    }
    return false;
}

void CMainFrame::OnIdle()
{
    // Showing or hiding a bar inside the pass posts events that wake the
    // loop once more; the guard keeps a pass from starting inside another.
    if (m_bInIdle) return;
    m_bInIdle = true;
    m_bIdleWanted = false;
    ++m_nIdlePasses;
    for (const auto& [id, action] : m_actions) {
        CCmdUI ui(id);
        if (m_bDocListShown && !WorksWithoutDrawing(id)) {
            ui.Enable(false);
        } else {
            RouteUpdate(ui);
        }
        action->setEnabled(ui.m_bEnabled);
        if (action->isCheckable()) action->setChecked(ui.m_nCheck != 0);
    }
    UpdateTitle();
    m_bInIdle = false;
}

void CMainFrame::UpdateTitle()
{
    QString title = res::kAppName;
    if (m_pDocument && !m_bDocListShown && !m_pDocument->GetTitle().empty()) {
        const QString name = QFileInfo(QString::fromStdString(m_pDocument->GetTitle()))
                                 .completeBaseName();
        title = name + (m_pDocument->IsModified() ? QStringLiteral("*") : QString()) +
                QStringLiteral(" - ") + res::kAppName;
    }
    if (windowTitle() != title) setWindowTitle(title);
}

bool CMainFrame::OnCommand(uint32_t id)
{
    if (id == ID_VIEW_FULL_SCREEN) {
        OnViewFullScreen();
        return true;
    }
    if (id != ID_VIEW_TOOLBAR) return false;
    OnViewToolbar();
    return true;
}

bool CMainFrame::OnUpdateCommand(CCmdUI& ui)
{
    if (ui.m_nID == ID_VIEW_FULL_SCREEN) {
        ui.SetCheck(isFullScreen() ? 1 : 0);
        ui.Enable(!IsInGesture());
        return true;
    }
    if (ui.m_nID != ID_VIEW_TOOLBAR) return false;
    ui.SetCheck(IsToolBarVisible() ? 1 : 0);
    return true;
}

// The window changing size under a pen would move the sheet beneath it, and
// the stroke would jump; it waits for the release.
bool CMainFrame::IsInGesture() const
{
    const auto* doc = dynamic_cast<const CQuillexDoc*>(m_pDocument);
    return doc && doc->IsInGesture();
}

void CMainFrame::OnViewFullScreen()
{
    if (IsInGesture()) return;
    // Maximised stays maximised underneath, and comes back with it.
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void CMainFrame::OnViewToolbar()
{
    m_wndToolBar->setVisible(!IsToolBarVisible());
    m_bLayoutDirty = true;
    if (!IsToolBarVisible()) {
        for (COptionBar* bar : OptionBars()) bar->hide();
    }
    RecalcLayout();
}

COptionBar* CMainFrame::OptionBarOf(OptionBar bar) const
{
    switch (bar) {
    case OptionBar::Pencil:
        return m_wndPencilBar;
    case OptionBar::Eraser:
        return m_wndEraserBar;
    case OptionBar::Select:
        return m_wndSelectBar;
    }
    return nullptr;
}

bool CMainFrame::HasOptionBarWindow(OptionBar bar) const
{
    return OptionBarOf(bar) != nullptr;
}

int CMainFrame::GetComboSelection(uint32_t controlId) const
{
    for (COptionBar* bar : OptionBars())
        if (QComboBox* combo = bar->Combo(controlId)) return combo->currentIndex();
    return -1;
}

int CMainFrame::GetCheckState(uint32_t controlId) const
{
    for (COptionBar* bar : OptionBars())
        if (QCheckBox* check = bar->Check(controlId)) return check->isChecked() ? 1 : 0;
    return 0;
}

void CMainFrame::SetComboSelection(uint32_t controlId, int index)
{
    for (COptionBar* bar : OptionBars())
        if (bar->Combo(controlId)) bar->SetComboSelection(controlId, index);
}

void CMainFrame::SetCheckState(uint32_t controlId, int state)
{
    for (COptionBar* bar : OptionBars())
        if (bar->Check(controlId)) bar->SetCheck(controlId, state != 0);
}

bool CMainFrame::IsToolBarVisible() const
{
    // Hidden by command or by the list, not merely because the window is
    // not on screen yet.
    return !m_wndToolBar->isHidden();
}

void CMainFrame::ShowOptionBar(OptionBar bar, bool show)
{
    if (COptionBar* b = OptionBarOf(bar)) {
        if (b->isHidden() == show) {
            b->setVisible(show);
            m_bLayoutDirty = true;
        }
    }
}

void CMainFrame::RecalcLayout()
{
    // Asked for on every idle pass; a layout request wakes the loop again,
    // so only a change of the bars may cause one.
    if (!m_bLayoutDirty) return;
    m_bLayoutDirty = false;
    if (layout()) layout()->invalidate();
}

QAction* CMainFrame::Action(uint32_t id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

// A menu bar shows no tooltips of its own; ours name each menu button.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_pMenuBar || event->type() != QEvent::ToolTip) return QMainWindow::eventFilter(watched, event);
    const auto* help = static_cast<QHelpEvent*>(event);
    QAction* action = m_pMenuBar->actionAt(help->pos());
    if (action && !action->toolTip().isEmpty())
        QToolTip::showText(help->globalPos(), action->toolTip(), m_pMenuBar, m_pMenuBar->actionGeometry(action));
    else
        QToolTip::hideText();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    event->accept();
}
