#include "QuillexView.h"

#include "document/QuillexDoc.h"
#include "document/Settings.h"
#include "framework/CommandIds.h"
#include "framework/Services.h"

#include <QCoreApplication>
#include <QGestureEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QPinchGesture>
#include <QScrollBar>
#include <QTabletEvent>
#include <QTouchEvent>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWheelMinLine = 16;

CPoint ToCPoint(const QPointF& p)
{
    // Floor, not round: a position just left of the window is pixel -1.
    return CPoint{static_cast<int32_t>(std::floor(p.x())), static_cast<int32_t>(std::floor(p.y()))};
}

}  // namespace

CQuillexView::CQuillexView(IProfile* profile, QWidget* parent) : QAbstractScrollArea(parent), m_profile(profile)
{
    m_bShowGrid = ReadSetting(m_profile, settings::kShowGrid) != 0;

    setFrameStyle(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    // Painting covers the whole client area every time; no erasing first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setAttribute(Qt::WA_AcceptTouchEvents);
    viewport()->grabGesture(Qt::PinchGesture);
    // Moves without a button pressed keep the pointer's picture right (the
    // select tool's move shape over a selection).
    viewport()->setMouseTracking(true);

    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()})
        connect(bar, &QAbstractSlider::actionTriggered, this, [this] { setFocus(Qt::OtherFocusReason); });
    // A gesture still open at quit gets its release, so the stroke is kept.
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { EndGestures(); });
    UpdateScrollBars();
}

CQuillexView::~CQuillexView()
{
    WriteSetting(m_profile, settings::kShowGrid, m_bShowGrid ? 1 : 0);
}

CQuillexDoc* CQuillexView::GetDocument() const { return dynamic_cast<CQuillexDoc*>(CView::GetDocument()); }

// ---------------------------------------------------------------------------
// Document updates

void CQuillexView::OnInitialUpdate()
{
    SyncPaperSize();
    m_geo.ResetZoom();
    UpdateScrollBars();
    UpdateOrigin();
    ScrollTo(m_geo.m_ptOrigin.x, m_geo.m_ptOrigin.y);
    viewport()->update();
    m_bFitOnShow = true;
    FitIfOpenedTooLarge();
    UpdateCursor();
}

// A sheet opened before the window shows gets its size only then; until it
// does, the window's room is not known.
void CQuillexView::FitIfOpenedTooLarge()
{
    if (!m_bFitOnShow || !isVisible()) return;
    m_bFitOnShow = false;
    if (m_geo.HasPaper() && !m_geo.FitsAtActualSize(Room())) ZoomToFit();
}

void CQuillexView::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    FitIfOpenedTooLarge();
}

// The client area without scroll bars, as it is when the sheet fits.
CSize CQuillexView::Room() const
{
    const QSize room = maximumViewportSize();
    return CSize{room.width(), room.height()};
}

void CQuillexView::OnUpdate(CView*, const CRect* hint)
{
    // A paper of another size (New, Open) cannot be shown at the old zoom.
    const CSize before = m_geo.m_sizePaper;
    SyncPaperSize();
    if (!(before == m_geo.m_sizePaper)) {
        OnInitialUpdate();
        return;
    }
    if (!hint) {
        viewport()->update();
        return;
    }
    if (hint->IsEmpty()) return;
    CRect r = m_geo.PaperToView(*hint);
    r.Inflate(2);
    InvalidateView(&r);
}

void CQuillexView::SyncPaperSize()
{
    const CQuillexDoc* doc = GetDocument();
    const bool hasPaper = doc && doc->GetPaper().HasBits();
    const CSize size = hasPaper ? CSize{static_cast<int32_t>(doc->GetPaper().GetWidth()),
                                        static_cast<int32_t>(doc->GetPaper().GetHeight())}
                                : CSize{};
    if (size == m_geo.m_sizePaper) return;
    m_geo.m_sizePaper = size;
    m_geo.ResetZoom();
}

// ---------------------------------------------------------------------------
// Commands

