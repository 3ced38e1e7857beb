#include "QuillexApp.h"

#include "AboutDlg.h"
#include "DocListPage.h"
#include "DrawingSafety.h"
#include "FileAssociation.h"
#include "FileDropFilter.h"
#include "HelpLauncher.h"
#include "MainFrame.h"
#include "PictureImport.h"
#include "Resources.h"
#include "TerminationGuard.h"
#include "ShellResources.h"
#include "document/QuillexDoc.h"
#include "view/QtClipboard.h"
#include "view/QuillexView.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <cstdio>

namespace {

// Set to any value, the program prints when its first paint of a sheet is
// on screen; set to "quit" it then ends. The start-up benchmark reads it.
constexpr char kStartupProbe[] = "GRAPHELLE_STARTUP_PROBE";

class CFirstPaintProbe : public QObject {
public:
    CFirstPaintProbe(const CQuillexDoc& doc, QObject* parent) : QObject(parent), m_doc(doc) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_doc.GetPaper().HasBits()) {
            watched->removeEventFilter(this);
            // The paint under way finishes and reaches the screen before
            // the loop comes back to this.
            QTimer::singleShot(0, this, [] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf("first-paint %lld\n",
                            static_cast<long long>(
                                std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stdout);
                if (qgetenv(kStartupProbe) == "quit") QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    const CQuillexDoc& m_doc;
};

QString DocumentsFolder(IShellFolders& folders)
{
    std::string folder;
    return folders.GetDocumentsFolder(folder) ? QString::fromStdString(folder) : QString();
}

}  // namespace

CQuillexApp::CQuillexApp(const QString& profilePath) : m_profile(profilePath)
{
    InitShellResources();
    m_pClipboard = std::make_unique<QtClipboard>();
    m_services.pProfile = &m_profile;
    m_services.pMessageBox = &m_messageBox;
    m_services.pNewPaperDialog = &m_newPaperDialog;
    m_services.pSaveAsDialog = &m_saveAsDialog;
    m_services.pShellFolders = &m_shellFolders;
    m_services.pClipboard = m_pClipboard.get();
}

CQuillexApp::~CQuillexApp()
{
    // The frame goes first: it writes the option bars' settings, and its
    // view writes the grid flag, both through the profile that is still here.
    m_pTerminationGuard.reset();
    m_pSafety.reset();
    m_pFrame.reset();
    m_pDoc.reset();
}

QString CQuillexApp::DataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QString CQuillexApp::HelpPagePath()
{
    const QString path = DataHome() + QStringLiteral("/graphelle/help/") + res::kHelpFile;
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile::copy(QStringLiteral(":/help/") + res::kHelpFile, path);
    }
    return path;
}

void CQuillexApp::WriteAssociation()
{
    const QString dataHome = DataHome();
    const QString exe = QCoreApplication::applicationFilePath();
    const QString cli = QDir(QCoreApplication::applicationDirPath())
                            .filePath(QStringLiteral("graphelle-cli"));
    const AssociationResult result = WriteFileAssociation(dataHome, exe, cli);
    if (result.typeChanged || result.entryChanged) RefreshDesktopDatabases(dataHome);
}

bool CQuillexApp::InitInstance(const QStringList& arguments)
{
    WriteAssociation();

    // The document comes first and takes its tool settings from the profile;
    // the frame fills its option bars from the same values.
    m_pDoc = std::make_unique<CQuillexDoc>(m_services);
    m_pFrame = std::make_unique<CMainFrame>(this, m_services);
    m_pFrame->AttachDocument(m_pDoc.get());
    m_pView = new CQuillexView(&m_profile, m_pFrame.get());
    m_pDoc->AddView(m_pView);
    m_pFrame->AttachView(m_pView, m_pView);
    // At a termination the window closes even when the drawing could not be
    // saved: its recovery copy stays for the next start.
    m_pFrame->SetCloseGuard([this] { return SaveModified() || TerminationRequested(); });
    m_pFrame->SetRecentFiles([this] { return m_profile.RecentFiles(); },
                             [this](const QString& path) { OpenRecent(path); });
    // A kill or a logout ends the program like Exit, saving the drawing.
    m_pTerminationGuard = std::make_unique<CTerminationGuard>([this] { OnTerminate(); });
    // The desktop session is ending: the drawing goes to its file now, while
    // the session manager still waits for us; nobody is there to be asked.
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        if (m_pView) m_pView->EndGestures();
        m_pDoc->EndGesture();
        if (m_pDoc->IsModified()) m_pDoc->DoFileSave();
    });
    connect(m_pFrame->DocList(), &CDocListPage::OpenRequested, this,
            [this](const QString& path) { OpenDocumentFile(path); });
    connect(m_pFrame->DocList(), &CDocListPage::NewRequested, this, [this] { OnFileNew(); });
    new CFileDropFilter(m_pFrame.get(), [this](const QString& path) { OpenFile(path); });
    m_messageBox.SetParentWidget(m_pFrame.get());
    m_newPaperDialog.SetParentWidget(m_pFrame.get());
    m_saveAsDialog.SetParentWidget(m_pFrame.get());
    StartDrawingSafety();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableSize();
        m_pFrame->resize(std::min(960, room.width()), std::min(760, room.height()));
    }
    if (qEnvironmentVariableIsSet(kStartupProbe))
        m_pView->viewport()->installEventFilter(new CFirstPaintProbe(*m_pDoc, this));

    const QString file = FileArgument(arguments);
    // Opened before the window shows, so the first paint is the sheet.
    const bool opened = !file.isEmpty() && OpenFile(file);
    // A termination during a start-up dialog leaves no window behind.
    if (TerminationRequested()) return false;
    m_pFrame->show();
    m_pSafety->AnnounceRestored();
    if (!opened) ShowStartPage();
    return !TerminationRequested();
}

