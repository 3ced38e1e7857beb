// Pen, touch, touchpad and wheel input reach the document through the same
// gesture rules as the mouse, and zoom in the menu's steps.

#include "ViewTestSupport.h"

#include <gtest/gtest.h>

#include <QGestureEvent>
#include <QNativeGestureEvent>
#include <QPinchGesture>
#include <QPointingDevice>
#include <QScrollBar>
#include <QTabletEvent>
#include <QTouchEvent>

#include <functional>

namespace {

// Made once the application exists.
const QPointingDevice* Pen()
{
    static const QPointingDevice pen("test pen", 9001, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
                                     QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3);
    return &pen;
}
const QPointingDevice* TouchScreen()
{
    static const QPointingDevice touch("test touch", 9002, QInputDevice::DeviceType::TouchScreen,
                                       QPointingDevice::PointerType::Finger, QInputDevice::Capability::Position, 5, 0);
    return &touch;
}

void Tablet(ViewFixture& f, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
            qreal pressure = 0.5)
{
    QTabletEvent event(type, Pen(), QPointF(p), f.Port()->mapToGlobal(QPointF(p)), pressure, 0, 0, 0, 0, 0,
                       Qt::NoModifier, button, buttons);
    QApplication::sendEvent(f.Port(), &event);
}

// A stroke through paper points by the pen, each with its pressure (a pen
// lifting reports none at all), or by the mouse when there are no pressures.
void Stroke(ViewFixture& f, const std::vector<CPoint>& points, const std::vector<qreal>& pressures = {})
{
    for (size_t i = 0; i < points.size(); ++i) {
        const QPoint p = f.At(points[i].x, points[i].y);
        if (pressures.empty())
            i == 0 ? f.Press(p) : f.Move(p);
        else if (i == 0)
            Tablet(f, QEvent::TabletPress, p, Qt::LeftButton, Qt::LeftButton, pressures[0]);
        else
            Tablet(f, QEvent::TabletMove, p, Qt::NoButton, Qt::LeftButton, pressures[i]);
    }
    const QPoint last = f.At(points.back().x, points.back().y);
    pressures.empty() ? f.Release(last) : Tablet(f, QEvent::TabletRelease, last, Qt::LeftButton, Qt::NoButton, 0.0);
}

const std::vector<CPoint> kScribble{{20, 30}, {60, 34}, {90, 80}, {70, 120}, {150, 118}, {151, 60}, {40, 90}};

void Touch(ViewFixture& f, QEvent::Type type, const QList<std::pair<int, QPoint>>& points, QEventPoint::State state)
{
    QList<QEventPoint> list;
    for (const auto& [id, p] : points) list.append(QEventPoint(id, state, QPointF(p), f.Port()->mapToGlobal(QPointF(p))));
    QTouchEvent event(type, TouchScreen(), Qt::NoModifier, list);
    QApplication::sendEvent(f.Port(), &event);
}

TEST(PointerDevices, PenAndFingerStrokesAreOneGestureEach)
{
    ViewFixture f(400, 300, 600, 500);
    const QPoint a = f.At(10, 10), b = f.At(90, 10);
    Tablet(f, QEvent::TabletPress, a, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(f.view->IsTracking());
    f.Press(b);  // the mouse cannot take over a pen gesture
    Tablet(f, QEvent::TabletMove, b, Qt::NoButton, Qt::LeftButton);
    f.Release(b);
    EXPECT_TRUE(f.view->IsTracking());
    Tablet(f, QEvent::TabletRelease, b, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(f.view->IsTracking());
    ASSERT_EQ(f.doc.GetHistoryCount(), 1);
    EXPECT_LT(f.doc.GetPaper().GetPixel(50, 10), 255);

    const QPoint c = f.At(10, 40), d = f.At(90, 40);
    Touch(f, QEvent::TouchBegin, {{1, c}}, QEventPoint::State::Pressed);
    EXPECT_TRUE(f.view->IsTracking());
    Touch(f, QEvent::TouchUpdate, {{1, d}}, QEventPoint::State::Updated);
    Touch(f, QEvent::TouchEnd, {{1, d}}, QEventPoint::State::Released);
    EXPECT_FALSE(f.view->IsTracking());
    ASSERT_EQ(f.doc.GetHistoryCount(), 2);
    EXPECT_LT(f.doc.GetPaper().GetPixel(50, 40), 255);

    // A second finger ends the stroke.
    Touch(f, QEvent::TouchBegin, {{2, c}}, QEventPoint::State::Pressed);
    Touch(f, QEvent::TouchUpdate, {{2, d}, {3, c}}, QEventPoint::State::Updated);
    EXPECT_FALSE(f.view->IsTracking());
    EXPECT_EQ(f.doc.GetHistoryCount(), 3);

    // A cancelled touch still closes its gesture once.
    Touch(f, QEvent::TouchBegin, {{4, c}}, QEventPoint::State::Pressed);
    QTouchEvent cancel(QEvent::TouchCancel, TouchScreen());
    QApplication::sendEvent(f.Port(), &cancel);
    EXPECT_FALSE(f.view->IsTracking());
    EXPECT_EQ(f.doc.GetHistoryCount(), 4);
}

TEST(PointerDevices, APenPressedFullyDrawsTheMouseStrokeAndWithPressureOffAlways)
{
    ViewFixture mouse(400, 300, 600, 500), pen(400, 300, 600, 500), off(400, 300, 600, 500);
    for (ViewFixture* f : {&mouse, &pen, &off}) f->doc.SetPencilOptions(3, 3, 0);
    Stroke(mouse, kScribble);
    Stroke(pen, kScribble, std::vector<qreal>(kScribble.size(), 1.0));
    off.doc.SetPressureUsed(ToolKind::Pencil, false);
    Stroke(off, kScribble, {0.2, 0.4, 0.1, 0.9, 0.3, 0.5, 0.7});
    EXPECT_TRUE(Bytes(pen.doc.GetPaper()) == Bytes(mouse.doc.GetPaper()));
    EXPECT_TRUE(Bytes(off.doc.GetPaper()) == Bytes(mouse.doc.GetPaper()));
    EXPECT_NE(Bytes(mouse.doc.GetPaper()), Bytes(mouse.doc.GetBasePaper()));
}

// Width 3 on paper without grain: along a stroke pressed ever harder, every
// pixel of the middle row is at least as dark as the one before, and the
// line grows from one pixel to three.
TEST(PointerDevices, APressureRampDarkensAlongTheStroke)
{
    ViewFixture f(400, 300, 600, 500);
    PaintSheet(f.doc, [](int32_t, int32_t) { return -1; }, 400, 300, 1);
    f.doc.SetPencilOptions(5, 3, 0);
    std::vector<CPoint> points;
    std::vector<qreal> pressures;
    for (int32_t x = 20; x <= 380; x += 10) {
        points.push_back({x, 100});
        pressures.push_back(0.05 + 0.95 * (x - 20) / 360.0);
    }
    Stroke(f, points, pressures);
    const CPaper& paper = f.doc.GetPaper();
    // The release point itself (380) is where a next segment would start.
    for (int32_t x = 20; x < 379; ++x) ASSERT_LE(paper.GetPixel(x + 1, 100), paper.GetPixel(x, 100)) << x;
    EXPECT_GT(paper.GetPixel(25, 100), paper.GetPixel(375, 100) + 30);
    EXPECT_EQ((std::pair{paper.GetPixel(25, 99), paper.GetPixel(25, 101)}), (std::pair<uint8_t, uint8_t>{255, 255}));
    EXPECT_LT(std::max(paper.GetPixel(375, 99), paper.GetPixel(375, 101)), 255);
}

TEST(PointerDevices, UndoAndRedoOfPenStrokesRebuildTheSameSheet)
{
    ViewFixture f(400, 300, 600, 500);
    const std::vector<uint8_t> blank = Bytes(f.doc.GetPaper());
    std::vector<std::vector<uint8_t>> after;
    for (int i = 0; i < 4; ++i) {
        f.doc.OnCommand(i == 2 ? ID_TOOL_ERASER : ID_TOOL_PENCIL);
        f.doc.SetPencilOptions(i, 1 + i % 3, i % 2);
        std::vector<CPoint> points;
        std::vector<qreal> pressures;
        for (size_t k = 0; k < kScribble.size(); ++k) {
            points.push_back({kScribble[k].x + 7 * i, kScribble[k].y + 5 * i});
            pressures.push_back(0.1 + 0.13 * double((k * 5 + i * 3) % 7));
        }
        Stroke(f, points, pressures);
        after.push_back(Bytes(f.doc.GetPaper()));
    }
    ASSERT_EQ(f.doc.GetHistoryCount(), 4);
    EXPECT_TRUE(f.doc.GetHistory()[0].pPoints->HasPressures());
    for (int i = 0; i < 4; ++i) f.doc.OnCommand(ID_EDIT_UNDO);
    EXPECT_TRUE(Bytes(f.doc.GetPaper()) == blank);
    for (int i = 0; i < 4; ++i) {
        f.doc.OnCommand(ID_EDIT_REDO);
        EXPECT_TRUE(Bytes(f.doc.GetPaper()) == after[static_cast<size_t>(i)]) << i;
    }
    f.doc.OnCommand(ID_EDIT_UNDO);
    f.doc.OnCommand(ID_EDIT_UNDO);
    EXPECT_TRUE(Bytes(f.doc.GetPaper()) == after[1]);
}

// Ctrl+wheel, a pinch on the screen and one on the touchpad gather their
// scaling into the menu's steps; the wheel alone scrolls.
TEST(PointerDevices, WheelAndPinchesZoomInTheMenuStepsAndTheWheelScrolls)
{
    ViewFixture f(400, 300, 300, 200);
    auto wheel = [&](qreal delta) { f.Wheel(QPoint(100, 100), int(delta), Qt::ControlModifier); };
    auto pinch = [&](qreal scale) {
        QPinchGesture gesture;
        gesture.setChangeFlags(QPinchGesture::ScaleFactorChanged);
        gesture.setScaleFactor(scale);
        QGestureEvent event(QList<QGesture*>{&gesture});
        QApplication::sendEvent(f.Port(), &event);
    };
    auto native = [&](Qt::NativeGestureType type, qreal value) {
        QNativeGestureEvent event(type, TouchScreen(), 2, QPointF(100, 100), QPointF(100, 100),
                                  f.Port()->mapToGlobal(QPointF(100, 100)), value, QPointF());
        QApplication::sendEvent(f.Port(), &event);
    };
    auto touchpad = [&](qreal value) { native(Qt::ZoomNativeGesture, value); };
    // A touchpad's gesture starts its gathering afresh, whatever the pinch left.
    auto begin = [&](qreal) {
        f.view->ZoomBy(kActualSizeFactor);
        native(Qt::BeginNativeGesture, 0);
    };
    // input, its value, the displayed width after it
    const std::tuple<std::function<void(qreal)>, qreal, int> steps[] = {
        {wheel, 120, 480},  {wheel, 60, 480},     {wheel, 60, 576},     {wheel, -240, 400},
        {pinch, 1.1, 400},  {pinch, 1.1, 480},    {pinch, 0.5, 277},  // halving is three whole steps out
        {begin, 0, 400},    {touchpad, 0.1, 400}, {touchpad, 0.1, 480}, {touchpad, -0.3, 400},
    };
    for (const auto& [input, value, width] : steps) {
        input(value);
        EXPECT_EQ(f.Zoom().cx, width) << value;
    }
    f.view->ZoomBy(kActualSizeFactor);

    // Without Ctrl a notch scrolls three lines of at least 16 pixels, within
    // the limits; Shift scrolls sideways.
    f.view->ScrollTo(0, 0);
    f.Wheel(QPoint(100, 100), -120, Qt::NoModifier);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{0, 48}));
    f.Wheel(QPoint(100, 100), -120, Qt::ShiftModifier);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{48, 48}));
    f.Wheel(QPoint(100, 100), 1200, Qt::NoModifier);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{48, 0}));
}

