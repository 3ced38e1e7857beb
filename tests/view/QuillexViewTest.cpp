#include "ViewTestSupport.h"

#include "framework/CommandIds.h"
#include "framework/Services.h"

#include <gtest/gtest.h>

#include <QGestureEvent>
#include <QKeyEvent>
#include <QPinchGesture>
#include <QScrollBar>
#include <QWheelEvent>

#include <functional>
#include <map>

namespace {

CSize Zoom(const ViewFixture& f) { return f.view->Geometry().m_sizeZoom; }

TEST(QuillexView, ZoomCommandsStepWithinTheLimitsKeepingTheCentre)
{
    ViewFixture f(400, 300, 300, 200);
    const CSize client = f.view->Geometry().m_sizeClient;
    const CPoint centre{client.cx / 2, client.cy / 2};
    CPoint before = f.view->ViewToPaper(centre);
    auto expectCentreKept = [&] {
        EXPECT_NEAR(f.view->ViewToPaper(centre).x, before.x, 1);
        EXPECT_NEAR(f.view->ViewToPaper(centre).y, before.y, 1);
    };
    EXPECT_TRUE(f.view->OnCommand(ID_VIEW_ZOOM_IN));
    expectCentreKept();
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(f.view->OnCommand(ID_VIEW_ZOOM_IN));
    EXPECT_EQ(Zoom(f), (CSize{691, 518}));
    f.view->ScrollTo(310, 230);
    before = f.view->ViewToPaper(centre);
    f.view->OnCommand(ID_VIEW_ACTUAL_SIZE);
    EXPECT_EQ(Zoom(f), (CSize{400, 300}));
    expectCentreKept();

    for (int i = 0; i < 12; ++i) EXPECT_TRUE(f.view->ZoomBy(kZoomInFactor));
    EXPECT_FALSE(f.view->ZoomBy(kZoomInFactor));
    EXPECT_EQ(Zoom(f), (CSize{3556, 2667}));
    // The scrollable area and its steps follow the zoom.
    EXPECT_EQ(f.view->horizontalScrollBar()->maximum(), 3656 - client.cx);
    EXPECT_EQ(f.view->horizontalScrollBar()->pageStep(), 365);
    EXPECT_EQ(f.view->horizontalScrollBar()->singleStep(), 36);

    f.view->ZoomBy(kActualSizeFactor);
    for (int i = 0; i < 40 && f.view->ZoomBy(kZoomOutFactor); ++i) {
    }
    EXPECT_EQ(Zoom(f), (CSize{9, 7}));
}

TEST(QuillexView, CentresThePaperWithRoomAndKeepsTheMarginWithout)
{
    ViewFixture f(400, 300, 700, 600);
    EXPECT_EQ(f.view->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(f.view->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(f.view->PaperToView(CRect{0, 0, 400, 300}), (CRect{150, 150, 550, 450}));

    f.view->resize(300, 200);
    QApplication::processEvents();
    EXPECT_EQ(f.view->Geometry().m_ptOrigin, (CPoint{50, 50}));
    EXPECT_GT(f.view->horizontalScrollBar()->maximum(), 0);
    // Opening a sheet that fits brings its corner to the window's corner at
    // actual size; one that does not fit opens fitted, whole.
    f.view->resize(600, 450);
    QApplication::processEvents();
    f.view->OnInitialUpdate();
    EXPECT_EQ(Zoom(f), (CSize{400, 300}));
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{0, 0}));
    f.view->resize(300, 200);
    f.view->OnInitialUpdate();
    EXPECT_EQ(Zoom(f), (CSize{134, 100}));
    EXPECT_EQ(f.view->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(f.view->verticalScrollBar()->maximum(), 0);
}

int CountNear(const QImage& image, QRect area, const QColor& want)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            n += std::abs(qRed(c) - want.red()) <= 40 && std::abs(qGreen(c) - want.green()) <= 40 &&
                 std::abs(qBlue(c) - want.blue()) <= 40;
        }
    return n;
}

