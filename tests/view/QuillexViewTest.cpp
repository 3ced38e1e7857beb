#include "ViewTestSupport.h"

#include "framework/CommandIds.h"
#include "framework/Services.h"

#include <gtest/gtest.h>

#include <QGestureEvent>
#include <QKeyEvent>
#include <QPinchGesture>
#include <QScrollBar>
#include <QWheelEvent>

#include <map>
#include <vector>

namespace {

QRgb Gray(int g) { return qRgb(g, g, g); }

CSize Zoom(const ViewFixture& f) { return f.view->Geometry().m_sizeZoom; }

TEST(QuillexView, ZoomCommandsFollowTheStepsAndRefuseBeyondTheLimits)
{
    ViewFixture f(400, 300, 300, 200);
    const std::vector<int32_t> widths{480, 576, 691, 829, 994, 1192, 1430, 1716, 2059, 2470, 2964, 3556};
    for (int32_t w : widths) {
        EXPECT_TRUE(f.view->OnCommand(ID_VIEW_ZOOM_IN));
        EXPECT_EQ(Zoom(f).cx, w);
    }
    EXPECT_EQ(Zoom(f).cy, 2667);
    EXPECT_FALSE(f.view->ZoomBy(kZoomInFactor));
    EXPECT_EQ(Zoom(f), (CSize{3556, 2667}));
    // The scrollable area and its steps follow the zoom.
    EXPECT_EQ(f.view->horizontalScrollBar()->maximum(), 3656 - f.view->Geometry().m_sizeClient.cx);
    EXPECT_EQ(f.view->horizontalScrollBar()->pageStep(), 365);
    EXPECT_EQ(f.view->horizontalScrollBar()->singleStep(), 36);

    f.view->OnCommand(ID_VIEW_ACTUAL_SIZE);
    EXPECT_EQ(Zoom(f), (CSize{400, 300}));
    for (int i = 0; i < 40 && f.view->ZoomBy(kZoomOutFactor); ++i) {
    }
    EXPECT_EQ(Zoom(f), (CSize{9, 7}));
    EXPECT_FALSE(f.view->ZoomBy(kZoomOutFactor));
}

TEST(QuillexView, ActualSizeKeepsThePaperPointAtTheCentre)
{
    ViewFixture f(400, 300, 300, 200);
    for (int i = 0; i < 3; ++i) f.view->ZoomBy(kZoomInFactor);
    f.view->ScrollTo(310, 230);
    const CViewGeometry& g = f.view->Geometry();
    const CPoint centre{g.m_sizeClient.cx / 2, g.m_sizeClient.cy / 2};
    const CPoint before = f.view->ViewToPaper(centre);
    f.view->ZoomBy(kActualSizeFactor);
    const CPoint after = f.view->ViewToPaper(centre);
    EXPECT_NEAR(after.x, before.x, 1);
    EXPECT_NEAR(after.y, before.y, 1);
}

TEST(QuillexView, CentresThePaperWithRoomAndKeepsTheMarginWithout)
{
    ViewFixture f(400, 300, 700, 600);
    EXPECT_EQ(f.view->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(f.view->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(f.view->Geometry().m_ptOrigin, (CPoint{150, 150}));
    EXPECT_EQ(f.view->PaperToView(CRect{0, 0, 400, 300}), (CRect{150, 150, 550, 450}));

    f.SetClientSize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(f.view->Geometry().m_ptOrigin, (CPoint{50, 50}));
    EXPECT_GT(f.view->horizontalScrollBar()->maximum(), 0);
    // Opening a document brings the paper's corner to the window's corner.
    f.view->OnInitialUpdate();
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{50, 50}));
    EXPECT_EQ(f.view->ViewToPaper(CPoint{0, 0}), (CPoint{0, 0}));
}

void FillPattern(CPaper& paper)
{
    for (int32_t y = 0; y < static_cast<int32_t>(paper.GetHeight()); ++y)
        for (int32_t x = 0; x < static_cast<int32_t>(paper.GetWidth()); ++x)
            paper.SetPixel(x, y, static_cast<uint8_t>((x * 3 + y * 5) % 250));
}

bool IsNear(QRgb c, const QColor& want, int tolerance)
{
    return std::abs(qRed(c) - want.red()) <= tolerance && std::abs(qGreen(c) - want.green()) <= tolerance &&
           std::abs(qBlue(c) - want.blue()) <= tolerance;
}

TEST(QuillexView, PaintsSurroundFrameCaptionPaperCrossAndSelection)
{
    ViewFixture f(400, 300, 700, 600);
    FillPattern(f.doc.m_paper);
    f.doc.m_rcSelection = CRect{20, 30, 120, 90};
    ASSERT_TRUE(f.view->IsGridShown());
    f.view->ZoomBy(kZoomInFactor);
    ASSERT_EQ(f.view->Geometry().m_ptOrigin, (CPoint{110, 120}));
    const QImage image = f.Render();

    // The real paint path draws the same picture.
    const QImage grabbed = f.Port()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(grabbed, image);

    // Surround, away from the texts.
    for (QPoint p : {QPoint(690, 10), QPoint(300, 100), QPoint(600, 590), QPoint(105, 300)})
        EXPECT_EQ(image.pixel(p), kSurroundColor.rgb()) << p.x() << "," << p.y();
    // Frame one pixel around the 480 x 360 paper at (110, 120).
    for (QPoint p : {QPoint(109, 200), QPoint(590, 200), QPoint(300, 119), QPoint(300, 480), QPoint(109, 119)})
        EXPECT_EQ(image.pixel(p), qRgb(0, 0, 0)) << p.x() << "," << p.y();
    // Cross through the centre, drawn over the paper but not into it.
    EXPECT_EQ(image.pixel(350, 130), kCrossColor.rgb());
    EXPECT_EQ(image.pixel(130, 300), kCrossColor.rgb());
    EXPECT_EQ(image.pixel(351, 130), Gray(f.doc.m_paper.GetPixel(f.view->ViewToPaper({351, 130}).x, 8)));
    // Selection (20, 30)-(120, 90) shows at (134, 156)-(254, 228); its outline
    // lies one pixel outside.
    EXPECT_EQ(f.view->PaperToView(f.doc.m_rcSelection), (CRect{134, 156, 254, 228}));
    for (QPoint p : {QPoint(133, 190), QPoint(254, 190), QPoint(190, 155), QPoint(190, 228), QPoint(133, 155)})
        EXPECT_EQ(image.pixel(p), kSelectionColor.rgb()) << p.x() << "," << p.y();

    // Paper pixels at 1.2 times, each the pixel the pointer maps to there.
    int checked = 0;
    for (int y = 121; y < 480; y += 7) {
        for (int x = 111; x < 590; x += 5) {
            if (x == 350 || y == 300 || x == 133 || x == 254 || y == 155 || y == 228) continue;
            const CPoint p = f.view->ViewToPaper(CPoint{x, y});
            ASSERT_EQ(image.pixel(x, y), Gray(f.doc.m_paper.GetPixel(p.x, p.y))) << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 4000);

    // Caption: the title in blue without its extension, the footer in its
    // pale colour, both on the surround.
    const QFontMetrics metrics(f.Port()->font());
    auto countColour = [&](QRect area, const QColor& colour) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (IsNear(image.pixel(x, y), colour, 40)) ++n;
        return n;
    };
    const QRect titleArea(5, 5, metrics.horizontalAdvance("Sketch1"), metrics.height());
    EXPECT_GT(countColour(titleArea, kTitleColor), 5);
    EXPECT_EQ(countColour(QRect(titleArea.right() + 1, 5, 60, metrics.height()), kTitleColor), 0);
    const int footerTop = 2 * 120 + 360 - metrics.height() - 5;
    EXPECT_GT(countColour(QRect(5, footerTop, 200, metrics.height()), kFooterColor), 5);

    // Grid off: the cross is gone and the paper shows there.
    f.view->OnCommand(ID_VIEW_GRID);
    const QImage plain = f.Render();
    const CPoint under = f.view->ViewToPaper({350, 130});
    EXPECT_EQ(plain.pixel(350, 130), Gray(f.doc.m_paper.GetPixel(under.x, under.y)));
}

TEST(QuillexView, PaintingAFloatingPieceLeavesEveryPixelValueAsItWas)
{
    for (int transparent = 0; transparent <= 1; ++transparent) {
        for (const CRect& at : {CRect{0, 0, 256, 256}, CRect{100, -50, 356, 206}}) {
            ViewFixture f(256, 256, 420, 420);
            f.view->OnCommand(ID_VIEW_GRID);  // the cross would hide pixels
            ASSERT_FALSE(f.view->IsGridShown());
            // Every paper value meets every floating value.
            for (int32_t y = 0; y < 256; ++y)
                for (int32_t x = 0; x < 256; ++x) f.doc.m_paper.SetPixel(x, y, static_cast<uint8_t>(x));
            ASSERT_TRUE(f.doc.m_floating.Create(256, 256, 5));
            for (int32_t y = 0; y < 256; ++y)
                for (int32_t x = 0; x < 256; ++x) f.doc.m_floating.SetPixel(x, y, static_cast<uint8_t>(y));
            f.doc.m_rcSelection = at;
            f.doc.m_bTransparent = transparent;
            const std::vector<uint8_t> paperBefore(f.doc.m_paper.GetBits(),
                                                   f.doc.m_paper.GetBits() + f.doc.m_paper.GetImageSize());
            const std::vector<uint8_t> floatingBefore(f.doc.m_floating.GetBits(),
                                                      f.doc.m_floating.GetBits() + f.doc.m_floating.GetImageSize());

            const QImage image = f.Render();
            f.Port()->repaint();

            EXPECT_TRUE(std::equal(paperBefore.begin(), paperBefore.end(), f.doc.m_paper.GetBits()));
            EXPECT_TRUE(std::equal(floatingBefore.begin(), floatingBefore.end(), f.doc.m_floating.GetBits()));
            const CPoint origin = f.view->Geometry().m_ptOrigin;
            int wrong = 0;
            for (int32_t y = std::max(0, at.top); y < std::min(256, at.bottom); ++y) {
                for (int32_t x = at.left; x < 256; ++x) {
                    const int piece = y - at.top;
                    const int shown = transparent && piece == 255 ? x : piece;
                    if (image.pixel(origin.x + x, origin.y + y) != Gray(shown)) ++wrong;
                }
            }
            EXPECT_EQ(wrong, 0) << "transparent " << transparent << " at " << at.left;
        }
    }
}

TEST(QuillexView, UpdateHintsRepaintTheGrownRectangleTheWholeViewOrNothing)
{
    ViewFixture f(400, 300, 600, 500);
    f.view->ZoomBy(kZoomInFactor);
    QApplication::processEvents();
    PaintSpy spy(f.Port());

    const CRect hint{10, 20, 30, 25};
    f.view->OnUpdate(nullptr, &hint);
    QApplication::processEvents();
    CRect expected = f.view->PaperToView(hint);
    expected.Inflate(2);
    EXPECT_EQ(spy.painted, QRegion(expected.left, expected.top, expected.Width(), expected.Height()));

    spy.painted = QRegion();
    const CRect empty{};
    f.view->OnUpdate(nullptr, &empty);
    QApplication::processEvents();
    EXPECT_TRUE(spy.painted.isEmpty());

    f.view->OnUpdate(nullptr, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(spy.painted, QRegion(f.Port()->rect()));
}

TEST(QuillexView, MovingAFloatingPieceRepaintsOnlyItsOldAndNewPlace)
{
    ViewFixture f(400, 300, 600, 500);
    FillPattern(f.doc.m_paper);
    f.doc.OnToolSelect();
    f.doc.m_rcSelection = CRect{100, 100, 140, 130};
    const CRect start = f.view->PaperToView(CRect{110, 110, 111, 111});
    f.Press(QPoint(start.left, start.top));
    f.Move(QPoint(start.left + 10, start.top));  // passes the threshold only
    QApplication::processEvents();
    ASSERT_TRUE(f.doc.m_floating.HasBits());
    PaintSpy spy(f.Port());
    f.Move(QPoint(start.left + 16, start.top + 3));
    QApplication::processEvents();
    EXPECT_EQ(f.doc.m_rcSelection, (CRect{116, 103, 156, 133}));
    CRect both = f.view->PaperToView(CRect{100, 100, 156, 133});
    both.Inflate(2);
    EXPECT_EQ(spy.painted.boundingRect(), QRect(both.left, both.top, both.Width(), both.Height()));
    f.Release(QPoint(start.left + 16, start.top + 3));
}

TEST(QuillexView, MouseStrokeReachesTheDocumentOnceFromPressToRelease)
{
    ViewFixture f(400, 300, 600, 500);
    const CRect onScreen = f.view->PaperToView(CRect{0, 0, 400, 300});
    const QPoint a(onScreen.left + 20, onScreen.top + 20);
    const QPoint b(onScreen.left + 120, onScreen.top + 20);
    const QPoint c(onScreen.left + 60, onScreen.top + 200);  // a second press, ignored
    const QPoint d(onScreen.left + 120, onScreen.top + 80);
    QApplication::setActiveWindow(f.view.get());
    f.view->clearFocus();
    f.Press(a);
    EXPECT_TRUE(f.view->IsTracking());
    EXPECT_TRUE(f.view->hasFocus());
    f.Move(b);
    f.Press(c);
    f.Move(d);
    f.Release(d);
    EXPECT_FALSE(f.view->IsTracking());
    ASSERT_EQ(f.doc.GetHistoryCount(), 1);
    const StrokePointList& points = *f.doc.m_history.back().pPoints;
    ASSERT_GE(points.GetCount(), 3u);
    EXPECT_EQ(points[0].x, 20);
    EXPECT_EQ(points[0].y, 20);
    EXPECT_LT(f.doc.m_paper.GetPixel(70, 20), 255);  // drawn from a to b
    for (int32_t dy = -3; dy <= 3; ++dy)
        for (int32_t dx = -3; dx <= 3; ++dx) EXPECT_EQ(f.doc.m_paper.GetPixel(60 + dx, 200 + dy), 255);

    // A double click is a new gesture like a press.
    f.Mouse(QEvent::MouseButtonDblClick, b, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(f.view->IsTracking());
    f.Release(b);
    EXPECT_EQ(f.doc.GetHistoryCount(), 2);
}

TEST(QuillexView, LosingThePointerEndsTheGestureAtTheLastPosition)
{
    ViewFixture f(400, 300, 600, 500);
    const CRect onScreen = f.view->PaperToView(CRect{0, 0, 400, 300});
    const QPoint a(onScreen.left + 10, onScreen.top + 10);
    const QPoint b(onScreen.left + 50, onScreen.top + 10);

    f.Press(a);
    f.Move(b);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(f.view.get(), &focusOut);
    EXPECT_FALSE(f.view->IsTracking());
    ASSERT_EQ(f.doc.GetHistoryCount(), 1);
    const StrokePointList& points = *f.doc.m_history.back().pPoints;
    EXPECT_EQ(points[points.GetCount() - 1].x, 50);
    f.Release(b);  // the release that comes later changes nothing
    EXPECT_EQ(f.doc.GetHistoryCount(), 1);

    // Quitting the application ends a gesture too.
    f.Press(a);
    f.Move(b);
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection);
    EXPECT_FALSE(f.view->IsTracking());
    EXPECT_EQ(f.doc.GetHistoryCount(), 2);

    // Another window taking over ends it as well.
    f.Press(a);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(f.view.get(), &deactivate);
    EXPECT_FALSE(f.view->IsTracking());
    EXPECT_EQ(f.doc.GetHistoryCount(), 3);

    // And so does hiding the window.
    f.Press(a);
    f.view->hide();
    EXPECT_FALSE(f.view->IsTracking());
    EXPECT_EQ(f.doc.GetHistoryCount(), 4);
}

TEST(QuillexView, DeclinedPressAndNegativePositions)
{
    ViewFixture f(400, 300, 600, 500);
    // The pencil refuses a press on the surround: nothing is tracked.
    f.Press(QPoint(5, 5));
    EXPECT_FALSE(f.view->IsTracking());
    f.Release(QPoint(5, 5));
    EXPECT_EQ(f.doc.GetHistoryCount(), 0);

    // A band dragged to the left of and above the window reaches negative
    // paper coordinates and is clipped to the paper's corner.
    f.doc.OnToolSelect();
    const CRect at = f.view->PaperToView(CRect{30, 40, 31, 41});
    f.Press(QPoint(at.left, at.top));
    f.Move(QPoint(-10, -10));
    EXPECT_EQ(f.view->ViewToPaper(CPoint{-10, -10}).x, -10 - f.view->Geometry().m_ptOrigin.x);
    f.Release(QPoint(-10, -10));
    EXPECT_EQ(f.doc.m_rcSelection, (CRect{0, 0, 30, 40}));
}

TEST(QuillexView, MiddleButtonPansWithoutChangingTheTool)
{
    ViewFixture f(400, 300, 300, 200);
    f.view->ZoomBy(kZoomInFactor);
    f.view->ScrollTo(0, 0);
    CTool* tool = f.doc.m_pTool;
    f.Mouse(QEvent::MouseButtonPress, QPoint(100, 100), Qt::MiddleButton, Qt::MiddleButton);
    f.Mouse(QEvent::MouseMove, QPoint(60, 70), Qt::NoButton, Qt::MiddleButton);
    f.Mouse(QEvent::MouseButtonRelease, QPoint(60, 70), Qt::MiddleButton, Qt::NoButton);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{40, 30}));
    EXPECT_EQ(f.doc.m_pTool, tool);
    EXPECT_EQ(f.doc.GetHistoryCount(), 0);
}