bool CQuillexView::OnCommand(uint32_t id)
{
    CQuillexDoc* doc = GetDocument();
    switch (id) {
    case ID_VIEW_ZOOM_IN:
        ZoomBy(kZoomInFactor);
        return true;
    case ID_VIEW_ZOOM_OUT:
        ZoomBy(kZoomOutFactor);
        return true;
    case ID_VIEW_ACTUAL_SIZE:
        ZoomBy(kActualSizeFactor);
        return true;
    case ID_VIEW_FIT:
        ZoomToFit();
        return true;
    case ID_VIEW_MIRROR:
        SetMirror(!m_geo.m_bMirror);
        return true;
    case ID_VIEW_GRID:
        m_bShowGrid = !m_bShowGrid;
        viewport()->update();
        return true;
    case ID_EDIT_COPY:
        if (doc) doc->CopySelection(this, false);
        return true;
    case ID_EDIT_CUT:
        if (doc) doc->Cut(this);
        return true;
    case ID_EDIT_PASTE:
        if (doc) doc->Paste(this);
        return true;
    default:
        return false;
    }
}

bool CQuillexView::OnUpdateCommand(CCmdUI& ui)
{
    const CQuillexDoc* doc = GetDocument();
    switch (ui.m_nID) {
    case ID_VIEW_GRID:
        ui.SetCheck(m_bShowGrid ? 1 : 0);
        // Every idle pass comes here: the tool or its options may have changed.
        UpdateCursor();
        return true;
    case ID_VIEW_MIRROR:
        ui.SetCheck(m_geo.m_bMirror ? 1 : 0);
        ui.Enable(!m_tracker.IsTracking() && !m_bPanning && !(doc && doc->IsInGesture()));
        return true;
    case ID_EDIT_COPY:
    case ID_EDIT_CUT:
        ui.Enable(doc && !doc->IsInGesture() && !doc->GetSelection().IsEmpty());
        return true;
    case ID_EDIT_PASTE:
        ui.Enable(doc && !doc->IsInGesture() && doc->CanPaste());
        return true;
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Zoom and scroll

void CQuillexView::SyncClient()
{
    const QSize size = viewport()->size();
    m_geo.m_sizeClient = CSize{size.width(), size.height()};
}

void CQuillexView::UpdateScrollBars()
{
    // Showing or hiding one bar changes the room for the other; a few rounds
    // settle it.
    for (int round = 0; round < 3; ++round) {
        SyncClient();
        const CSize total = m_geo.TotalSize();
        const CSize limit = m_geo.ScrollLimit();
        QScrollBar* h = horizontalScrollBar();
        QScrollBar* v = verticalScrollBar();
        h->setPageStep(std::max(1, CViewGeometry::PageStep(total.cx)));
        h->setSingleStep(std::max(1, CViewGeometry::LineStep(total.cx)));
        v->setPageStep(std::max(1, CViewGeometry::PageStep(total.cy)));
        v->setSingleStep(std::max(1, CViewGeometry::LineStep(total.cy)));
        h->setRange(0, limit.cx);
        v->setRange(0, limit.cy);
        const QSize size = viewport()->size();
        if (size.width() == m_geo.m_sizeClient.cx && size.height() == m_geo.m_sizeClient.cy) break;
    }
    SyncClient();
    m_geo.m_ptScroll = CPoint{horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CQuillexView::UpdateOrigin()
{
    SyncClient();
    m_geo.UpdateOrigin();
}

void CQuillexView::ScrollTo(int32_t x, int32_t y)
{
    SyncClient();
    const CPoint target = m_geo.ClampScroll(x, y);
    // The bars report each change through scrollContentsBy, which moves the
    // picture and has the exposed strips painted.
    horizontalScrollBar()->setValue(target.x);
    verticalScrollBar()->setValue(target.y);
}

void CQuillexView::scrollContentsBy(int dx, int dy)
{
    m_geo.m_ptScroll = CPoint{horizontalScrollBar()->value(), verticalScrollBar()->value()};
    // A zoom repaints everything anyway; moving the old picture first would
    // only cost time.
    if (m_bZooming) return;
    viewport()->scroll(dx, dy);
}

bool CQuillexView::ZoomBy(float factor)
{
    return ApplyZoom(factor, nullptr);
}

bool CQuillexView::ZoomAt(float factor, CPoint anchor)
{
    return ApplyZoom(factor, &anchor);
}

bool CQuillexView::ApplyZoom(float factor, const CPoint* anchor)
{
    SyncPaperSize();
    CSize zoom;
    float effective = 1.0f;
    if (!m_geo.ComputeZoom(factor, zoom, effective)) return false;
    const CPoint oldScroll = m_geo.m_ptScroll;
    const CPoint oldOrigin = m_geo.m_ptOrigin;
    const CSize oldZoom = m_geo.m_sizeZoom;

    m_bZooming = true;
    m_geo.m_sizeZoom = zoom;
    UpdateScrollBars();
    UpdateOrigin();
    const CPoint target = anchor ? m_geo.ZoomScrollTargetAt(oldScroll, oldOrigin, oldZoom, *anchor)
                                 : m_geo.ZoomScrollTarget(oldScroll, oldOrigin, effective);
    ScrollTo(target.x, target.y);
    m_bZooming = false;
    viewport()->update();
    UpdateCursor();
    return true;
}

bool CQuillexView::ZoomToFit()
{
    SyncPaperSize();
    CSize zoom;
    if (!m_geo.ComputeFit(Room(), zoom)) return false;
    m_bZooming = true;
    m_geo.m_sizeZoom = zoom;
    UpdateScrollBars();
    UpdateOrigin();
    // The whole sheet shows: nothing is left to scroll.
    ScrollTo(0, 0);
    m_bZooming = false;
    viewport()->update();
    UpdateCursor();
    return true;
}

bool CQuillexView::SetMirror(bool mirror)
{
    const CQuillexDoc* doc = GetDocument();
    if (m_tracker.IsTracking() || m_bPanning || (doc && doc->IsInGesture())) return false;
    m_geo.m_bMirror = mirror;
    viewport()->update();
    return true;
}

void CQuillexView::resizeEvent(QResizeEvent*)
{
    UpdateScrollBars();
    if (m_geo.UpdateOrigin()) viewport()->update();
}

// ---------------------------------------------------------------------------
// Painting

void CQuillexView::Invalidate(const QRegion& region)
{
    if (!region.isEmpty()) viewport()->update(region);
}

void CQuillexView::InvalidateView(const CRect* viewRect)
{
    if (!viewRect) {
        viewport()->update();
        return;
    }
    if (!viewRect->IsEmpty()) Invalidate(ToQRect(*viewRect));
}

void CQuillexView::SetBand(const CRect& viewRect)
{
    // Only the old and the new outline need painting, not what lies inside.
    QRegion dirty = CViewPainter::FrameRegion(m_rcBand);
    dirty += CViewPainter::FrameRegion(viewRect);
    m_rcBand = viewRect;
    Invalidate(dirty);
}

void CQuillexView::RepaintNow()
{
    // Pending areas of this window are painted now rather than when the event
    // loop gets round to them, so a pan follows the pointer at once.
    if (QWidget* top = window()) QCoreApplication::sendPostedEvents(top, QEvent::UpdateRequest);
}

void CQuillexView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    PaintArea(painter, event->region());
}

void CQuillexView::PaintArea(QPainter& painter, const QRegion& region)
{
    CQuillexDoc* doc = GetDocument();
    ViewScene scene;
    if (doc) {
        scene.pPaper = &doc->GetPaper();
        scene.pFloating = &doc->GetSelection().GetPiece();
        scene.rcSelection = doc->GetSelection().GetRect();
        scene.bTransparent = doc->GetSelection().IsTransparent();
        scene.title = doc->GetTitle();
    }
    scene.bShowGrid = m_bShowGrid;
    scene.rcBand = m_rcBand;
    m_painter.Paint(painter, region, m_geo, scene);
}

// ---------------------------------------------------------------------------
// Pointer tracking

bool CQuillexView::OnGestureDown(CPoint v, int32_t pressure)
{
    CQuillexDoc* doc = GetDocument();
    if (!doc) return false;
    const CPoint p = ViewToPaper(v);
    return doc->PointerDown(this, p.x, p.y, v.x, v.y, pressure);
}

void CQuillexView::OnGestureMove(CPoint v, int32_t pressure)
{
    CQuillexDoc* doc = GetDocument();
    if (!doc) return;
    const CPoint p = ViewToPaper(v);
    doc->PointerMove(p.x, p.y, v.x, v.y, pressure);
}

void CQuillexView::OnGestureUp(CPoint v, int32_t pressure)
{
    CQuillexDoc* doc = GetDocument();
    if (!doc) return;
    const CPoint p = ViewToPaper(v);
    doc->PointerUp(p.x, p.y, v.x, v.y, pressure);
}

void CQuillexView::OnLButtonDown(PointerSource source, CPoint viewPoint, int32_t pressure)
{
    if (m_tracker.IsTracking() || m_bPanning) return;
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    if (m_bSpaceHand && source != PointerSource::Touch) {
        StartPan(Qt::LeftButton, viewPoint);
        return;
    }
    m_tracker.Press(source, viewPoint, pressure);
    UpdateCursor();
}

void CQuillexView::StartPan(Qt::MouseButton button, CPoint v)
{
    m_bPanning = true;
    m_panButton = button;
    m_panLast = v;
    CRect changed;
    m_panTool.OnPointerDown(this, nullptr, 0, 0, v.x, v.y, changed, 0);
    UpdateCursor();
}

void CQuillexView::MovePan(CPoint v)
{
    m_panLast = v;
    CRect changed;
    m_panTool.OnPointerMove(0, 0, v.x, v.y, changed);
}

void CQuillexView::EndGestures()
{
    m_tracker.Cancel();
    if (m_bPanning) {
        m_bPanning = false;
        m_panButton = Qt::NoButton;
        CRect changed;
        HistoryRecord record;
        int32_t modified = 0;
        m_panTool.OnPointerUp(0, 0, m_panLast.x, m_panLast.y, changed, record, modified);
    }
    UpdateCursor();
}

void CQuillexView::mousePressEvent(QMouseEvent* event)
{
    const CPoint v = ToCPoint(event->position());
    m_ptHover = v;
    if (event->button() == Qt::LeftButton) {
        OnLButtonDown(PointerSource::Mouse, v);
    } else if (event->button() == Qt::MiddleButton && !m_tracker.IsTracking() && !m_bPanning) {
        StartPan(Qt::MiddleButton, v);
    }
    event->accept();
}

void CQuillexView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A quick second tap is a new gesture, not a command.
    mousePressEvent(event);
}

void CQuillexView::mouseMoveEvent(QMouseEvent* event)
{
    const CPoint v = ToCPoint(event->position());
    m_ptHover = v;
    m_tracker.Move(PointerSource::Mouse, v);
    if (m_bPanning) MovePan(v);
    UpdateCursor();
    event->accept();
}

void CQuillexView::mouseReleaseEvent(QMouseEvent* event)
{
    const CPoint v = ToCPoint(event->position());
    if (m_bPanning && event->button() == m_panButton) {
        m_panLast = v;
        EndGestures();
    } else if (event->button() == Qt::LeftButton) {
        m_tracker.Release(PointerSource::Mouse, v);
        UpdateCursor();
    }
    event->accept();
}

bool CQuillexView::HandleTablet(QEvent* event)
{
    auto* tablet = static_cast<QTabletEvent*>(event);
    const CPoint v = ToCPoint(tablet->position());
    // A pen that cannot sense pressure reports none; it draws as if pressed fully.
    const QPointingDevice* device = tablet->pointingDevice();
    const bool senses = device && device->capabilities().testFlag(QInputDevice::Capability::Pressure);
    const int32_t pressure = senses ? PressureFromFraction(tablet->pressure()) : kFullPressure;
    switch (event->type()) {
    case QEvent::TabletPress:
        if (tablet->button() == Qt::LeftButton) OnLButtonDown(PointerSource::Pen, v, pressure);
        break;
    case QEvent::TabletMove:
        m_ptHover = v;
        m_tracker.Move(PointerSource::Pen, v, pressure);
        if (m_bPanning) MovePan(v);
        break;
    case QEvent::TabletRelease:
        if (tablet->button() != Qt::LeftButton) break;
        if (m_bPanning && m_panButton == Qt::LeftButton) {
            m_panLast = v;
            EndGestures();
        } else {
            m_tracker.Release(PointerSource::Pen, v);
            UpdateCursor();
        }
        break;
    default:
        return false;
    }
    // Taken here, the pen's events are not offered again as mouse events.
    event->accept();
    return true;
}

bool CQuillexView::HandleTouch(QEvent* event)
{
    auto* touch = static_cast<QTouchEvent*>(event);
    const QList<QEventPoint>& points = touch->points();
    // Screen to client, as for every other gesture end: the screen position
    // is the one a touch point always carries.
    auto clientPoint = [this](const QEventPoint& point) {
        return ToCPoint(viewport()->mapFromGlobal(point.globalPosition()));
    };
    if (event->type() == QEvent::TouchCancel) {
        if (m_touchId >= 0) m_tracker.Cancel();
        m_touchId = -1;
        event->accept();
        return true;
    }
    if (event->type() == QEvent::TouchBegin && points.size() == 1) {
        m_touchId = points.front().id();
        OnLButtonDown(PointerSource::Touch, clientPoint(points.front()));
    } else if (m_touchId >= 0) {
        if (points.size() > 1) {
            // A second finger makes it a pinch; the stroke so far is kept.
            m_tracker.Cancel();
            m_touchId = -1;
        } else {
            for (const QEventPoint& point : points) {
                if (point.id() != m_touchId) continue;
                const CPoint v = clientPoint(point);
                if (point.state() == QEventPoint::Released || event->type() == QEvent::TouchEnd) {
                    m_tracker.Release(PointerSource::Touch, v);
                    m_touchId = -1;
                } else {
                    m_tracker.Move(PointerSource::Touch, v);
                }
            }
        }
    }
    if (event->type() == QEvent::TouchEnd) m_touchId = -1;
    event->accept();
    return true;
}

bool CQuillexView::HandleGesture(QEvent* event)
{
    if (event->type() == QEvent::NativeGesture) {
        auto* native = static_cast<QNativeGestureEvent*>(event);
        if (native->gestureType() == Qt::BeginNativeGesture) m_gestureScale = 1.0;
        if (native->gestureType() != Qt::ZoomNativeGesture) return false;
        ZoomByGesture(1.0 + native->value(), ToCPoint(native->position()));
        event->accept();
        return true;
    }
    auto* gestures = static_cast<QGestureEvent*>(event);
    auto* pinch = static_cast<QPinchGesture*>(gestures->gesture(Qt::PinchGesture));
    if (!pinch) return false;
    if (pinch->state() == Qt::GestureStarted) m_gestureScale = 1.0;
    // The point between the fingers, which Qt gives in screen coordinates.
    if (pinch->changeFlags() & QPinchGesture::ScaleFactorChanged)
        ZoomByGesture(pinch->scaleFactor(), ToCPoint(viewport()->mapFromGlobal(pinch->centerPoint())));
    gestures->accept(pinch);
    return true;
}

void CQuillexView::ZoomByGesture(double scale, CPoint anchor)
{
    if (!(scale > 0.0)) return;
    m_gestureScale *= scale;
    while (m_gestureScale >= kZoomInFactor) {
        m_gestureScale /= kZoomInFactor;
        if (!ZoomAt(kZoomInFactor, anchor)) m_gestureScale = 1.0;
    }
    while (m_gestureScale <= kZoomOutFactor) {
        m_gestureScale /= kZoomOutFactor;
        if (!ZoomAt(kZoomOutFactor, anchor)) m_gestureScale = 1.0;
    }
}

bool CQuillexView::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return HandleTablet(event);
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        return HandleTouch(event);
    case QEvent::NativeGesture:
    case QEvent::Gesture:
        if (HandleGesture(event)) return true;
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

bool CQuillexView::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowDeactivate:
    case QEvent::UngrabMouse:
        EndGestures();
        break;
    default:
        break;
    }
    return QAbstractScrollArea::event(event);
}

