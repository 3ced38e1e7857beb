// Opening by path: a sketch as it is, a picture as a new sketch.

#include "QuillexApp.h"

#include "MainFrame.h"
#include "PictureImport.h"
#include "document/QuillexDoc.h"
#include "engine/Paper.h"

#include <QFile>
#include <QFileInfo>

bool CQuillexApp::OpenFile(const QString& path)
{
    return CPictureImport::IsPicture(path) ? OpenPicture(path) : OpenDocumentFile(path);
}

bool CQuillexApp::OpenPicture(const QString& path)
{
    if (!SaveModified()) return false;
    CPaper sheet;
    QString why;
    if (!CPictureImport::Read(path, kDefaultRoughness, sheet, why)) {
        // The drawing, or the list, stays as it was.
        if (IMessageBox* box = m_services.pMessageBox)
            box->ShowMessage(
                QStringLiteral("\"%1\" could not be opened: %2.").arg(QFileInfo(path).fileName(), why).toStdString());
        return false;
    }
    const QString previous = QString::fromStdString(m_pDoc->GetPathName());
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (m_pDoc->OnOpenPicture(QFile::encodeName(absolute).toStdString(), sheet)) {
        DocumentReady();
        return true;
    }
    if (!m_pFrame->isVisible()) return false;  // start-up falls back on its own
    Recover(previous);
    return false;
}
