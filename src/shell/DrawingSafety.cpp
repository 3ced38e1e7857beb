#include "DrawingSafety.h"

#include "EarlierVersionsDlg.h"
#include "document/QuillexDoc.h"
#include "document/RecoveryKeeper.h"
#include "formats/FileFormat.h"
#include "framework/CommandIds.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

namespace {

constexpr char kNoticeTitle[] = "Drawings Recovered";

QString FromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString FileName(const std::string& path)
{
    return QFileInfo(FromPath(path)).fileName();
}

QString Folder(const std::string& path)
{
    return QDir::toNativeSeparators(QFileInfo(FromPath(path)).absolutePath());
}

std::string DocumentsFolder(IShellFolders& folders)
{
    std::string folder;
    return folders.GetDocumentsFolder(folder) ? folder : std::string();
}

}  // namespace

CDrawingSafety::CDrawingSafety(CQuillexDoc& doc, IShellFolders& folders, OpenFile open)
    : m_doc(doc), m_folders(folders), m_open(std::move(open))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { OnTick(); });
    if (m_store.Open()) {
        m_pKeeper = std::make_unique<CRecoveryKeeper>(doc, m_store);
        m_pKeeper->SetChangeHandler([this] {
            if (!m_timer.isActive()) m_timer.start(CRecoveryKeeper::kDelayMs);
        });
    }
    m_doc.GetServices().pSaveWatcher = this;
}

CDrawingSafety::~CDrawingSafety()
{
    if (m_doc.GetServices().pSaveWatcher == this) m_doc.GetServices().pSaveWatcher = nullptr;
    // Unsaved work goes into its copy now; the copy outlives the session.
    m_pKeeper.reset();
    m_store.Close();
}

void CDrawingSafety::OnTick()
{
    if (!m_pKeeper) return;
    m_pKeeper->Tick();
    const int delay = m_pKeeper->NextTickDelay();
    if (delay >= 0) m_timer.start(delay);
}

void CDrawingSafety::RestoreLostDrawings()
{
    m_restored = m_store.RestoreOrphans(m_versions, DocumentsFolder(m_folders));
}

QString CDrawingSafety::RestoredNotice(const std::vector<RestoredDrawing>& restored)
{
    QStringList lines;
    bool replaced = false;
    for (const RestoredDrawing& r : restored) {
        const QString name = r.drawingPath.empty() ? QStringLiteral("A drawing whose name was lost")
                                                   : FileName(r.drawingPath);
        switch (r.into) {
        case RestoredDrawing::Into::OwnFile:
            lines << QStringLiteral("%1, in %2").arg(name, Folder(r.drawingPath));
            replaced = true;
            break;
        case RestoredDrawing::Into::NewSketch:
            lines << QStringLiteral("%1, as the new sketch %2 in %3, because its own file could not be written")
                         .arg(name, FileName(r.restoredPath), Folder(r.restoredPath));
            break;
        case RestoredDrawing::Into::Nowhere:
            lines << QStringLiteral("%1 could not be written anywhere yet; its recovery copy %2 is kept and "
                                    "will be tried again at the next start")
                         .arg(name, QDir::toNativeSeparators(FromPath(r.restoredPath)));
            break;
        case RestoredDrawing::Into::AlreadyThere:
            break;
        }
    }
    if (lines.isEmpty()) return QString();
    QString text = QStringLiteral("Graphelle ended last time before these drawings were saved. "
                                  "Their unsaved changes are back:\n\n");
    for (const QString& line : lines) text += QStringLiteral("\u2022 ") + line + QStringLiteral("\n");
    if (replaced)
        text += QStringLiteral("\nWhatever those files held before is kept: choose Earlier Versions... in "
                               "the Tool menu to see it.");
    return text.trimmed();
}

void CDrawingSafety::AnnounceRestored()
{
    const QString notice = RestoredNotice(m_restored);
    if (notice.isEmpty()) return;
    // After the window is on screen, so the notice opens over it.
    QTimer::singleShot(0, this, [this, notice] {
        QMessageBox box(QMessageBox::Information, QString::fromUtf8(kNoticeTitle), notice, QMessageBox::Ok,
                        ParentWidget());
        box.exec();
        // Keys reach the window again, also on a desktop without a window
        // manager to hand the focus back.
        if (QWidget* window = ParentWidget()) window->activateWindow();
    });
}

bool CDrawingSafety::OnCommand(uint32_t id)
{
    if (id != ID_FILE_EARLIER_VERSIONS) return false;
    OnFileEarlierVersions();
    return true;
}

bool CDrawingSafety::OnUpdateCommand(CCmdUI& ui)
{
    if (ui.m_nID != ID_FILE_EARLIER_VERSIONS) return false;
    ui.Enable(true);
    return true;
}

void CDrawingSafety::OnFileEarlierVersions()
{
    // With a drawing open, its versions; from the list of sketches, those of
    // every drawing, also of files that are gone.
    const bool drawing = m_doc.GetPaper().HasBits() && !m_doc.GetPathName().empty();
    const QString heading = drawing ? QStringLiteral("Earlier versions of %1").arg(FileName(m_doc.GetPathName()))
                                    : QStringLiteral("Earlier versions of your drawings");
    CEarlierVersionsDlg dlg(drawing ? m_versions.List(m_doc.GetPathName()) : m_versions.ListAll(), heading,
                            !drawing, ParentWidget());
    if (dlg.exec() != QDialog::Accepted) return;
    const int index = dlg.SelectedIndex();
    if (index < 0) return;
    std::string made;
    if (!CVersionStore::RestoreAsNew(dlg.Versions()[static_cast<size_t>(index)], DocumentsFolder(m_folders),
                                     made)) {
        if (IMessageBox* box = m_doc.GetServices().pMessageBox)
            box->ShowMessage("The earlier version could not be written to a new sketch.");
        return;
    }
    if (m_open) m_open(FromPath(made));
}

void CDrawingSafety::BeforeSave(const std::string& path)
{
    // Copies in other formats are pictures of the drawing, not the drawing.
    // A version that cannot be kept does not stop the save: the work on
    // screen matters more than the file it replaces.
    if (FormatForName(path) == FileFormat::Sketch) m_versions.KeepBeforeFirstSave(path);
}

void CDrawingSafety::AfterSave(const std::string& path)
{
    if (!m_pKeeper) return;
    m_pKeeper->OnSaved(path);
    // Save As and Save Elsewhere settle the drawing's state after saving; a
    // tick then looks again.
    if (!m_timer.isActive()) m_timer.start(CRecoveryKeeper::kDelayMs);
}
