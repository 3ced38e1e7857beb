#include "SelectTool.h"

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
    if (m_selection.IsEmpty()) return 1;

    if (m_selection.GetRect().Contains(x, y)) {
        // When the piece cannot be made nothing is whitened and nothing
        // recorded, so no pixel is lost; the gesture then moves nothing.
        if (!m_selection.IsFloating() && m_pPaper && m_selection.Lift(*m_pPaper))
            m_owner.OnSelectionLifted(m_selection.GetRect());
        m_bMoving = true;
        m_rcBand = m_selection.GetRect();
        return 1;
    }
    // A press outside puts the piece down; the same gesture drags a new band.
    m_owner.DropSelection();
    return 1;
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
    if (!m_selection.IsFloating()) return 1;
    if (!m_bMoved) {
        // Small wobbles of a pen pressed inside the selection move nothing;
        // the anchor stays, so the first real move covers the whole distance.
        if (std::abs(m_ptAnchor.x - x) > 4 || std::abs(m_ptAnchor.y - y) > 4) m_bMoved = true;
        return 1;
    }
    const int32_t dx = x - m_ptAnchor.x;
    const int32_t dy = y - m_ptAnchor.y;
    // The old and the new place together, so one repaint covers both.
    changed = m_selection.GetRect();
    if (dx > 0)
        changed.right += dx;
    else
        changed.left += dx;
    if (dy > 0)
        changed.bottom += dy;
    else
        changed.top += dy;
    m_ptAnchor = CPoint{x, y};
    m_selection.MoveBy(dx, dy);
    return 1;
}

int32_t CSelectTool::OnPointerUp(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed, HistoryRecord&,
                                 int32_t& modified)
{
    if (m_bMoving) {
        OnPointerMove(x, y, cx, cy, changed);
        modified = m_selection.GetRect() != m_rcBand ? 1 : 0;
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
        m_selection.Select(r.Width() > 4 && r.Height() > 4 ? r : CRect{});
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
