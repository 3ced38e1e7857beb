#pragma once
// CQuillexView: the one window onto the sketch. It shows the document's paper
// at a zoom inside the surround, mirrored when asked, scrolls, maps view
// pixels to paper pixels for every pointer operation, turns mouse, pen (with
// its pressure) and touch input into the document's PointerDown / PointerMove
// / PointerUp, shows the current tool as the pointer's picture, pans while
// Space is held, and carries the zoom, fit, mirror, grid and clipboard
// commands. It owns only its zoom, scroll and gesture state; the document
// owns everything it shows.

#include "PointerTracker.h"
#include "ToolCursor.h"
#include "ViewGeometry.h"
#include "ViewPainter.h"
#include "framework/CmdTarget.h"
#include "framework/View.h"
#include "tools/HandTool.h"
#include "tools/ToolView.h"

#include <QAbstractScrollArea>
#include <QRegion>

class CQuillexDoc;
class IProfile;

class CQuillexView : public QAbstractScrollArea,
                     public CView,
                     public CCmdTarget,
                     public IToolView,
                     private IPointerSink {
    Q_OBJECT

public:
    // The grid's switch is read from the profile and written back to it.
    explicit CQuillexView(IProfile* profile = nullptr, QWidget* parent = nullptr);
    ~CQuillexView() override;

    CQuillexDoc* GetDocument() const;

    // A document was created or opened: actual size with the paper's corner
    // in view, or the whole sheet fitted when it does not fit at actual size
    // (decided once the view is on screen and has its size).
    void OnInitialUpdate();
    void OnUpdate(CView* sender, const CRect* hint) override;

    bool OnCommand(uint32_t id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;

    // One zoom step (kZoomInFactor, kZoomOutFactor, kActualSizeFactor)
    // about the client's centre, or about anchor, a client pixel whose paper
    // point stays under it; false when refused at the limits.
    bool ZoomBy(float factor);
    bool ZoomAt(float factor, CPoint anchor);
    // The whole sheet as large as the window shows it; false without a sheet
    // or room.
    bool ZoomToFit();
    void UpdateOrigin();
    // Mirrors the picture left to right, or back; refused during a gesture,
    // whose stroke would jump to the other side.
    bool SetMirror(bool mirror);
    bool IsMirrored() const { return m_geo.m_bMirror; }

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
    // Brings the pointer's picture in line with the tool, its options, the
    // zoom and what lies under the pointer; the frame's idle pass runs it.
    void UpdateCursor();
    const CToolCursor& ToolCursor() const { return m_cursor; }
    // Space is held: a press pans as the hand does.
    bool IsSpaceHand() const { return m_bSpaceHand; }

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
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    IProfile* m_profile;
    bool OnGestureDown(CPoint viewPoint, int32_t pressure) override;
    void OnGestureMove(CPoint viewPoint, int32_t pressure) override;
    void OnGestureUp(CPoint viewPoint, int32_t pressure) override;

    void OnLButtonDown(PointerSource source, CPoint viewPoint, int32_t pressure = kFullPressure);
    bool HandleTablet(QEvent* event);
    bool HandleTouch(QEvent* event);
    bool HandleGesture(QEvent* event);
    // Pinch and Ctrl+wheel zoom in the same steps as the menu once they have
    // gathered a step's worth of scaling, about the pointer or the fingers.
    void ZoomByGesture(double scale, CPoint anchor);
    bool ApplyZoom(float factor, const CPoint* anchor);
    // The opened sheet is fitted now if it was waiting for the view's size.
    void FitIfOpenedTooLarge();
    CSize Room() const;

    // The hand of the middle button or of Space; the document's tool stays.
    void StartPan(Qt::MouseButton button, CPoint viewPoint);
    void MovePan(CPoint viewPoint);
    CursorSpec CursorNow() const;

    void SyncClient();
    void SyncPaperSize();
    void UpdateScrollBars();
    void Invalidate(const QRegion& region);

    CViewGeometry m_geo;
    bool m_bShowGrid = true;
    CViewPainter m_painter;
    CPointerTracker m_tracker{*this};
    CRect m_rcBand;

    // The middle button, and the left one while Space is held, pan with a
    // hand of their own; the document's current tool stays as it is.
    CHandTool m_panTool;
    bool m_bPanning = false;
    Qt::MouseButton m_panButton = Qt::NoButton;
    CPoint m_panLast;
    bool m_bSpaceHand = false;

    CToolCursor m_cursor;
    CPoint m_ptHover{-1, -1};
    bool m_bFitOnShow = false;

    int m_touchId = -1;
    double m_gestureScale = 1.0;
    int m_wheelZoom = 0;
    bool m_bZooming = false;
};
