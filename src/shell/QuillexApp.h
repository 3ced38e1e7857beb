#pragma once
// CQuillexApp: the program as a whole. It sets up the settings and the other
// services, writes the desktop's file association, binds the document, the
// main window and the view, and opens the file named on the command line or
// else shows the list of sketches or starts a new one. It carries New, Open,
// Save, About, Help and Exit, and sees that no drawing is lost on the way
// out: a changed drawing is saved to its own file without asking, and only
// when that fails is the user asked what to do.

#include "QtProfile.h"
#include "QtServices.h"
#include "framework/CmdTarget.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class CDrawingSafety;
class CHelpLauncher;
class CMainFrame;
class CQuillexDoc;
class CTerminationGuard;
class CQuillexView;
class IClipboard;

class CQuillexApp : public QObject, public CCmdTarget {
public:
    // Makes its services; a test may replace some (GetServices) before
    // InitInstance.
    explicit CQuillexApp(const QString& profilePath = QString());
    ~CQuillexApp() override;

    // Start-up; arguments without the program's name. Never aborts; false
    // when a termination signal ended it, and the event loop must not run.
    bool InitInstance(const QStringList& arguments);

    bool OnCommand(uint32_t id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;

    void OnFileNew();
    void OnFileOpen();
    bool OnFileSave();
    void OnAppAbout();
    void OnHelp();
    void OnAppExit();
    // A termination signal (logout, shutdown, kill) ends the program at once.
    void OnTerminate();
    bool OpenDocumentFile(const QString& path);
    // An entry of Open Recent; one whose file is gone leaves the list with a
    // message.
    void OpenRecent(const QString& path);
    // Opens a sketch, or a picture as a new sketch (see OpenPicture), by
    // path: Open, a file dropped on the window, the command line and another
    // start all come here. False when nothing was opened.
    bool OpenFile(const QString& path);
    // As Open does, the drawing on screen is saved first; then the picture
    // becomes a new drawing named after it in the documents folder. A picture
    // that cannot be read gets a message saying why.
    bool OpenPicture(const QString& path);

    // The sketch file named in arguments (without the program's name), or
    // empty; Qt has taken its own options already, and "--" ends ours.
    static QString FileArgument(const QStringList& arguments);
    // Another start of the program handed over its file (absolute; empty for
    // none): open it as Open does, unless it is the drawing on screen, and
    // bring the window to the front. False while the window is closing.
    bool OnAnotherStart(const QString& path);

    // A changed drawing is saved to its own file; when that fails the user
    // chooses to save elsewhere, discard, or stay. False means stay.
    bool SaveModified();

    // Where the file association goes: $XDG_DATA_HOME or ~/.local/share.
    static QString DataHome();
    // The installed help page, written there when missing.
    static QString HelpPagePath();

    CMainFrame* GetFrame() const { return m_pFrame.get(); }
    CQuillexDoc* GetDocument() const { return m_pDoc.get(); }
    AppServices& GetServices() { return m_services; }
    CQuillexView* GetView() const { return m_pView; }
    CDrawingSafety* GetDrawingSafety() const { return m_pSafety.get(); }

private:
    // The drawing's file joins Open Recent once it exists.
    void RememberDrawing();
    void WriteAssociation();
    void StartDrawingSafety();
    void ShowStartPage();
    // After a failed New or Open the document is empty: the last file comes
    // back when there is one on disk, otherwise the list of sketches shows.
    void Recover(const QString& previousPath);
    void DocumentReady();
    void WatchFirstPaint();

    CQtProfile m_profile;
    CQtMessageBox m_messageBox;
    CQtNewPaperDialog m_newPaperDialog{m_profile};
    CQtShellFolders m_shellFolders;
    CQtSaveAsDialog m_saveAsDialog{m_shellFolders};
    std::unique_ptr<IClipboard> m_pClipboard;
    // What the document and the frame reach the desktop through.
    AppServices m_services;

    // The document outlives the frame, whose view reads it to the end.
    std::unique_ptr<CQuillexDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    CQuillexView* m_pView = nullptr;  // a page of the frame
    std::unique_ptr<CTerminationGuard> m_pTerminationGuard;
    // Recovery copies, earlier versions; it watches the document.
    std::unique_ptr<CDrawingSafety> m_pSafety;
    CHelpLauncher* m_pHelp = nullptr;  // belongs to the frame
};
