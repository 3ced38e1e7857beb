#include "QtServices.h"

#include "NewPaperDlg.h"
#include "Resources.h"
#include "TerminationGuard.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>

void CQtMessageBox::ShowMessage(const std::string& text)
{
    if (TerminationRequested()) return;
    QMessageBox box(QMessageBox::Warning, res::kAppName, QString::fromStdString(text),
                    QMessageBox::Ok, ParentWidget());
    box.exec();
}

bool CQtNewPaperDialog::Run(int32_t& width, int32_t& height, int32_t& roughness)
{
    if (TerminationRequested()) return false;
    CNewPaperDlg dlg(&m_profile, ParentWidget());
    if (dlg.exec() != QDialog::Accepted) return false;
    width = dlg.m_nWidth;
    height = dlg.m_nHeight;
    roughness = dlg.m_nRough;
    return true;
}

bool CQtSaveAsDialog::Run(const std::string& title, const std::string& initialName,
                          const std::vector<FileFilter>& filters, std::string& chosenPath)
{
    if (TerminationRequested()) return false;
    QStringList nameFilters;
    for (const FileFilter& f : filters) nameFilters << QString::fromStdString(f.description);

    // A bare name starts in the documents folder, where sketches live.
    QString start = QString::fromStdString(initialName);
    std::string folder;
    if (QFileInfo(start).isRelative() && m_folders.GetDocumentsFolder(folder))
        start = QDir(QString::fromStdString(folder)).filePath(start);

    QFileDialog dlg(ParentWidget(), QString::fromStdString(title));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilters(nameFilters);
    if (!nameFilters.isEmpty()) dlg.selectNameFilter(nameFilters.first());
    dlg.setDirectory(QFileInfo(start).absolutePath());
    dlg.selectFile(QFileInfo(start).fileName());
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
    chosenPath = dlg.selectedFiles().first().toStdString();
    return !chosenPath.empty();
}

bool CQtShellFolders::GetDocumentsFolder(std::string& folder)
{
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty() || !QDir().mkpath(docs)) return false;
    folder = QDir::cleanPath(docs).toStdString();
    return true;
}

bool CQtShellFolders::FileExists(const std::string& path)
{
    return QFileInfo::exists(QString::fromStdString(path));
}
