// Cut, Copy and Paste of the selection in the program's own clipboard format.
// Every failure ends the command silently with the drawing as it was.

#include "Clipboard.h"
#include "QuillexDoc.h"

#include "framework/Services.h"

#include <cstring>

namespace {

// A view rectangle grown to cover the selection outline drawn around it.
CRect OutlineArea(IToolView* view, const CRect& paperRect)
{
    CRect r = view->PaperToView(paperRect);
    r.Inflate(2);
    return r;
}

}  // namespace

bool CQuillexDoc::CanPaste() const
{
    IClipboard* clipboard = GetServices().pClipboard;
    return clipboard && clipboard->HasFormat(kClipFormat);
}

void CQuillexDoc::CopySelection(IToolView* view, bool cut)
{
    if (m_bInGesture || m_selection.IsEmpty()) return;
    IClipboard* clipboard = GetServices().pClipboard;
    if (!clipboard) return;
    const CRect selected = m_selection.GetRect();
    const uint32_t width = static_cast<uint32_t>(selected.Width());
    const uint32_t height = static_cast<uint32_t>(selected.Height());
    std::vector<uint8_t> block = MakeClipBlock(width, height);
    if (block.empty()) return;
    const size_t size = block.size() - kClipHeaderSize;

    if (m_selection.IsFloating()) {
        const CPaper& piece = m_selection.GetPiece();
        if (piece.GetImageSize() < size) return;
        std::memcpy(block.data() + kClipHeaderSize, piece.GetBits(), size);
    } else if (!m_paper.GetRectBits(selected, block.data() + kClipHeaderSize, false)) {
        return;
    }

    // The pixels reach the clipboard before anything is cut: a clipboard that
    // refuses them must not cost the drawing its piece.
    if (!clipboard->SetData(kClipFormat, std::move(block)) || !cut) return;

    RemoveSelection();
    UpdateAllViews(nullptr, &selected);
    if (view) {
        const CRect area = OutlineArea(view, selected);
        view->InvalidateView(&area);
    }
}

// A cut whose copy failed keeps the selection and any floating piece, so
// nothing leaves the drawing without reaching the clipboard.
void CQuillexDoc::Cut(IToolView* view)
{
    CopySelection(view, true);
}

void CQuillexDoc::Paste(IToolView* view)
{
    if (m_bInGesture || !m_paper.HasBits() || !CanPaste()) return;
    std::vector<uint8_t> block;
    if (!GetServices().pClipboard->GetData(kClipFormat, block) || !HasClipSignature(block)) return;

    DropSelection();
    uint32_t width = 0, height = 0;
    if (!ReadClipHeader(block, width, height)) return;

    // The piece arrives near the view's top-left corner, on the paper even
    // when the view shows the surround there.
    CPoint at = view ? view->ViewToPaper(CPoint{5, 5}) : CPoint{5, 5};
    if (at.x < 0) at.x = 5;
    if (at.y < 0) at.y = 5;
    if (FloatPiece(width, height, block.data() + kClipHeaderSize, at) && view) view->InvalidateView(nullptr);
}
