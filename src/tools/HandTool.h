#pragma once
// CHandTool: pans the view so that the paper follows the pointer. It works in
// view pixels, which stay put while the view scrolls under a resting pen, and
// never touches the paper or the history.

#include "Tool.h"

class CHandTool : public CTool {
public:
    int32_t OnPointerUp(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed, HistoryRecord& record,
                        int32_t& modified) override;
    int32_t OnPointerDown(IToolView* view, CPaper* paper, int32_t x, int32_t y, int32_t cx, int32_t cy,
                          CRect& changed, int32_t record) override;
    int32_t OnPointerMove(int32_t x, int32_t y, int32_t cx, int32_t cy, CRect& changed) override;

    CPoint m_ptLastClient;
};
