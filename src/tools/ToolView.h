#pragma once
// IToolView: what a tool may ask of the view that tracks its pointer. The Qt
// view implements it; tests use fakes. Coordinates named "view" are client
// pixels of the view window, the others paper pixels.

#include "engine/Geometry.h"

class IToolView {
public:
    virtual ~IToolView() = default;

    // Panning (the hand tool).
    virtual CPoint GetScrollPosition() const = 0;
    virtual void ScrollTo(int32_t x, int32_t y) = 0;  // clamped by the view
    virtual void RepaintNow() = 0;                    // paint pending areas at once

    // Mapping and feedback (the select tool).
    virtual CPoint ViewToPaper(CPoint viewPoint) const = 0;
    virtual CRect PaperToView(const CRect& paperRect) const = 0;
    // Shows the rubber band at a view rectangle; an empty rectangle removes it.
    virtual void SetBand(const CRect& viewRect) = 0;
    // Invalidates a view rectangle, or the whole view when rect is null.
    virtual void InvalidateView(const CRect* viewRect) = 0;
};
