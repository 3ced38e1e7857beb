// Pen, touch and touchpad input reach the document through the same gesture
// rules as the mouse.

#include "ViewTestSupport.h"

#include "framework/CommandIds.h"

#include <gtest/gtest.h>

#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QTouchEvent>

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

// A pen's stroke through paper points, each with its pressure; a pen lifting
// reports no pressure at all.
void PenStroke(ViewFixture& f, const std::vector<CPoint>& points, const std::vector<qreal>& pressures)
{
    Tablet(f, QEvent::TabletPress, f.At(points[0].x, points[0].y), Qt::LeftButton, Qt::LeftButton, pressures[0]);
    for (size_t i = 1; i < points.size(); ++i)
        Tablet(f, QEvent::TabletMove, f.At(points[i].x, points[i].y), Qt::NoButton, Qt::LeftButton, pressures[i]);
    Tablet(f, QEvent::TabletRelease, f.At(points.back().x, points.back().y), Qt::LeftButton, Qt::NoButton, 0.0);
}

void MouseStroke(ViewFixture& f, const std::vector<CPoint>& points)
{
    f.Press(f.At(points[0].x, points[0].y));
    for (size_t i = 1; i < points.size(); ++i) f.Move(f.At(points[i].x, points[i].y));
    f.Release(f.At(points.back().x, points.back().y));
}

std::vector<uint8_t> Sheet(const ViewFixture& f)
{
    const CPaper& p = f.doc.m_paper;
    return std::vector<uint8_t>(p.GetBits(), p.GetBits() + p.GetImageSize());
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
    EXPECT_LT(f.doc.m_paper.GetPixel(50, 10), 255);

    const QPoint c = f.At(10, 40), d = f.At(90, 40);
    Touch(f, QEvent::TouchBegin, {{1, c}}, QEventPoint::State::Pressed);
    EXPECT_TRUE(f.view->IsTracking());
    Touch(f, QEvent::TouchUpdate, {{1, d}}, QEventPoint::State::Updated);
    Touch(f, QEvent::TouchEnd, {{1, d}}, QEventPoint::State::Released);
    EXPECT_FALSE(f.view->IsTracking());
    ASSERT_EQ(f.doc.GetHistoryCount(), 2);
    EXPECT_LT(f.doc.m_paper.GetPixel(50, 40), 255);

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
    for (ViewFixture* f : {&mouse, &pen, &off}) f->doc.m_pencilTool.SetOptions(3, 3, 0);
    MouseStroke(mouse, kScribble);
    PenStroke(pen, kScribble, std::vector<qreal>(kScribble.size(), 1.0));
    off.doc.m_pencilTool.m_bPressure = 0;
    PenStroke(off, kScribble, {0.2, 0.4, 0.1, 0.9, 0.3, 0.5, 0.7});
    EXPECT_TRUE(Sheet(pen) == Sheet(mouse));
    EXPECT_TRUE(Sheet(off) == Sheet(mouse));
    EXPECT_NE(Sheet(mouse), Sheet(ViewFixture(400, 300, 600, 500)));
}

// Width 3 on paper without grain: along a stroke pressed ever harder, every
// pixel of the middle row is at least as dark as the one before, and the
// line grows from one pixel to three.
TEST(PointerDevices, APressureRampDarkensAlongTheStroke)
{
    ViewFixture f(400, 300, 600, 500);
    f.doc.m_paper.Create(400, 300, 1);
    f.doc.m_pencilTool.SetOptions(5, 3, 0);
    std::vector<CPoint> points;
    std::vector<qreal> pressures;
    for (int32_t x = 20; x <= 380; x += 10) {
        points.push_back({x, 100});
        pressures.push_back(0.05 + 0.95 * (x - 20) / 360.0);
    }
    PenStroke(f, points, pressures);
    const CPaper& paper = f.doc.m_paper;
    // The release point itself (380) is where a next segment would start.
    for (int32_t x = 20; x < 379; ++x) ASSERT_LE(paper.GetPixel(x + 1, 100), paper.GetPixel(x, 100)) << x;
    EXPECT_GT(paper.GetPixel(25, 100), paper.GetPixel(375, 100) + 30);
    EXPECT_EQ(paper.GetPixel(25, 99), 255);
    EXPECT_EQ(paper.GetPixel(25, 101), 255);
    EXPECT_LT(paper.GetPixel(375, 99), 255);
    EXPECT_LT(paper.GetPixel(375, 101), 255);
}

TEST(PointerDevices, UndoAndRedoOfPenStrokesRebuildTheSameSheet)
{
    ViewFixture f(400, 300, 600, 500);
    std::vector<std::vector<uint8_t>> after;
    for (int i = 0; i < 4; ++i) {
        f.doc.OnCommand(i == 2 ? ID_TOOL_ERASER : ID_TOOL_PENCIL);
        f.doc.m_pencilTool.SetOptions(i, 1 + i % 3, i % 2);
        std::vector<CPoint> points;
        std::vector<qreal> pressures;
        for (size_t k = 0; k < kScribble.size(); ++k) {
            points.push_back({kScribble[k].x + 7 * i, kScribble[k].y + 5 * i});
            pressures.push_back(0.1 + 0.13 * double((k * 5 + i * 3) % 7));
        }
        PenStroke(f, points, pressures);
        after.push_back(Sheet(f));
    }
    ASSERT_EQ(f.doc.GetHistoryCount(), 4);
    EXPECT_TRUE(f.doc.m_history[0].pPoints->HasPressures());
    for (int i = 0; i < 4; ++i) f.doc.OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(Sheet(f), Sheet(ViewFixture(400, 300, 600, 500)));
    for (int i = 0; i < 4; ++i) {
        f.doc.OnCommand(ID_EDIT_REDO);
        EXPECT_TRUE(Sheet(f) == after[static_cast<size_t>(i)]) << i;
    }
    f.doc.OnCommand(ID_EDIT_UNDO);
    f.doc.OnCommand(ID_EDIT_UNDO);
    EXPECT_TRUE(Sheet(f) == after[1]);
}

TEST(PointerDevices, TouchpadPinchZoomsInTheMenuSteps)
{
    ViewFixture f(400, 300, 300, 200);
    auto gesture = [&](Qt::NativeGestureType type, qreal value) {
        QNativeGestureEvent event(type, TouchScreen(), 2, QPointF(100, 100), QPointF(100, 100),
                                  f.Port()->mapToGlobal(QPointF(100, 100)), value, QPointF());
        QApplication::sendEvent(f.Port(), &event);
        return f.view->Geometry().m_sizeZoom.cx;
    };
    gesture(Qt::BeginNativeGesture, 0);
    EXPECT_EQ(gesture(Qt::ZoomNativeGesture, 0.1), 400);
    EXPECT_EQ(gesture(Qt::ZoomNativeGesture, 0.1), 480);  // 1.1 x 1.1 passes 1.2
    EXPECT_EQ(gesture(Qt::ZoomNativeGesture, -0.3), 400);
    gesture(Qt::EndNativeGesture, 0);
}

}  // namespace
