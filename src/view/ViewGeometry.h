#pragma once
// CViewGeometry: where the paper sits in the view and how view pixels map to
// paper pixels. It holds the displayed size, the origin in the scrollable
// area, the margin, the client size, the scroll position and whether the
// picture is mirrored, and does all the view's arithmetic with the exact
// integer and single-precision steps the program has always used, so that a
// point maps to the same paper pixel on every machine. It knows nothing of
// windows; the Qt view keeps it in step.

#include "engine/Geometry.h"

#include <cstdint>
#include <string>

constexpr float kZoomInFactor = 1.2f;
constexpr float kZoomOutFactor = 0.83333331f;  // the float nearest to 5/6
constexpr float kActualSizeFactor = 1.0f;
// Fitting enlarges a small sheet no further than a zoom step can still go from.
constexpr float kMaxFitScale = 8.0f;

class CViewGeometry {
public:
    // The paper's own size; (0, 0) while there is no raster.
    CSize m_sizePaper;
    CSize m_sizeZoom;
    CPoint m_ptOrigin;
    CSize m_sizeMargin{50, 50};
    CSize m_sizeClient;
    CPoint m_ptScroll;
    // The picture flipped left to right inside the paper's rectangle; the
    // paper itself is untouched, and the mapping flips with the picture.
    bool m_bMirror = false;

    bool HasPaper() const { return m_sizePaper.cx > 0 && m_sizePaper.cy > 0 && m_sizeZoom.cx > 0 && m_sizeZoom.cy > 0; }

    // The scrollable area: the displayed paper with a margin on every side.
    CSize TotalSize() const;
    // Highest scroll position per axis; 0 on an axis that does not scroll.
    CSize ScrollLimit() const;
    // Scroll bar steps: a tenth of the total size, and a tenth of that.
    static int32_t PageStep(int32_t total) { return total / 10; }
    static int32_t LineStep(int32_t total) { return total / 100; }

    // Actual size, as after opening a document.
    void ResetZoom() { m_sizeZoom = m_sizePaper; }
    // Centres the paper when the client has room for it, else leaves the
    // margin; returns true when the origin moved.
    bool UpdateOrigin();
    // A scroll request clamped into 0..limit; an axis that cannot scroll keeps
    // its current position.
    CPoint ClampScroll(int32_t x, int32_t y) const;

    // The displayed size a zoom step leads to and the effective factor for
    // keeping the centre; false when the step is refused at the limits.
    bool ComputeZoom(float factor, CSize& newZoom, float& effective) const;
    // The scroll request that keeps the client's centre point in place after
    // the zoom, given the scroll position and origin from before it.
    CPoint ZoomScrollTarget(CPoint oldScroll, CPoint oldOrigin, float effective) const;
    // The scroll request that keeps the paper point under anchor (a client
    // pixel) under it after the zoom, given the scroll position, origin and
    // displayed size from before it.
    CPoint ZoomScrollTargetAt(CPoint oldScroll, CPoint oldOrigin, CSize oldZoom, CPoint anchor) const;
    // The largest displayed size, by the width's scale, at which the paper and
    // its margins fit into room (a client without scroll bars), at most
    // kMaxFitScale times the paper; false when no size fits.
    bool ComputeFit(CSize room, CSize& newZoom) const;
    // Whether the paper at its own size and its margins fit into room.
    bool FitsAtActualSize(CSize room) const;

    // The paper's rectangle in client coordinates.
    CRect PaperRectOnScreen() const;
    CPoint ViewToPaper(CPoint viewPoint) const;
    CRect PaperToView(const CRect& paperRect) const;
    // The client column that shows what x would show unmirrored; its own
    // inverse. x itself while not mirrored.
    int32_t MirrorX(int32_t x) const;

    // The status line's scale: truncated percent of the paper's own width.
    int32_t ScalePercent() const;
};

// The document title as the caption shows it: without its extension, unless
// the only "." starts the name.
std::string CaptionTitle(const std::string& title);

// "Width %d  Height %d  Roughness %d   Scale %d%%"
std::string StatusLine(int32_t width, int32_t height, int32_t roughness, int32_t scalePercent);
