#include "SelectTool.h"

#include "QuillexDoc.h"

#include <algorithm>
#include <cstdlib>

int32_t CSelectTool::OnPointerDown(IToolView* view, CPaper* paper, int32_t x, int32_t y, int32_t, int32_t,
                                   CRect& changed, int32_t)
{
    m_pPaper = paper;
    m_pView = view;
    m_ptAnchor = CPoint{x, y};
    m_rcBand.SetEmpty();
    m_bMoving = false;
    m_bMoved = false;
    changed.SetEmpty();
    if (!m_pDoc || m_pDoc->m_rcSelection.IsEmpty()) return 1;

    if (m_pDoc->m_rcSelection.Contains(x, y)) {
        // A refused lift leaves the gesture moving nothing; see OnPointerMove.
        if (!m_pDoc->m_floating.HasBits()) Lift();
        m_bMoving = true;
        m_rcBand = m_pDoc->m_rcSelection;
        return 1;
    }
    // A press outside puts the piece down; the same gesture drags a new band.
    m_pDoc->DropSelection();
    return 1;
}

// Takes the selected pixels off the paper into the floating piece. When the
// piece cannot be made, nothing is whitened and nothing recorded, so no pixel
// is lost.
bool CSelectTool::Lift()
{
    const CRect sel = m_pDoc->m_rcSelection;
    if (!m_pPaper) return false;
    CPaper& floating = m_pDoc->m_floating;
    if (!floating.Create(static_cast<uint32_t>(sel.Width()), static_cast<uint32_t>(sel.Height()),
                         m_pPaper->GetRoughness()))
        return false;
    if (!m_pPaper->GetRectBits(sel, floating.GetBits(), true)) {
        floating.Free();
        return false;
    }
    m_pDoc->RecordRect(HR_CLEAR, sel);
    m_pDoc->SetModifiedFlag(true);
    return true;
}

int32_t CSelectTool::OnPointerMove(int32_t x, int32_t y, int32_t, int32_t, CRect& changed)
{
    changed.SetEmpty();
    if (!m_bMoving) {
        // The band is always shown at whole paper pixels.
        const CRect band = CRect::Spanned(m_ptAnchor, CPoint{x, y});
        if (m_pView) {
            m_rcBand = m_pView->PaperToView(band);
            m_pView->SetBand(m_rcBand);
        }
        return 1;
    }
    if (!m_pDoc || !m_pDoc->m_floating.HasBits()) return 1;
    if (!m_bMoved) {
        // Small wobbles of a pen pressed inside the selection move nothing;
        // the anchor stays, so the first real move covers the whole distance.
        if (std::abs(m_ptAnchor.x - x) > 4 || std::abs(m_ptAnchor.y - y) > 4) m_bMoved = true;
        return 1;
    }
    const int32_t dx = x - m_ptAnchor.x;
    const int32_t dy = y - m_ptAnchor.y;
    CRect& sel = m_pDoc->m_rcSelection;
    // The old and the new place together, so one repaint covers both.
    changed = sel;
    if (dx > 0)
        changed.right += dx;
    else
        changed.left += dx;
    if (dy > 0)
        changed.bottom += dy;
    else
        changed.top += dy;
    m_ptAnchor = CPoint{x, y};
    sel.Offset(dx, dy);
    return 1;
}

int32_t CSelectTool::OnPointerUp(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed, HistoryRecord&,
                                 int32_t& modified)
{
    if (m_bMoving) {
        OnPointerMove(x, y, cx, cy, changed);
        modified = m_pDoc && m_pDoc->m_rcSelection != m_rcBand ? 1 : 0;
    } else {
        modified = 0;
        OnPointerMove(x, y, cx, cy, changed);
        // A selection always lies on the paper and is at least 5 x 5.
        CRect r = CRect::Spanned(m_ptAnchor, CPoint{x, y});
        const int32_t width = m_pPaper ? static_cast<int32_t>(m_pPaper->GetWidth()) : 0;
        const int32_t height = m_pPaper ? static_cast<int32_t>(m_pPaper->GetHeight()) : 0;
        r.left = std::clamp(r.left, 0, width);
        r.right = std::clamp(r.right, 0, width);
        r.top = std::clamp(r.top, 0, height);
        r.bottom = std::clamp(r.bottom, 0, height);
        if (m_pDoc) {
            if (r.Width() > 4 && r.Height() > 4)
                m_pDoc->m_rcSelection = r;
            else
                m_pDoc->m_rcSelection.SetEmpty();
        }
    }
    m_bMoving = false;
    m_bMoved = false;
    changed.SetEmpty();
    if (m_pView) {
        m_pView->SetBand(CRect{});
        m_pView->InvalidateView(nullptr);
    }
    return 1;
}
