// Pen and touch input reach the document through the same gesture rules as the mouse.

#include "ViewTestSupport.h"

#include <gtest/gtest.h>

#include <QPointingDevice>
#include <QTabletEvent>
#include <QTouchEvent>

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

