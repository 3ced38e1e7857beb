#pragma once
// CMainFrame: the one main window. From top to bottom: the command bar with
// the menus and four view buttons, the page (the drawing's view, or the list
// of sketches), and the bottom toolbar beside the option bar of the current
// tool. It owns its bars; the view and the list are pages it holds. Commands
// from menus, buttons and keys travel view -> document -> frame ->
// application; whenever the event loop goes idle, the same route decides
// which commands are enabled and checked. The option bars' settings are read
// at creation and written at destruction.

#include "framework/CmdTarget.h"
#include "framework/Services.h"

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <vector>

namespace res {
struct MenuItemDef;
}
class CDocument;
class CDocListPage;
class CMainToolBar;
class COptionBar;
class QAction;
class QMenu;
class QMenuBar;
class QStackedWidget;
class QToolBar;

class CMainFrame : public QMainWindow, public IMainWindow, public CCmdTarget {
public:
    // appTarget: the application, last on the command route.
    // Offers itself as the services' main window while it lives.
    CMainFrame(CCmdTarget* appTarget, AppServices& services, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The document and its view join the command route; the view becomes
    // the drawing page.
    void AttachDocument(CDocument* document);
    void AttachView(QWidget* view, CCmdTarget* viewTarget);

    // Closing asks this first; false keeps the window open.
    void SetCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }
    // Open Recent: the files to list, newest first, asked each time the menu
    // opens, and what choosing one does.
    void SetRecentFiles(std::function<QStringList()> list, std::function<void(const QString&)> open)
    {
        m_recentList = std::move(list);
        m_openRecent = std::move(open);
    }

    // The list of sketches replaces the drawing (menus reduced to "Tool",
    // no toolbar, no option bar) until ShowDocument.
    void ShowDocList(const QString& folder);
    // The same with the sketches already found below folder.
    void ShowDocList(const QString& folder, const QStringList& sketches);
    void ShowDocument();
    bool IsDocListShown() const { return m_bDocListShown; }
    CDocListPage* DocList() const { return m_pDocList; }

    // Command routing.
    bool RouteCommand(uint32_t id);
    bool RouteControlNotify(uint32_t controlId, uint32_t code);
    bool RouteUpdate(CCmdUI& ui);
    // One pass of the update handlers over every command; the event loop
    // runs it whenever it is about to wait.
    void OnIdle();
    // How many passes ran; a quiet program runs none.
    int IdlePasses() const { return m_nIdlePasses; }

    bool OnCommand(uint32_t id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;
    void OnViewToolbar();
    // The window over the whole screen, or back; not in the middle of a stroke.
    void OnViewFullScreen();

    // IMainWindow
    bool HasOptionBarWindow(OptionBar bar) const override;
    int GetComboSelection(uint32_t controlId) const override;
    void SetComboSelection(uint32_t controlId, int index) override;
    void SetCheckState(uint32_t controlId, int state) override;
    int GetCheckState(uint32_t controlId) const override;
    bool IsToolBarVisible() const override;
    void ShowOptionBar(OptionBar bar, bool show) override;
    void RecalcLayout() override;

    QAction* Action(uint32_t id) const;
    QMenuBar* CommandMenuBar() const { return m_pMenuBar; }
    QToolBar* CommandBar() const { return m_wndCommandBar; }
    CMainToolBar* ToolBar() const { return m_wndToolBar; }
    COptionBar* OptionBarOf(OptionBar bar) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    QMenu* createPopupMenu() override { return nullptr; }

private:
    QAction* MakeAction(uint32_t id, const QString& text);
    QMenu* MakeMenu(const char* title, const res::MenuItemDef* items, size_t count);
    QAction* MenuAction(uint32_t id, const QString& text);
    void FillRecentFiles(QMenu* menu);
    void BuildMenus();
    void AddDesktopKeys();
    void BuildBars();
    bool IsInGesture() const;
    void LoadOptionSettings();
    void SaveOptionSettings();
    void UpdateTitle();
    std::array<COptionBar*, 3> OptionBars() const { return {m_wndPencilBar, m_wndEraserBar, m_wndSelectBar}; }
    // The targets a command tries in turn, any of them possibly null.
    std::array<CCmdTarget*, 4> CommandRoute();

    QToolBar* m_wndCommandBar = nullptr;
    CMainToolBar* m_wndToolBar = nullptr;
    COptionBar* m_wndPencilBar = nullptr;
    COptionBar* m_wndEraserBar = nullptr;
    COptionBar* m_wndSelectBar = nullptr;

    QMenuBar* m_pMenuBar = nullptr;
    QMenu* m_pFileMenu = nullptr;       // "File", shown with the list too
    std::vector<QMenu*> m_frameMenus;   // "Edit", "View", "Tool"
    QMenu* m_pDocListMenu = nullptr;    // "Tool" of the list
    std::vector<QAction*> m_viewButtons;
    std::map<uint32_t, QAction*> m_actions;

    QStackedWidget* m_pPages = nullptr;
    QWidget* m_pView = nullptr;
    CDocListPage* m_pDocList = nullptr;
    bool m_bDocListShown = false;

    CCmdTarget* m_pViewTarget = nullptr;
    CDocument* m_pDocument = nullptr;
    CCmdTarget* m_pAppTarget = nullptr;
    AppServices& m_services;
    std::function<bool()> m_closeGuard;
    std::function<QStringList()> m_recentList;
    std::function<void(const QString&)> m_openRecent;
    bool m_bIdleWanted = true;
    bool m_bInIdle = false;
    bool m_bLayoutDirty = false;
    int m_nIdlePasses = 0;
};