TEST(QuillexView, PaintsSurroundFrameCaptionPaperCrossAndSelection)
{
    ViewFixture f(400, 300, 700, 600);
    FillPattern(f.doc.m_paper);
    f.doc.m_rcSelection = CRect{20, 30, 120, 90};
    for (int32_t x = 20; x < 30; ++x) {  // black and white under the outline's top
        f.doc.m_paper.SetPixel(x, 29, 0);
        f.doc.m_paper.SetPixel(x + 10, 29, 255);
    }
    ASSERT_TRUE(f.view->IsGridShown());
    f.view->ZoomBy(kZoomInFactor);
    ASSERT_EQ(f.view->Geometry().m_ptOrigin, (CPoint{110, 120}));
    f.view->SetBand(CRect{60, 400, 200, 520});  // from the surround onto the paper
    const auto bytes = [&] { return std::vector<uint8_t>(f.doc.m_paper.GetBits(), f.doc.m_paper.GetBits() + f.doc.m_paper.GetImageSize()); };
    const std::vector<uint8_t> sheet = bytes();
    const QImage image = f.Render();
    EXPECT_TRUE(bytes() == sheet);
    // The real paint path draws the same picture.
    EXPECT_EQ(f.Port()->grab().toImage().convertToFormat(QImage::Format_RGB32), image);
    auto paperAt = [&](int x, int y) {
        const CPoint p = f.view->ViewToPaper(CPoint{x, y});
        return Gray(f.doc.m_paper.GetPixel(p.x, p.y));
    };

    // Surround away from the texts; the frame one pixel around the 480 x 360
    // paper at (110, 120); the selection (20, 30)-(120, 90), shown at
    // (134, 156)-(254, 228), outlined one pixel outside; the cross through the
    // centre, over the paper but not into it. The outlines invert what lies
    // beneath with their colour: white turns blue, the surround brown.
    const QRgb x = kSelectionColor.rgb() & 0xFFFFFF;
    const std::pair<QRgb, std::vector<QPoint>> colours[] = {
        {kSurroundColor.rgb(), {{690, 10}, {300, 100}, {600, 590}, {105, 300}}},
        {qRgb(0, 0, 0), {{109, 200}, {590, 200}, {300, 119}, {300, 480}, {109, 119}}},
        {paperAt(133, 190) ^ x, {{133, 190}}},
        {paperAt(254, 190) ^ x, {{254, 190}}},
        {paperAt(190, 228) ^ x, {{190, 228}}},
        {qRgb(153, 153, 0), {{f.At(25, 29).x(), 155}}},
        {qRgb(102, 102, 255), {{f.At(35, 29).x(), 155}}},
        {qRgb(119, 85, 0), {{59, 450}, {80, 399}}},
        {paperAt(200, 450) ^ x, {{200, 450}}},
        {kCrossColor.rgb(), {{350, 130}, {130, 300}}},
        {paperAt(351, 130), {{351, 130}}},
    };
    for (const auto& [colour, points] : colours)
        for (QPoint p : points) EXPECT_EQ(image.pixel(p), colour) << p.x() << "," << p.y();
    EXPECT_EQ(f.view->PaperToView(f.doc.m_rcSelection), (CRect{134, 156, 254, 228}));

    // Paper pixels at 1.2 times, each the pixel the pointer maps to there.
    int checked = 0;
    for (int y = 121; y < 480; y += 7) {
        for (int x = 111; x < 590; x += 5) {
            if (x == 350 || y == 300 || x == 133 || x == 254 || y == 155 || y == 228 || (x >= 59 && x <= 200 && y >= 399 && y <= 520)) continue;
            ASSERT_EQ(image.pixel(x, y), paperAt(x, y)) << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 4000);

    // Caption: the title in blue without its extension, the footer in its
    // pale colour, both on the surround.
    const QFontMetrics metrics(f.Port()->font());
    const QRect title(5, 5, metrics.horizontalAdvance("Sketch1"), metrics.height());
    EXPECT_GT(CountNear(image, title, kTitleColor), 5);
    EXPECT_EQ(CountNear(image, QRect(title.right() + 1, 5, 60, metrics.height()), kTitleColor), 0);
    const int footerTop = 2 * 120 + 360 - metrics.height() - 5;
    EXPECT_GT(CountNear(image, QRect(5, footerTop, 200, metrics.height()), kFooterColor), 5);

    // Grid off: the cross is gone and the paper shows there.
    f.view->OnCommand(ID_VIEW_GRID);
    EXPECT_EQ(f.Render().pixel(350, 130), paperAt(350, 130));
}

TEST(QuillexView, PaintingAFloatingPieceLeavesEveryPixelValueAsItWas)
{
    for (int transparent = 0; transparent <= 1; ++transparent) {
        for (const CRect& at : {CRect{0, 0, 256, 256}, CRect{100, -50, 356, 206}}) {
            ViewFixture f(256, 256, 420, 420);
            f.view->OnCommand(ID_VIEW_GRID);  // the cross would hide pixels
            // Every paper value meets every floating value.
            ASSERT_TRUE(f.doc.m_floating.Create(256, 256, 5));
            for (int32_t y = 0; y < 256; ++y)
                for (int32_t x = 0; x < 256; ++x) {
                    f.doc.m_paper.SetPixel(x, y, static_cast<uint8_t>(x));
                    f.doc.m_floating.SetPixel(x, y, static_cast<uint8_t>(y));
                }
            f.doc.m_rcSelection = at;
            f.doc.m_bTransparent = transparent;
            auto bits = [](const CPaper& p) { return std::vector<uint8_t>(p.GetBits(), p.GetBits() + p.GetImageSize()); };
            const std::vector<uint8_t> paperBefore = bits(f.doc.m_paper), floatingBefore = bits(f.doc.m_floating);

            const QImage image = f.Render();
            f.Port()->repaint();

            EXPECT_EQ(bits(f.doc.m_paper), paperBefore);
            EXPECT_EQ(bits(f.doc.m_floating), floatingBefore);
            const CPoint origin = f.view->Geometry().m_ptOrigin;
            int wrong = 0;
            for (int32_t y = std::max(0, at.top); y < std::min(256, at.bottom); ++y) {
                for (int32_t x = at.left; x < 256; ++x) {
                    const int piece = y - at.top;
                    const int shown = transparent && piece == 255 ? x : piece;
                    wrong += image.pixel(origin.x + x, origin.y + y) != Gray(shown);
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
    auto painted = [&](const CRect* hint) {
        spy.painted = QRegion();
        f.view->OnUpdate(nullptr, hint);
        QApplication::processEvents();
        return spy.painted;
    };
    const CRect hint{10, 20, 30, 25}, empty{};
    CRect grown = f.view->PaperToView(hint);
    grown.Inflate(2);
    EXPECT_EQ(painted(&hint), QRegion(grown.left, grown.top, grown.Width(), grown.Height()));
    EXPECT_TRUE(painted(&empty).isEmpty());
    EXPECT_EQ(painted(nullptr), QRegion(f.Port()->rect()));

    // RepaintNow paints what is pending at once.
    spy.painted = QRegion();
    const CRect area{10, 10, 40, 30};
    f.view->InvalidateView(&area);
    EXPECT_TRUE(spy.painted.isEmpty());
    f.view->RepaintNow();
    EXPECT_EQ(spy.painted, QRegion(10, 10, 30, 20));
}

TEST(QuillexView, MovingAFloatingPieceRepaintsOnlyItsOldAndNewPlace)
{
    ViewFixture f(400, 300, 600, 500);
    FillPattern(f.doc.m_paper);
    f.doc.OnToolSelect();
    f.doc.m_rcSelection = CRect{100, 100, 140, 130};
    const QPoint start = f.At(110, 110);
    f.Press(start);
    f.Move(start + QPoint(10, 0));  // passes the threshold only
    QApplication::processEvents();
    ASSERT_TRUE(f.doc.m_floating.HasBits());
    PaintSpy spy(f.Port());
    f.Move(start + QPoint(16, 3));
    QApplication::processEvents();
    EXPECT_EQ(f.doc.m_rcSelection, (CRect{116, 103, 156, 133}));
    CRect both = f.view->PaperToView(CRect{100, 100, 156, 133});
    both.Inflate(2);
    EXPECT_EQ(spy.painted.boundingRect(), QRect(both.left, both.top, both.Width(), both.Height()));
    f.Release(start + QPoint(16, 3));
}

TEST(QuillexView, MouseStrokeReachesTheDocumentOnceFromPressToRelease)
{
    ViewFixture f(400, 300, 600, 500);
    const QPoint a = f.At(20, 20), b = f.At(120, 20), c = f.At(60, 200), d = f.At(120, 80);
    QApplication::setActiveWindow(f.view.get());
    f.view->clearFocus();
    f.Press(a);
    EXPECT_TRUE(f.view->IsTracking());
    EXPECT_TRUE(f.view->hasFocus());
    f.Move(b);
    f.Press(c);  // a second press, ignored
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
    const std::pair<const char*, std::function<void()>> losses[] = {
        {"focus out", [&] {
             QFocusEvent event(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
             QApplication::sendEvent(f.view.get(), &event);
         }},
        {"quit", [] { QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection); }},
        {"deactivated", [&] {
             QEvent event(QEvent::WindowDeactivate);
             QApplication::sendEvent(f.view.get(), &event);
         }},
        {"hidden", [&] { f.view->hide(); }},
    };
    int strokes = 0;
    for (const auto& [name, lose] : losses) {
        SCOPED_TRACE(name);
        f.Press(f.At(10, 10));
        f.Move(f.At(50, 10));
        lose();
        EXPECT_FALSE(f.view->IsTracking());
        ASSERT_EQ(f.doc.GetHistoryCount(), ++strokes);
        const StrokePointList& points = *f.doc.m_history.back().pPoints;
        EXPECT_EQ(points[points.GetCount() - 1].x, 50);
        f.Release(f.At(50, 10));  // the release that comes later changes nothing
        EXPECT_EQ(f.doc.GetHistoryCount(), strokes);
    }
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
    f.Press(f.At(30, 40));
    f.Move(QPoint(-10, -10));
    EXPECT_EQ(f.view->ViewToPaper(CPoint{-10, -10}).x, -10 - f.view->Geometry().m_ptOrigin.x);
    f.Release(QPoint(-10, -10));
    EXPECT_EQ(f.doc.m_rcSelection, (CRect{0, 0, 30, 40}));
}

TEST(QuillexView, MiddleButtonPansAndArrowKeysScrollWithinTheLimits)
{
    ViewFixture f(400, 300, 300, 200);
    f.view->ScrollTo(0, 0);
    auto key = [&](int k) {
        QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(f.view.get(), &event);
    };
    key(Qt::Key_Right);  // a tenth of the 500 x 400 area
    key(Qt::Key_Down);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{40, 30}));
    for (int i = 0; i < 20; ++i) key(Qt::Key_Right);
    EXPECT_EQ(f.view->GetScrollPosition().x, f.view->horizontalScrollBar()->maximum());
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    key(Qt::Key_A);
    EXPECT_EQ(f.view->GetScrollPosition().y, 0);

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

TEST(QuillexView, CtrlWheelAndPinchZoomInTheMenuStepsAndTheWheelScrolls)
{
    ViewFixture f(400, 300, 300, 200);
    auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(100, 100), f.Port()->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.Port(), &event);
        return Zoom(f).cx;
    };
    auto pinch = [&](qreal scale) {
        QPinchGesture gesture;
        gesture.setChangeFlags(QPinchGesture::ScaleFactorChanged);
        gesture.setScaleFactor(scale);
        QGestureEvent event(QList<QGesture*>{&gesture});
        QApplication::sendEvent(f.Port(), &event);
        return Zoom(f).cx;
    };
    EXPECT_EQ(wheel(120, Qt::ControlModifier), 480);
    EXPECT_EQ(wheel(60, Qt::ControlModifier), 480);
    EXPECT_EQ(wheel(60, Qt::ControlModifier), 576);
    EXPECT_EQ(wheel(-240, Qt::ControlModifier), 400);
    EXPECT_EQ(pinch(1.1), 400);
    EXPECT_EQ(pinch(1.1), 480);
    EXPECT_EQ(pinch(0.5), 277);  // halving is three whole steps out
    f.view->ZoomBy(kActualSizeFactor);

    // Without Ctrl a notch scrolls three lines of at least 16 pixels, within
    // the limits; Shift scrolls sideways.
    f.view->ScrollTo(0, 0);
    wheel(-120, Qt::NoModifier);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{0, 48}));
    wheel(-120, Qt::ShiftModifier);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{48, 48}));
    wheel(1200, Qt::NoModifier);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{48, 0}));
}