void CQuillexView::focusOutEvent(QFocusEvent* event)
{
    // Space let go of elsewhere would never be seen here.
    m_bSpaceHand = false;
    EndGestures();
    QAbstractScrollArea::focusOutEvent(event);
}

void CQuillexView::hideEvent(QHideEvent* event)
{
    EndGestures();
    QAbstractScrollArea::hideEvent(event);
}

// ---------------------------------------------------------------------------
// Keys and wheel

void CQuillexView::keyPressEvent(QKeyEvent* event)
{
    const CPoint s = m_geo.m_ptScroll;
    const int32_t stepX = m_geo.m_sizeZoom.cx / 10;
    const int32_t stepY = m_geo.m_sizeZoom.cy / 10;
    switch (event->key()) {
    case Qt::Key_Left:
        ScrollTo(s.x - stepX, s.y);
        break;
    case Qt::Key_Up:
        ScrollTo(s.x, s.y - stepY);
        break;
    case Qt::Key_Right:
        ScrollTo(s.x + stepX, s.y);
        break;
    case Qt::Key_Down:
        ScrollTo(s.x, s.y + stepY);
        break;
    case Qt::Key_Space:
        // Held, it lends the hand until let go; a gesture under way keeps
        // its tool, and a Space pressed during one does not wait for its end.
        if (!event->isAutoRepeat() && !m_tracker.IsTracking() && !m_bPanning) {
            m_bSpaceHand = true;
            UpdateCursor();
        }
        event->accept();
        return;
    default:
        break;
    }
    // Keys go on to the rest of the program.
    event->ignore();
}