QString CQuillexApp::FileArgument(const QStringList& arguments)
{
    bool optionsEnded = false;
    for (const QString& arg : arguments) {
        if (!optionsEnded && arg == QStringLiteral("--"))
            optionsEnded = true;
        else if (optionsEnded || !arg.startsWith('-'))
            return arg;
    }
    return QString();
}

bool CQuillexApp::OnAnotherStart(const QString& path)
{
    if (!m_pFrame || !m_pFrame->isVisible()) return false;
    // Reopening the drawing on screen would only throw its undo steps away.
    const QString current = m_pDoc->GetPaper().HasBits()
                                ? QFileInfo(QString::fromStdString(m_pDoc->GetPathName())).canonicalFilePath()
                                : QString();
    if (!path.isEmpty() && (current.isEmpty() || current != QFileInfo(path).canonicalFilePath()))
        OpenFile(path);
    m_pFrame->setWindowState(m_pFrame->windowState() & ~Qt::WindowMinimized);
    m_pFrame->raise();
    m_pFrame->activateWindow();
    return true;
}

void CQuillexApp::StartDrawingSafety()
{
    m_pSafety = std::make_unique<CDrawingSafety>(*m_pDoc, m_shellFolders,
                                                 [this](const QString& path) { return OpenDocumentFile(path); });
    m_pSafety->SetParentWidget(m_pFrame.get());
    // Before any file opens: the file named may be one that comes back.
    m_pSafety->RestoreLostDrawings();
}

void CQuillexApp::ShowStartPage()
{
    const QString folder = DocumentsFolder(m_shellFolders);
    // A deep folder takes a while to search, so the list shows what this
    // one search found rather than searching again.
    const QStringList sketches = folder.isEmpty() ? QStringList() : CDocListPage::FindSketches(folder);
    if (!sketches.isEmpty()) {
        m_pFrame->ShowDocList(folder, sketches);
        return;
    }
    if (m_pDoc->OnNewDocument()) {
        DocumentReady();
        return;
    }
    m_pFrame->ShowDocList(folder);
}

void CQuillexApp::DocumentReady()
{
    m_pFrame->ShowDocument();
    m_pView->OnInitialUpdate();
    m_pDoc->UpdateAllViews(nullptr, nullptr);
    // The keys reach the sheet at once, also after a dialog and on a desktop
    // without a window manager to hand the focus back.
    m_pFrame->activateWindow();
    m_pView->setFocus();
}

void CQuillexApp::Recover(const QString& previousPath)
{
    if (m_pDoc->GetPaper().HasBits()) {
        // The failed step never emptied the document.
        m_pFrame->ShowDocument();
        return;
    }
    if (!previousPath.isEmpty() && QFileInfo::exists(previousPath) &&
        m_pDoc->OnOpenDocument(previousPath.toStdString())) {
        DocumentReady();
        return;
    }
    m_pFrame->ShowDocList(DocumentsFolder(m_shellFolders));
}

bool CQuillexApp::OnCommand(uint32_t id)
{
    switch (id) {
    case ID_FILE_NEW: OnFileNew(); return true;
    case ID_FILE_OPEN: OnFileOpen(); return true;
    case ID_FILE_SAVE: OnFileSave(); return true;
    case ID_APP_ABOUT: OnAppAbout(); return true;
    case ID_HELP: OnHelp(); return true;
    case ID_APP_EXIT: OnAppExit(); return true;
    default: return m_pSafety && m_pSafety->OnCommand(id);
    }
}

bool CQuillexApp::OnUpdateCommand(CCmdUI& ui)
{
    if (m_pSafety && m_pSafety->OnUpdateCommand(ui)) return true;
    if (ui.m_nID != ID_FILE_SAVE) return false;
    ui.Enable(m_pDoc && m_pDoc->GetPaper().HasBits() && !m_pDoc->IsInGesture());
    return true;
}

void CQuillexApp::OnFileNew()
{
    if (!SaveModified()) return;
    const QString previous = QString::fromStdString(m_pDoc->GetPathName());
    if (m_pDoc->OnNewDocument()) {
        DocumentReady();
        return;
    }
    Recover(previous);
}

