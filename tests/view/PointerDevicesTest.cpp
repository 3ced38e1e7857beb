// Pen and touch input reach the document through the same gesture rules as the mouse; the tracker under them
// keeps one gesture at a time.

#include "ViewTestSupport.h"

#include <gtest/gtest.h>

#include <string>

static void Tablet(ViewFixture& f, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    static const QPointingDevice pen("test pen", 9001, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
                                     QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3);
    QTabletEvent event(type, &pen, QPointF(p), f.Port()->mapToGlobal(QPointF(p)), 0.3, 0, 0, 0, 0, 0, Qt::NoModifier,
                       button, buttons);
    QApplication::sendEvent(f.Port(), &event);
}

static void Touch(ViewFixture& f, QEvent::Type type, const QList<std::pair<int, QPoint>>& at, QEventPoint::State state)
{
    static const QPointingDevice touch("test touch", 9002, QInputDevice::DeviceType::TouchScreen,
                                       QPointingDevice::PointerType::Finger, QInputDevice::Capability::Position, 5, 0);
    QList<QEventPoint> list;
    for (const auto& [id, p] : at) list.append(QEventPoint(id, state, QPointF(p), f.Port()->mapToGlobal(QPointF(p))));
    QTouchEvent event(type, &touch, Qt::NoModifier, list);
    QApplication::sendEvent(f.Port(), &event);
}

TEST(PointerDevices, PenAndFingerStrokesAreOneGestureEach)
{
    ViewFixture f(400, 300, 600, 500);
    const QPoint a = f.At(10, 10), b = f.At(90, 10);
    Tablet(f, QEvent::TabletPress, a, Qt::LeftButton, Qt::LeftButton);
    f.Press(b);  // the mouse cannot take over a pen gesture
    f.Move(f.At(10, 100));
    Tablet(f, QEvent::TabletMove, b, Qt::NoButton, Qt::LeftButton);
    f.Release(b);
    EXPECT_TRUE(f.view->IsTracking());
    Tablet(f, QEvent::TabletRelease, b, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(f.view->IsTracking());
    ASSERT_EQ(f.doc.GetHistoryCount(), 1);
    EXPECT_LT(f.doc.GetPaper().GetPixel(50, 10), 255);
    EXPECT_EQ(f.doc.GetPaper().GetPixel(10, 60), 255);  // nor steer it
    // The pen's pressure of 0.3 reaches the stroke as 307 steps of 1024.
    EXPECT_EQ(f.doc.GetHistory()[0].pPoints->GetPressure(1), 307);

    const QPoint c = f.At(10, 40), d = f.At(90, 40);
    Touch(f, QEvent::TouchBegin, {{1, c}}, QEventPoint::State::Pressed);
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
    Touch(f, QEvent::TouchCancel, {}, QEventPoint::State::Released);
    EXPECT_FALSE(f.view->IsTracking());
    EXPECT_EQ(f.doc.GetHistoryCount(), 4);
}

// The view's tests show each device's press, move and release, a declined
// press, a second press and the loss of the pointer. Here the document opens
// a dialog as it takes the press, which takes the pointer, and a repaint
// after the release ends the gesture again: the gesture the document accepted
// is closed at once, where it was pressed, a press arriving meanwhile is
// ignored, and nothing closes it twice.
TEST(PointerTracker, ReentrantEventsCannotOpenOrCloseAGestureTwice)
{
    struct Sink : IPointerSink {
        bool OnGestureDown(CPoint p, int32_t) override
        {
            log += "down " + std::to_string(p.x) + " ";
            EXPECT_FALSE(tracker->Press(PointerSource::Pen, {9, 9}));
            tracker->Cancel();
            return true;
        }
        void OnGestureMove(CPoint, int32_t) override { log += "move "; }
        void OnGestureUp(CPoint p, int32_t) override
        {
            log += "up " + std::to_string(p.x) + " ";
            tracker->Cancel();
        }
        CPointerTracker* tracker = nullptr;
        std::string log;
    } sink;
    CPointerTracker tracker(sink);
    sink.tracker = &tracker;
    EXPECT_TRUE(tracker.Press(PointerSource::Mouse, {1, 2}));
    EXPECT_FALSE(tracker.IsTracking());
    tracker.Move(PointerSource::Mouse, {3, 3});
    tracker.Release(PointerSource::Mouse, {3, 3});
    EXPECT_EQ(sink.log, "down 1 up 1 ");
}
