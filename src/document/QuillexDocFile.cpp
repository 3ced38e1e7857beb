// The drawing's files: new sheets with a generated name, opening, saving,
// and saving a copy in another format.

#include "QuillexDoc.h"

#include "formats/FileFormat.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"
#include "framework/Services.h"

#include <string>
#include <vector>

namespace {

constexpr char kFailedToOpen[] = "Failed to open file!";
// The handheld's file dialogs took names of at most this many characters,
// ending NUL included.
constexpr size_t kMaxPath = 260;
// Beyond this many generated names the folder is not a sane place to save.
constexpr int kMaxGeneratedName = 100000;

std::string Quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

}  // namespace

void CQuillexDoc::ShowMessage(const std::string& text) const
{
    if (IMessageBox* box = GetServices().pMessageBox) box->ShowMessage(text);
}

bool CQuillexDoc::ReserveDocumentName(const std::function<std::string(const std::string&, int)>& make)
{
    IShellFolders* shell = GetServices().pShellFolders;
    std::string folder;
    if (shell && shell->GetDocumentsFolder(folder) && !folder.empty()) {
        if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        const auto unused = [&](int n) {
            const std::string name = make(folder, n);
            return shell->FileExists(name) ? std::string() : name;
        };
        if (m_newName.ReserveFirstFree(unused, kMaxGeneratedName)) return true;
    }
    ShowMessage(kFailedToCreate);
    return false;
}

bool CQuillexDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument()) {
        ShowMessage(kFailedToCreate);
        return false;
    }
    // While the size is asked for, the views show no sheet at all.
    UpdateAllViews(nullptr, nullptr);

    // A new drawing always has a file of its own, so Save never has to ask;
    // it takes the name once the sheet exists, so nothing is named before.
    const auto sketchName = [](const std::string& folder, int n) {
        return folder + "/Sketch" + std::to_string(n) + ".tvk";
    };
    if (!ReserveDocumentName(sketchName)) return false;

    INewPaperDialog* dialog = GetServices().pNewPaperDialog;
    int32_t width = 0, height = 0, roughness = 0;
    if (!dialog || !dialog->Run(width, height, roughness)) {
        ShowMessage(kFailedToCreate);
        return false;
    }
    if (width <= 0 || height <= 0 || roughness <= 0) {
        ShowMessage(kFailedToCreate);
        return false;
    }
    if (!MakeSheets(static_cast<uint32_t>(width), static_cast<uint32_t>(height), static_cast<uint32_t>(roughness)))
        return false;
    UpdateAllViews(nullptr, nullptr);
    return true;
}

bool CQuillexDoc::MakeSheets(uint32_t width, uint32_t height, uint32_t roughness, const CPaper* pixels)
{
    if (!(pixels ? SetSheet(*pixels) : CreatePapers(width, height, roughness))) {
        ShowMessage(kFailedToCreate);
        return false;
    }
    SetPathName(m_newName.GetPath());
    m_fileStamp = CFileStamp::Of(GetPathName());
    return true;
}

bool CQuillexDoc::OnOpenDocument(const std::string& path)
{
    if (!CDocument::OnOpenDocument(path) || !m_paper.HasBits()) {
        ShowMessage(kFailedToOpen);
        return false;
    }
    m_fileStamp = CFileStamp::Of(path);
    if (m_bReadInPart) {
        // Writing over the file would throw away the part that could not be
        // read now but might be rescued by other means.
        const std::string name = Quoted(GetTitle());
        if (MoveToSiblingName("rescued"))
            ShowMessage(name + " could be read only in part: the rest of the sheet is white. The file is left as it is; "
                        "your changes will be saved to " + Quoted(GetTitle()) + ".");
        else
            ShowMessage(name + " could be read only in part: the rest of the sheet is white.");
    }
    UpdateAllViews(nullptr, nullptr);
    return true;
}

bool CQuillexDoc::MoveToSiblingName(const std::string& label)
{
    const std::string path = GetPathName();
    const auto sibling = [&](int n) { return CNameReservation::SiblingName(path, label, label.empty() ? n + 1 : n); };
    if (!m_newName.ReserveFirstFree(sibling, kMaxGeneratedName)) return false;
    SetPathName(m_newName.GetPath());
    m_fileStamp = CFileStamp::Of(GetPathName());
    return true;
}

bool CQuillexDoc::OnSaveDocument(const std::string& path)
{
    // Whoever saves in the middle of a stroke wants the stroke in the file.
    EndGesture();
    DropSelection();
    if (path != GetPathName()) return CDocument::OnSaveDocument(path);

    // Someone else wrote the drawing's file since we read or wrote it: both
    // drawings are kept, ours under a new name.
    if (!(CFileStamp::Of(path) == m_fileStamp)) {
        const std::string theirs = Quoted(GetTitle());
        if (!MoveToSiblingName("")) {
            ShowMessage(theirs + " was changed by another program, and no other name was free to save to.");
            return false;
        }
        if (!CDocument::OnSaveDocument(GetPathName())) return false;
        m_fileStamp = CFileStamp::Of(GetPathName());
        ShowMessage(theirs + " was changed by another program since it was opened. Both are kept: your drawing was "
                    "saved as " + Quoted(GetTitle()) + ".");
        return true;
    }
    if (!CDocument::OnSaveDocument(path)) return false;
    m_fileStamp = CFileStamp::Of(path);
    return true;
}

bool CQuillexDoc::Serialize(CArchive& ar)
{
    // Any file is read as a sketch whatever its name; the writer follows the
    // name's extension.
    if (ar.IsStoring()) return WritePaper(m_paper, ar);
    // A file read whole gives the base its pixels already.
    if (ReadSketch(m_paper, m_basePaper, ar)) return true;
    if (!m_paper.HasBits()) return false;
    m_bReadInPart = true;
    // A damaged stream still opens with the rows decoded before the damage.
    // The base must hold them too, or the first undo would throw them away.
    return m_basePaper.CopyBitsFrom(m_paper);
}

// Writes a copy: the drawing goes on being saved to its own file, so its
// path, title and modified state come out as they went in.
void CQuillexDoc::OnFileSaveAs()
{
    if (m_bInGesture) return;
    const bool wasModified = IsModified();
    ISaveAsDialog* dialog = GetServices().pSaveAsDialog;
    if (dialog) {
        std::string initialName = "Copy of " + GetTitle();
        if (initialName.size() > kMaxPath - 1) initialName.resize(kMaxPath - 1);
        const std::vector<FileFilter> filters = {
            {"Sketch File(*.tvk)", "*.tvk"},
            {"GIF File(*.gif)", "*.gif"},
            {"Bitmap File(*.bmp)", "*.bmp"},
            {"PNG Files (*.png)", "*.png"},
            {"All Files(*.*)", "*.*"},
        };
        std::string path;
        if (dialog->Run("Save as", initialName, filters, path) && !path.empty()) OnSaveDocument(path);
    }
    SetModifiedFlag(wasModified);
}

void CQuillexDoc::DeleteContents()
{
    // The release of a stroke must not arrive in the next drawing's history.
    EndGesture();
    m_paper.Free();
    m_basePaper.Free();
    m_selection.Clear();
    ClearHistory();
    m_newName.Release();
    m_bReadInPart = false;
    m_fileStamp = CFileStamp{};
    CDocument::DeleteContents();
}