void CQuillexApp::OnFileOpen()
{
    QString start = QString::fromStdString(m_pDoc->GetPathName());
    start = start.isEmpty() ? DocumentsFolder(m_shellFolders) : QFileInfo(start).absolutePath();
    const QString path = QFileDialog::getOpenFileName(m_pFrame.get(), QStringLiteral("Open"), start,
                                                      CPictureImport::OpenFilters().join(QStringLiteral(";;")));
    if (!path.isEmpty()) OpenFile(path);
}

bool CQuillexApp::OpenDocumentFile(const QString& path)
{
    if (!SaveModified()) return false;
    const QString previous = QString::fromStdString(m_pDoc->GetPathName());
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (m_pDoc->OnOpenDocument(QFile::encodeName(absolute).toStdString())) {
        m_profile.AddRecentFile(absolute);
        DocumentReady();
        return true;
    }
    if (!m_pFrame->isVisible()) return false;  // start-up falls back on its own
    Recover(previous);
    return false;
}

bool CQuillexApp::OnFileSave()
{
    if (!m_pDoc->GetPaper().HasBits() || m_pDoc->IsInGesture()) return false;
    if (!m_pDoc->DoFileSave()) return false;
    RememberDrawing();
    return true;
}

void CQuillexApp::RememberDrawing()
{
    const QString path = QFile::decodeName(QByteArray::fromStdString(m_pDoc->GetPathName()));
    if (!path.isEmpty() && QFileInfo::exists(path)) m_profile.AddRecentFile(path);
}

void CQuillexApp::OpenRecent(const QString& path)
{
    if (QFileInfo::exists(path)) {
        OpenFile(path);
        return;
    }
    m_profile.RemoveRecentFile(path);
    if (IMessageBox* box = m_services.pMessageBox)
        box->ShowMessage(QStringLiteral("\"%1\" is no longer there; it was moved or deleted.").arg(path).toStdString());
}

bool CQuillexApp::SaveModified()
{
    if (!m_pDoc) return true;
    // Leaving the drawing ends a gesture in progress first, so that the
    // stroke under the pen is drawn, recorded and saved with the rest.
    if (m_pView) m_pView->EndGestures();
    m_pDoc->EndGesture();
    if (!m_pDoc->IsModified()) return true;
    // The drawing always has a file of its own; Save writes there unasked.
    if (m_pDoc->DoFileSave()) {
        RememberDrawing();
        return true;
    }

    // Nobody is there to answer; the drawing stays changed, so nothing
    // pretends it was saved.
    if (TerminationRequested()) return false;
    const QString path = QString::fromStdString(m_pDoc->GetPathName());
    for (;;) {
        QMessageBox box(QMessageBox::Warning, res::kAppName,
                        QStringLiteral("The drawing could not be saved to \"%1\".").arg(path),
                        QMessageBox::NoButton, m_pFrame.get());
        box.setInformativeText(QStringLiteral(
            "Save it under another name, discard the changes, or go back to the drawing?"));
        QPushButton* saveElsewhere =
            box.addButton(QStringLiteral("Save Elsewhere..."), QMessageBox::AcceptRole);
        QPushButton* discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
        QPushButton* stay = box.addButton(QStringLiteral("Go Back"), QMessageBox::RejectRole);
        box.setDefaultButton(saveElsewhere);
        box.setEscapeButton(stay);
        box.exec();
        if (box.clickedButton() == discard) {
            m_pDoc->SetModifiedFlag(false);
            return true;
        }
        if (box.clickedButton() != saveElsewhere) return false;
        std::string chosen;
        ISaveAsDialog* saveAs = m_services.pSaveAsDialog;
        if (!saveAs || !saveAs->Run("Save as", m_pDoc->GetTitle(), {{res::kSketchFilter, "*.tvk"}},
                                    chosen))
            continue;
        if (m_pDoc->OnSaveDocument(chosen)) {
            m_pDoc->SetPathName(chosen);
            return true;
        }
    }
}

void CQuillexApp::OnAppAbout()
{
    CAboutDlg dlg(m_pFrame.get());
    dlg.exec();
}

void CQuillexApp::OnHelp()
{
    QUrl url = QUrl::fromLocalFile(HelpPagePath());
    url.setFragment(res::kHelpAnchor);
    // The desktop's browser, or the program's own help window when none starts.
    if (!m_pHelp) m_pHelp = new CHelpLauncher(m_pFrame.get());
    m_pHelp->Open(url);
}

// Wherever the program is, a drawing that exists goes to its file without a
// question, every dialog closes as cancelled, and the window closes; an
// event loop that has not started yet is never entered (see InitInstance).
void CQuillexApp::OnTerminate()
{
    if (m_pView) m_pView->EndGestures();
    if (m_pDoc) {
        m_pDoc->EndGesture();
        if (m_pDoc->IsModified()) m_pDoc->DoFileSave();
    }
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal) break;
    }
    // The last window closing ends the event loop.
    if (m_pFrame) m_pFrame->close();
}

void CQuillexApp::OnAppExit()
{
    if (m_pFrame) m_pFrame->close();
}
