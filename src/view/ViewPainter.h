#pragma once
// CViewPainter: paints the view's client area from the geometry and what the
// document shows: the surround with its caption and footer, the frame, the
// paper with the floating piece laid over it, the centre cross and the
// selection and band outlines. It paints only the areas asked for, and only
// reads the document's pixels.

#include "PaperRenderer.h"
#include "ViewGeometry.h"

#include <QColor>
#include <QRect>
#include <QRegion>

#include <string>

class CPaper;
class QPainter;

// What one paint shows besides the geometry.
struct ViewScene {
    const CPaper* pPaper = nullptr;     // null or without bits: only the surround
    const CPaper* pFloating = nullptr;  // shown at rcSelection while it has bits
    CRect rcSelection;            // paper pixels; empty when nothing selected
    bool bTransparent = false;    // white floating pixels let the paper through
    bool bShowGrid = false;
    CRect rcBand;                 // the rubber band in view pixels; empty when none
    std::string title;
};

inline const QColor kSurroundColor(238, 204, 0);
inline const QColor kTitleColor(0, 0, 255);
inline const QColor kFooterColor(238, 238, 170);
inline const QColor kCrossColor(255, 170, 170);
inline const QColor kSelectionColor(153, 153, 0);  // XORed with what lies beneath
inline const QColor kFrameColor(0, 0, 0);
inline constexpr char kFooterText[] = "www.graphelle.example";

// The program's rectangles (right and bottom exclusive) as Qt's and back.
inline QRect ToQRect(const CRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
inline CRect ToCRect(const QRect& r) { return CRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

class CViewPainter {
public:
    void Paint(QPainter& painter, const QRegion& region, const CViewGeometry& geometry, const ViewScene& scene);

    // The outline one pixel outside a view rectangle, as four 1-pixel strips;
    // none for an empty rectangle. Repainting these removes an outline.
    static QRegion FrameRegion(const CRect& viewRect);

private:
    void PaintTexts(QPainter& painter, const QRect& bounds, const CViewGeometry& geometry,
                    const ViewScene& scene);
    void PaintPaper(QPainter& painter, const QRegion& region, const CRect& paperRect, const CViewGeometry& geometry,
                    const ViewScene& scene);

    CPaperRenderer m_renderer;
};
