// Pen, touch and touchpad input reach the document through the same gesture
// rules as the mouse.

#include "ViewTestSupport.h"

#include <gtest/gtest.h>

#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QTouchEvent>

namespace {

const QPointingDevice& Pen()
{
    static const QPointingDevice device("test pen", 9001, QInputDevice::DeviceType::Stylus,
                                        QPointingDevice::PointerType::Pen,
                                        QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3);
    return device;
}

const QPointingDevice& TouchScreen()
{
    static const QPointingDevice device("test touch", 9002, QInputDevice::DeviceType::TouchScreen,
                                        QPointingDevice::PointerType::Finger, QInputDevice::Capability::Position, 5,
                                        0);
    return device;
}

void Tablet(ViewFixture& f, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QTabletEvent event(type, &Pen(), QPointF(p), f.Port()->mapToGlobal(QPointF(p)), 0.5, 0, 0, 0, 0, 0,
                       Qt::NoModifier, button, buttons);
    QApplication::sendEvent(f.Port(), &event);
}

void Touch(ViewFixture& f, QEvent::Type type, const QList<std::pair<int, QPoint>>& points, QEventPoint::State state)
{
    QList<QEventPoint> list;
    for (const auto& [id, p] : points)
        list.append(QEventPoint(id, state, QPointF(p), f.Port()->mapToGlobal(QPointF(p))));
    QTouchEvent event(type, &TouchScreen(), Qt::NoModifier, list);
    QApplication::sendEvent(f.Port(), &event);
}

TEST(PointerDevices, PenStrokeIsOneGesture)
{
    ViewFixture f(400, 300, 600, 500);
    const CRect paper = f.view->PaperToView(CRect{0, 0, 400, 300});
    const QPoint a(paper.left + 10, paper.top + 10), b(paper.left + 90, paper.top + 10);
    Tablet(f, QEvent::TabletPress, a, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(f.view->IsTracking());
    f.Press(b);  // the mouse cannot take over a pen gesture
    Tablet(f, QEvent::TabletMove, b, Qt::NoButton, Qt::LeftButton);
    f.Release(b);
    EXPECT_TRUE(f.view->IsTracking());
    Tablet(f, QEvent::TabletRelease, b, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(f.view->IsTracking());
    ASSERT_EQ(f.doc.GetHistoryCount(), 1);
    EXPECT_LT(f.doc.m_paper.GetPixel(50, 10), 255);
}

TEST(PointerDevices, OneFingerDrawsAndASecondFingerEndsTheStroke)
{
    ViewFixture f(400, 300, 600, 500);
    const CRect paper = f.view->PaperToView(CRect{0, 0, 400, 300});
    const QPoint a(paper.left + 10, paper.top + 40), b(paper.left + 90, paper.top + 40);

    Touch(f, QEvent::TouchBegin, {{1, a}}, QEventPoint::State::Pressed);
    EXPECT_TRUE(f.view->IsTracking());
    Touch(f, QEvent::TouchUpdate, {{1, b}}, QEventPoint::State::Updated);
    Touch(f, QEvent::TouchEnd, {{1, b}}, QEventPoint::State::Released);
    EXPECT_FALSE(f.view->IsTracking());
    ASSERT_EQ(f.doc.GetHistoryCount(), 1);
    EXPECT_LT(f.doc.m_paper.GetPixel(50, 40), 255);

    Touch(f, QEvent::TouchBegin, {{2, a}}, QEventPoint::State::Pressed);
    EXPECT_TRUE(f.view->IsTracking());
    Touch(f, QEvent::TouchUpdate, {{2, b}, {3, a}}, QEventPoint::State::Updated);
    EXPECT_FALSE(f.view->IsTracking());
    EXPECT_EQ(f.doc.GetHistoryCount(), 2);

    // A cancelled touch still closes its gesture once.
    Touch(f, QEvent::TouchBegin, {{4, a}}, QEventPoint::State::Pressed);
    QTouchEvent cancel(QEvent::TouchCancel, &TouchScreen());
    QApplication::sendEvent(f.Port(), &cancel);
    EXPECT_FALSE(f.view->IsTracking());
    EXPECT_EQ(f.doc.GetHistoryCount(), 3);
}

TEST(PointerDevices, TouchpadPinchZoomsInTheMenuSteps)
{
    ViewFixture f(400, 300, 300, 200);
    auto gesture = [&](Qt::NativeGestureType type, qreal value) {
        QNativeGestureEvent event(type, &TouchScreen(), 2, QPointF(100, 100), QPointF(100, 100),
                                  f.Port()->mapToGlobal(QPointF(100, 100)), value, QPointF());
        QApplication::sendEvent(f.Port(), &event);
    };
    gesture(Qt::BeginNativeGesture, 0);
    gesture(Qt::ZoomNativeGesture, 0.1);
    EXPECT_EQ(f.view->Geometry().m_sizeZoom.cx, 400);
    gesture(Qt::ZoomNativeGesture, 0.1);  // 1.1 x 1.1 passes 1.2
    EXPECT_EQ(f.view->Geometry().m_sizeZoom.cx, 480);
    gesture(Qt::ZoomNativeGesture, -0.3);
    EXPECT_EQ(f.view->Geometry().m_sizeZoom.cx, 400);
    gesture(Qt::EndNativeGesture, 0);
}

}  // namespace
