#pragma once
// CSelectTool: drags out a rubber band that becomes the selection, lifts the
// selected pixels into a floating piece when pressed inside it, and moves
// that piece. The selection itself belongs to the drawing; the tool keeps
// only the gesture in progress, and shows the band through the view.

#include "Selection.h"
#include "tools/Tool.h"

// What the select tool asks of the drawing that owns the selection.
class ISelectionOwner {
public:
    virtual ~ISelectionOwner() = default;
    // The selected area was lifted off the sheet, now whitened there: a
    // change to record.
    virtual void OnSelectionLifted(const CRect& rect) = 0;
    // Puts a floating piece down for good (recorded) and clears the selection.
    virtual void DropSelection() = 0;
};

class CSelectTool : public CTool {
public:
    CSelectTool(CSelection& selection, ISelectionOwner& owner) : m_selection(selection), m_owner(owner) {}

    int32_t OnPointerUp(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed, HistoryRecord& record,
                        int32_t& modified) override;
    int32_t OnPointerDown(IToolView* view, CPaper* paper, int32_t x, int32_t y, int32_t cx, int32_t cy,
                          CRect& changed, int32_t record) override;
    int32_t OnPointerMove(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed) override;

    // The gesture under way moves the selection rather than dragging a band.
    bool IsMoving() const { return m_bMoving; }

private:
    CSelection& m_selection;
    ISelectionOwner& m_owner;
    // The press point; while moving, the last point that moved the piece.
    CPoint m_ptAnchor;
    // Banding: the band last shown, in view pixels. Moving: the selection as
    // it was at the press, in paper pixels.
    CRect m_rcBand;
    bool m_bMoving = false;
    // The move has passed the 5-pixel threshold.
    bool m_bMoved = false;
};