TEST(QuillexView, ArrowKeysScrollByATenthWithinTheLimits)
{
    ViewFixture f(400, 300, 300, 200);
    f.view->ScrollTo(0, 0);
    auto key = [&](int k) {
        QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(f.view.get(), &event);
    };
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{40, 30}));
    for (int i = 0; i < 20; ++i) key(Qt::Key_Right);
    EXPECT_EQ(f.view->GetScrollPosition().x, f.view->horizontalScrollBar()->maximum());
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(f.view->GetScrollPosition().y, 0);
    key(Qt::Key_A);
    EXPECT_EQ(f.view->GetScrollPosition().y, 0);
}

TEST(QuillexView, CtrlWheelZoomsInTheMenuSteps)
{
    ViewFixture f(400, 300, 300, 200);
    auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(100, 100), f.Port()->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.Port(), &event);
    };
    wheel(120, Qt::ControlModifier);
    EXPECT_EQ(Zoom(f).cx, 480);
    wheel(60, Qt::ControlModifier);
    EXPECT_EQ(Zoom(f).cx, 480);
    wheel(60, Qt::ControlModifier);
    EXPECT_EQ(Zoom(f).cx, 576);
    wheel(-240, Qt::ControlModifier);
    EXPECT_EQ(Zoom(f).cx, 400);
    // Without Ctrl a notch scrolls three lines of at least 16 pixels, within
    // the limits.
    f.view->ScrollTo(0, 0);
    wheel(-120, Qt::NoModifier);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{0, 48}));
    wheel(-120, Qt::ShiftModifier);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{48, 48}));
    wheel(1200, Qt::NoModifier);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{48, 0}));
}