void CQuillexView::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        event->ignore();
        return;
    }
    // A pan under way goes on until its button is released.
    m_bSpaceHand = false;
    UpdateCursor();
    event->accept();
}

void CQuillexView::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        // One notch (120) is one zoom step; finer wheels gather until a notch.
        // What is under the pointer stays there.
        const CPoint anchor = ToCPoint(event->position());
        m_wheelZoom += event->angleDelta().y();
        while (m_wheelZoom >= 120) {
            m_wheelZoom -= 120;
            ZoomAt(kZoomInFactor, anchor);
        }
        while (m_wheelZoom <= -120) {
            m_wheelZoom += 120;
            ZoomAt(kZoomOutFactor, anchor);
        }
        event->accept();
        return;
    }
    // Touchpads report pixels; a wheel notch moves three lines, a line being
    // at least a few screen pixels so that a small sheet still moves visibly.
    QPoint delta = event->pixelDelta();
    if (delta.isNull()) {
        const CSize total = m_geo.TotalSize();
        const int lineX = std::max(kWheelMinLine, CViewGeometry::LineStep(total.cx));
        const int lineY = std::max(kWheelMinLine, CViewGeometry::LineStep(total.cy));
        const QPoint notches = event->angleDelta();
        delta = QPoint(notches.x() * 3 * lineX / 120, notches.y() * 3 * lineY / 120);
    }
    if (event->modifiers() & Qt::ShiftModifier) delta = QPoint(delta.y(), delta.x());
    const CPoint s = m_geo.m_ptScroll;
    ScrollTo(s.x - delta.x(), s.y - delta.y());
    event->accept();
}