TEST(PointerDevices, CtrlWheelZoomsAboutThePointerAndFitShowsTheWholeSheet)
{
    ViewFixture f(2048, 1536, 700, 500);
    f.view->ScrollTo(600, 500);
    const QPoint at(130, 420);
    const CPoint before = f.view->ViewToPaper(CPoint{at.x(), at.y()});
    for (int delta : {120, 120, -120, 240}) {
        f.Wheel(at, delta, Qt::ControlModifier);
        const CPoint now = f.view->ViewToPaper(CPoint{at.x(), at.y()});
        EXPECT_NEAR(now.x, before.x, 1) << delta;
        EXPECT_NEAR(now.y, before.y, 1) << delta;
    }
    EXPECT_EQ(f.Zoom(), (CSize{3536, 2652}));  // three steps in

    EXPECT_TRUE(f.view->OnCommand(ID_VIEW_FIT));
    QApplication::processEvents();  // the scroll bars go
    // 700 x 500 less the margins, the height deciding.
    EXPECT_EQ(f.Zoom(), (CSize{534, 400}));
    EXPECT_EQ(f.view->PaperToView(CRect{0, 0, 2048, 1536}), (CRect{83, 50, 617, 450}));
    EXPECT_EQ(f.view->horizontalScrollBar()->maximum(), 0);
}

}  // namespace
