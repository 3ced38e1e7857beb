#pragma once
// CSelectTool: drags out a rubber band that becomes the document's selection,
// lifts the selected pixels into a floating piece when pressed inside it, and
// moves that piece. The selection state itself lives in the document; the tool
// keeps only the gesture in progress, and shows the band through the view.

#include "tools/Tool.h"

class CQuillexDoc;

class CSelectTool : public CTool {
public:
    int32_t OnPointerUp(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed, HistoryRecord& record,
                        int32_t& modified) override;
    int32_t OnPointerDown(IToolView* view, CPaper* paper, int32_t x, int32_t y, int32_t cx, int32_t cy,
                          CRect& changed, int32_t record) override;
    int32_t OnPointerMove(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed) override;

    CQuillexDoc* m_pDoc = nullptr;
    // The press point; while moving, the last point that moved the piece.
    CPoint m_ptAnchor;
    // Banding: the band last shown, in view pixels. Moving: the selection as
    // it was at the press, in paper pixels.
    CRect m_rcBand;
    bool m_bMoving = false;
    // The move has passed the 5-pixel threshold.
    bool m_bMoved = false;

private:
    bool Lift();
};
