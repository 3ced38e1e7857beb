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
    IClipboard* clipboard = Services().pClipboard;
    return clipboard && clipboard->HasFormat(kClipFormat);
}

void CQuillexDoc::CopySelection(IToolView* view, bool cut)
{
    if (m_bInGesture || m_rcSelection.IsEmpty()) return;
    IClipboard* clipboard = Services().pClipboard;
    if (!clipboard) return;
    const uint32_t width = static_cast<uint32_t>(m_rcSelection.Width());
    const uint32_t height = static_cast<uint32_t>(m_rcSelection.Height());
    std::vector<uint8_t> block = MakeClipBlock(width, height);
    if (block.empty()) return;
    const size_t size = block.size() - kClipHeaderSize;

    if (m_floating.HasBits()) {
        if (m_floating.GetImageSize() < size) return;
        std::memcpy(block.data() + kClipHeaderSize, m_floating.GetBits(), size);
    } else if (!m_paper.GetRectBits(m_rcSelection, block.data() + kClipHeaderSize, false)) {
        return;
    }

    // The pixels reach the clipboard before anything is cut: a clipboard that
    // refuses them must not cost the drawing its piece.
    if (!clipboard->SetData(kClipFormat, std::move(block)) || !cut) return;

    const CRect removed = m_rcSelection;
    RemoveSelection();
    UpdateAllViews(nullptr, &removed);
    if (view) {
        const CRect area = OutlineArea(view, removed);
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
    if (!Services().pClipboard->GetData(kClipFormat, block) || !HasClipSignature(block)) return;

    DropSelection();
    uint32_t width = 0, height = 0;
    if (!ReadClipHeader(block, width, height)) return;
    if (!m_floating.Create(width, height, m_paper.GetRoughness())) return;

    // The piece arrives near the view's top-left corner, on the paper even
    // when the view shows the surround there.
    CPoint at = view ? view->ViewToPaper(CPoint{5, 5}) : CPoint{5, 5};
    if (at.x < 0) at.x = 5;
    if (at.y < 0) at.y = 5;
    m_rcSelection = CRect{at.x, at.y, at.x + static_cast<int32_t>(width), at.y + static_cast<int32_t>(height)};
    std::memcpy(m_floating.GetBits(), block.data() + kClipHeaderSize, size_t{PaperStride(width)} * height);

    m_pTool = &m_selectTool;
    if (view) view->InvalidateView(nullptr);
    UpdateAllViews(nullptr, nullptr);
    SetModifiedFlag(true);
}
