#pragma once
// CQuillexView: the one window onto the sketch. It shows the document's paper
// at a zoom inside the surround, scrolls, maps view pixels to paper pixels for
// every pointer operation, turns mouse, pen and touch input into the
// document's PointerDown / PointerMove / PointerUp, and carries the zoom,
// grid and clipboard commands. It owns only its zoom, scroll and gesture
// state; the document owns everything it shows.

#include "PointerTracker.h"
#include "ViewGeometry.h"
#include "ViewPainter.h"
#include "framework/CmdTarget.h"
#include "framework/View.h"
#include "tools/HandTool.h"
#include "tools/ToolView.h"

#include <QAbstractScrollArea>
#include <QRegion>

class CQuillexDoc;

class CQuillexView : public QAbstractScrollArea,
                     public CView,
                     public CCmdTarget,
                     public IToolView,
                     private IPointerSink {
    Q_OBJECT

public:
    explicit CQuillexView(QWidget* parent = nullptr);
    ~CQuillexView() override;

    CQuillexDoc* GetDocument() const;

    // A document was created or opened: actual size, paper corner in view.
    void OnInitialUpdate();
    void OnUpdate(CView* sender, const CRect* hint) override;

    bool OnCommand(uint32_t id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;

    // One zoom step (kZoomInFactor, kZoomOutFactor, kActualSizeFactor);
    // false when refused at the limits.
    bool ZoomBy(float factor);
    void UpdateOrigin();

    // IToolView
    CPoint GetScrollPosition() const override { return m_geo.m_ptScroll; }
    void ScrollTo(int32_t x, int32_t y) override;
    void RepaintNow() override;
    CPoint ViewToPaper(CPoint viewPoint) const override { return m_geo.ViewToPaper(viewPoint); }
    CRect PaperToView(const CRect& paperRect) const override { return m_geo.PaperToView(paperRect); }
    void SetBand(const CRect& viewRect) override;
    void InvalidateView(const CRect* viewRect) override;

    const CViewGeometry& Geometry() const { return m_geo; }
    bool IsGridShown() const { return m_bShowGrid; }
    bool IsTracking() const { return m_tracker.IsTracking(); }
    // Every way the pointer can be lost, and every command that leaves the
    // drawing, ends the gestures in progress with their release.
    void EndGestures();
    // The view's picture of a client area, as its paint event draws it.
    void PaintArea(QPainter& painter, const QRegion& region);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool OnGestureDown(CPoint viewPoint) override;
    void OnGestureMove(CPoint viewPoint) override;
    void OnGestureUp(CPoint viewPoint) override;

    void OnLButtonDown(PointerSource source, CPoint viewPoint);
    bool HandleTablet(QEvent* event);
    bool HandleTouch(QEvent* event);
    bool HandleGesture(QEvent* event);
    // Pinch and Ctrl+wheel zoom in the same steps as the menu once they have
    // gathered a step's worth of scaling.
    void ZoomByGesture(double scale);

    void SyncClient();
    void SyncPaperSize();
    void UpdateScrollBars();
    void Invalidate(const QRegion& region);

    CViewGeometry m_geo;
    bool m_bShowGrid = true;
    CViewPainter m_painter;
    CPointerTracker m_tracker{*this};
    CRect m_rcBand;

    // The middle button pans with a hand of its own; the document's current
    // tool stays as it is.
    CHandTool m_panTool;
    bool m_bPanning = false;
    CPoint m_panLast;

    int m_touchId = -1;
    double m_gestureScale = 1.0;
    int m_wheelZoom = 0;
    bool m_bZooming = false;
};