// ---------------------------------------------------------------------------
// The pointer's picture

CursorSpec CQuillexView::CursorNow() const
{
    CursorSpec look;
    look.ratio = viewport()->devicePixelRatioF();
    const CQuillexDoc* doc = GetDocument();
    if (m_bPanning) {
        look.shape = CursorShape::ClosedHand;
    } else if (m_bSpaceHand) {
        look.shape = CursorShape::OpenHand;
    } else if (!doc || !m_geo.HasPaper()) {
        look.shape = CursorShape::Arrow;
    } else if (doc->GetTool() == ToolKind::Hand) {
        look.shape = m_tracker.IsTracking() ? CursorShape::ClosedHand : CursorShape::OpenHand;
    } else if (doc->GetTool() == ToolKind::Select) {
        // Pressed inside the selection, the select tool lifts or moves the piece.
        const bool moving = m_tracker.IsTracking() && doc->GetSelectTool().IsMoving();
        const CPoint p = ViewToPaper(m_ptHover);
        const bool over = !m_tracker.IsTracking() && doc->GetSelection().GetRect().Contains(p.x, p.y);
        look.shape = moving || over ? CursorShape::Move : CursorShape::Cross;
    } else {
        look.scale = static_cast<double>(m_geo.m_sizeZoom.cx) / m_geo.m_sizePaper.cx;
        if (doc->GetTool() == ToolKind::Eraser) {
            look.shape = CursorShape::Disc;
            look.paperSize = 2 * doc->GetEraserTool().GetRadius() + 1;
        } else {
            look.shape = CursorShape::Square;
            look.paperSize = doc->GetPencilTool().GetFootprint();
        }
    }
    return look;
}

void CQuillexView::UpdateCursor()
{
    if (m_cursor.Update(CursorNow())) viewport()->setCursor(m_cursor.Cursor());
}
