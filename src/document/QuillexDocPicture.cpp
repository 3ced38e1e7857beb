// Pictures brought in as new drawings, and PNG copies of the drawing.

#include "QuillexDoc.h"

#include "formats/FileFormat.h"
#include "framework/Services.h"

#include <string>
#include <vector>

namespace {

// A file name has at most 255 bytes; this leaves room for " (99999).tvk".
constexpr size_t kMaxStem = 240;

// A file's name without its folder and its extension, cut short (between two
// characters, never inside one) when it is very long.
std::string Stem(const std::string& path)
{
    std::string name = path.substr(path.find_last_of('/') + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    if (name.size() > kMaxStem) {
        size_t end = kMaxStem;
        while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
        name.resize(end);
    }
    return name.empty() ? std::string("Picture") : name;
}

}  // namespace

bool CQuillexDoc::OnOpenPicture(const std::string& picturePath, const CPaper& sheet)
{
    if (!sheet.HasBits() || !CDocument::OnNewDocument()) {
        ShowMessage(kFailedToCreate);
        return false;
    }
    UpdateAllViews(nullptr, nullptr);

    // Only a name no file has is taken, so the picture itself (or a sketch
    // of the same name) is never written over.
    const std::string stem = Stem(picturePath);
    const auto name = [&](const std::string& folder, int n) {
        return CNameReservation::SiblingName(folder + "/" + stem + ".tvk", "", n);
    };
    if (!ReserveDocumentName(name)) return false;

    const uint32_t w = sheet.GetWidth(), h = sheet.GetHeight(), roughness = sheet.GetRoughness();
    if (!MakeSheets(w, h, roughness, &sheet)) {
        m_newName.Release();
        return false;
    }
    // The sheet exists nowhere but here yet; leaving it saves it.
    SetModifiedFlag(true);
    UpdateAllViews(nullptr, nullptr);
    return true;
}

void CQuillexDoc::OnFileExportPng()
{
    if (m_bInGesture || !m_paper.HasBits()) return;
    ISaveAsDialog* dialog = GetServices().pSaveAsDialog;
    if (!dialog) return;
    // A copy: the drawing goes on being saved to its own file.
    const bool wasModified = IsModified();
    const std::vector<FileFilter> filters = {{"PNG Files (*.png)", "*.png"}};
    std::string path;
    if (dialog->Run("Export PNG", Stem(GetTitle()) + ".png", filters, path) && !path.empty()) {
        // The writer goes by the name, and an export is a PNG.
        if (FormatForName(path) != FileFormat::Png) path += ".png";
        OnSaveDocument(path);
    }
    SetModifiedFlag(wasModified);
}