TEST(QuillexView, PinchZoomsInTheMenuSteps)
{
    ViewFixture f(400, 300, 300, 200);
    auto pinch = [&](qreal scale) {
        QPinchGesture gesture;
        gesture.setChangeFlags(QPinchGesture::ScaleFactorChanged);
        gesture.setScaleFactor(scale);
        QGestureEvent event(QList<QGesture*>{&gesture});
        QApplication::sendEvent(f.Port(), &event);
    };
    pinch(1.1);
    EXPECT_EQ(Zoom(f).cx, 400);
    pinch(1.1);
    EXPECT_EQ(Zoom(f).cx, 480);
    pinch(0.5);  // halving is three whole steps out
    EXPECT_EQ(Zoom(f).cx, 277);
}

TEST(QuillexView, RepaintNowPaintsThePendingAreasAtOnce)
{
    ViewFixture f(400, 300, 300, 200);
    QApplication::processEvents();
    PaintSpy spy(f.Port());
    const CRect area{10, 10, 40, 30};
    f.view->InvalidateView(&area);
    EXPECT_TRUE(spy.painted.isEmpty());
    f.view->RepaintNow();
    EXPECT_EQ(spy.painted, QRegion(10, 10, 30, 20));
}

class MemoryProfile : public IProfile {
public:
    int32_t GetProfileInt(const std::string& name, int32_t def) override
    {
        auto it = values.find(name);
        return it == values.end() ? def : it->second;
    }
    void WriteProfileInt(const std::string& name, int32_t value) override { values[name] = value; }
    std::map<std::string, int32_t> values;
};

