#pragma once
// The framework's services as the desktop offers them: message boxes, the New
// and Save As dialogs, and the documents folder. Each is a thin adapter; the
// application owns one of each and hands them to the document.

#include "framework/Services.h"

#include <QPointer>
#include <QWidget>

// Dialogs open over the main window once there is one.
class CDialogParent {
public:
    void SetParentWidget(QWidget* parent) { m_parent = parent; }
    QWidget* ParentWidget() const { return m_parent.data(); }

private:
    QPointer<QWidget> m_parent;
};

class CQtMessageBox : public IMessageBox, public CDialogParent {
public:
    void ShowMessage(const std::string& text) override;
};

class CQtNewPaperDialog : public INewPaperDialog, public CDialogParent {
public:
    // The dialog starts from the sizes last used and remembers the new ones.
    explicit CQtNewPaperDialog(IProfile& profile) : m_profile(profile) {}
    bool Run(int32_t& width, int32_t& height, int32_t& roughness) override;

private:
    IProfile& m_profile;
};

class CQtSaveAsDialog : public ISaveAsDialog, public CDialogParent {
public:
    explicit CQtSaveAsDialog(IShellFolders& folders) : m_folders(folders) {}
    bool Run(const std::string& title, const std::string& initialName,
             const std::vector<FileFilter>& filters, std::string& chosenPath) override;

private:
    IShellFolders& m_folders;
};

class CQtShellFolders : public IShellFolders {
public:
    bool GetDocumentsFolder(std::string& folder) override;
    bool FileExists(const std::string& path) override;
};
