#pragma once
// CPointerTracker: the press-drag-release gesture as one small state machine,
// fed alike by mouse, pen and touch. Its promise to the document: exactly one
// PointerUp for every accepted PointerDown, whichever way the gesture ends
// (release, loss of the pointer, quit), and nothing at all for a declined
// press. A press during a gesture is ignored. Positions are view pixels and
// may be negative left of or above the window; each goes with the pen's
// pressure (full for a mouse or a finger).

#include "engine/Geometry.h"
#include "tools/Pressure.h"

// Where the tracker sends a gesture; the view converts to paper coordinates
// at each call, so a gesture that scrolls the view maps later points anew.
class IPointerSink {
public:
    virtual ~IPointerSink() = default;
    // false when the gesture is declined.
    virtual bool OnGestureDown(CPoint viewPoint, int32_t pressure) = 0;
    virtual void OnGestureMove(CPoint viewPoint, int32_t pressure) = 0;
    virtual void OnGestureUp(CPoint viewPoint, int32_t pressure) = 0;
};

enum class PointerSource { Mouse, Pen, Touch };

class CPointerTracker {
public:
    explicit CPointerTracker(IPointerSink& sink) : m_sink(sink) {}

    // True when a gesture started.
    bool Press(PointerSource source, CPoint viewPoint, int32_t pressure = kFullPressure);
    // Moves and releases from a device other than the one that pressed are
    // not part of the gesture. The release goes with the last pressure seen:
    // a pen reports none as it lifts, which is not how the stroke was drawn.
    void Move(PointerSource source, CPoint viewPoint, int32_t pressure = kFullPressure);
    void Release(PointerSource source, CPoint viewPoint);
    // The pointer was lost (focus, grab, window hidden, quit): the gesture
    // ends where the pointer was last seen.
    void Cancel();

    bool IsTracking() const { return m_bTracking; }

private:
    void Finish(CPoint viewPoint);

    IPointerSink& m_sink;
    bool m_bTracking = false;
    bool m_bPressing = false;
    bool m_bLostDuringPress = false;
    PointerSource m_source = PointerSource::Mouse;
    CPoint m_ptLast;
    int32_t m_nPressure = kFullPressure;
};