TEST(QuillexView, GridSettingIsReadAtConstructionAndWrittenAtDestruction)
{
    MemoryProfile profile;
    profile.values["ShowGrid"] = 0;
    Services().pProfile = &profile;
    {
        CQuillexView view;
        EXPECT_FALSE(view.IsGridShown());
        CCmdUI ui(ID_VIEW_GRID);
        EXPECT_TRUE(view.OnUpdateCommand(ui));
        EXPECT_EQ(ui.m_nCheck, 0);
        view.OnCommand(ID_VIEW_GRID);
        EXPECT_TRUE(view.OnUpdateCommand(ui));
        EXPECT_EQ(ui.m_nCheck, 1);
    }
    EXPECT_EQ(profile.values["ShowGrid"], 1);
    profile.values.clear();
    {
        CQuillexView view;
        EXPECT_TRUE(view.IsGridShown());  // default on
    }
    Services().pProfile = nullptr;
}

TEST(QuillexView, EditCommandsAreEnabledByTheSelection)
{
    ViewFixture f(400, 300, 300, 200);
    for (uint32_t id : {uint32_t{ID_EDIT_COPY}, uint32_t{ID_EDIT_CUT}}) {
        CCmdUI ui(id);
        EXPECT_TRUE(f.view->OnUpdateCommand(ui));
        EXPECT_FALSE(ui.m_bEnabled);
        f.doc.m_rcSelection = CRect{1, 1, 10, 10};
        EXPECT_TRUE(f.view->OnUpdateCommand(ui));
        EXPECT_TRUE(ui.m_bEnabled);
        f.doc.m_rcSelection.SetEmpty();
    }
    // The zoom commands have no update handler: always enabled.
    CCmdUI zoom(ID_VIEW_ZOOM_IN);
    EXPECT_FALSE(f.view->OnUpdateCommand(zoom));
}

}  // namespace