TEST(QuillexView, CtrlWheelZoomsAboutThePointer)
{
    ViewFixture f(2048, 1536, 700, 500);
    f.view->ScrollTo(600, 500);
    const QPoint at(130, 420);
    const CPoint before = f.view->ViewToPaper(CPoint{at.x(), at.y()});
    for (int delta : {120, 120, -120, 240}) {
        QWheelEvent event(QPointF(at), f.Port()->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.Port(), &event);
        const CPoint now = f.view->ViewToPaper(CPoint{at.x(), at.y()});
        EXPECT_NEAR(now.x, before.x, 1) << delta;
        EXPECT_NEAR(now.y, before.y, 1) << delta;
    }
    EXPECT_EQ(Zoom(f), (CSize{3536, 2652}));  // three steps in
}

TEST(QuillexView, MirrorShowsTheSheetFlippedAndDrawsWhereThePointerIs)
{
    ViewFixture f(400, 300, 600, 500);
    FillPattern(f.doc.m_paper);
    const std::vector<uint8_t> sheet(f.doc.m_paper.GetBits(), f.doc.m_paper.GetBits() + f.doc.m_paper.GetImageSize());
    EXPECT_TRUE(f.view->OnCommand(ID_VIEW_MIRROR));
    EXPECT_TRUE(f.view->IsMirrored());
    const QImage image = f.Render();
    // The paper occupies 100..499 across; its column x shows at 499 - x.
    for (int32_t y = 0; y < 300; y += 41)
        for (int32_t x = 0; x < 400; x += 13)
            ASSERT_EQ(image.pixel(499 - x, 100 + y), Gray(f.doc.m_paper.GetPixel(x, y))) << x << "," << y;
    EXPECT_TRUE(std::equal(sheet.begin(), sheet.end(), f.doc.m_paper.GetBits()));

    // A stroke lands under the pointer: the left of the screen is the right
    // of the paper. Mirroring back is refused until the stroke ends.
    f.doc.m_paper.Create(400, 300, 1);
    f.Press(QPoint(150, 200));
    f.Move(QPoint(200, 200));
    f.view->OnCommand(ID_VIEW_MIRROR);
    EXPECT_TRUE(f.view->IsMirrored());
    f.Release(QPoint(200, 200));
    EXPECT_LT(f.doc.m_paper.GetPixel(325, 100), 255);
    EXPECT_EQ(f.doc.m_paper.GetPixel(75, 100), 255);
    EXPECT_LT(qRed(f.Render().pixel(175, 200)), 255);
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
        view.OnCommand(ID_VIEW_GRID);
    }
    EXPECT_EQ(profile.values["ShowGrid"], 1);
    profile.values.clear();
    EXPECT_TRUE(CQuillexView().IsGridShown());  // default on
    Services().pProfile = nullptr;
}

TEST(QuillexView, CommandStatesFollowTheSelectionAndTheGrid)
{
    ViewFixture f(400, 300, 300, 200);
    auto state = [&](uint32_t id) {
        CCmdUI ui(id);
        EXPECT_TRUE(f.view->OnUpdateCommand(ui));
        return std::pair{ui.m_bEnabled, ui.m_nCheck};
    };
    EXPECT_FALSE(state(ID_EDIT_COPY).first || state(ID_EDIT_CUT).first);
    f.doc.m_rcSelection = CRect{1, 1, 10, 10};
    EXPECT_TRUE(state(ID_EDIT_COPY).first && state(ID_EDIT_CUT).first);
    EXPECT_EQ(state(ID_VIEW_GRID).second, 1);
    f.view->OnCommand(ID_VIEW_GRID);
    EXPECT_EQ(state(ID_VIEW_GRID).second, 0);
    // The zoom commands have no update handler: always enabled.
    CCmdUI zoom(ID_VIEW_ZOOM_IN);
    EXPECT_FALSE(f.view->OnUpdateCommand(zoom));
}

}  // namespace
