#include "PointerTracker.h"

bool CPointerTracker::Press(PointerSource source, CPoint viewPoint, int32_t pressure)
{
    // The document may open a dialog or pump events while it takes the press;
    // a press arriving meanwhile is as much a second press as one during a
    // gesture.
    if (m_bTracking || m_bPressing) return false;
    m_bPressing = true;
    m_bLostDuringPress = false;
    const bool accepted = m_sink.OnGestureDown(viewPoint, pressure);
    m_bPressing = false;
    if (!accepted) return false;
    m_bTracking = true;
    m_source = source;
    m_ptLast = viewPoint;
    m_nPressure = pressure;
    // The release of a pointer lost during the press went elsewhere; waiting
    // for it would leave the gesture open and refuse every later press.
    if (m_bLostDuringPress) Finish(viewPoint);
    return true;
}

void CPointerTracker::Move(PointerSource source, CPoint viewPoint, int32_t pressure)
{
    if (!m_bTracking || source != m_source) return;
    m_ptLast = viewPoint;
    m_nPressure = pressure;
    m_sink.OnGestureMove(viewPoint, pressure);
}

void CPointerTracker::Release(PointerSource source, CPoint viewPoint)
{
    if (!m_bTracking || source != m_source) return;
    Finish(viewPoint);
}

void CPointerTracker::Cancel()
{
    if (m_bPressing) m_bLostDuringPress = true;
    if (!m_bTracking) return;
    Finish(m_ptLast);
}

void CPointerTracker::Finish(CPoint viewPoint)
{
    // Idle before the call, so that whatever the release sets off (a repaint,
    // a focus change) cannot end the same gesture a second time.
    m_bTracking = false;
    m_ptLast = viewPoint;
    m_sink.OnGestureUp(viewPoint, m_nPressure);
}
