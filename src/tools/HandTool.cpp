#include "HandTool.h"

int32_t CHandTool::OnPointerDown(IToolView* view, CPaper*, int32_t x, int32_t y, int32_t cx, int32_t cy,
                                 CRect& changed, int32_t)
{
    m_pView = view;
    m_ptLastClient = CPoint{cx, cy};
    return OnPointerMove(x, y, cx, cy, changed);
}

int32_t CHandTool::OnPointerMove(int32_t, int32_t, int32_t cx, int32_t cy, CRect& changed)
{
    changed.SetEmpty();
    if (!m_pView) return 1;
    CPoint pos = m_pView->GetScrollPosition();
    const int32_t dx = m_ptLastClient.x - cx;
    const int32_t dy = m_ptLastClient.y - cy;
    // Horizontal first, each axis with its own scroll and repaint, so that a
    // diagonal drag behaves as two straight ones.
    if (dx != 0) {
        pos.x += dx;
        m_ptLastClient.x = cx;
        m_pView->ScrollTo(pos.x, pos.y);
        m_pView->RepaintNow();
    }
    if (dy != 0) {
        m_ptLastClient.y = cy;
        m_pView->ScrollTo(pos.x, pos.y + dy);
        m_pView->RepaintNow();
    }
    return 1;
}

int32_t CHandTool::OnPointerUp(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed, HistoryRecord&,
                               int32_t& modified)
{
    modified = 0;
    return OnPointerMove(x, y, cx, cy, changed);
}
