// The pointer's picture: each tool's shape, the pencil's and the eraser's
// footprints at the zoom, crisp at a scaled screen, and the hand lent by
// Space.

#include "ViewTestSupport.h"

#include "framework/CommandIds.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace {

CursorShape Shape(const ViewFixture& f) { return f.view->ToolCursor().Look().shape; }

// The picture on the viewport, as the idle pass leaves it.
QImage Picture(ViewFixture& f)
{
    CCmdUI ui(ID_VIEW_GRID);
    f.view->OnUpdateCommand(ui);
    return f.Port()->cursor().pixmap().toImage();
}

void Key(ViewFixture& f, QEvent::Type type, int key, bool autoRepeat = false)
{
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(f.view.get(), &event);
}

}  // namespace

TEST(ToolCursor, FootprintsFollowTheToolItsOptionsAndTheZoom)
{
    struct Case {
        uint32_t tool;
        int32_t a, b, c;  // pencil grade, width, smooth; eraser size, strength
        int zoomSteps;
        CursorShape shape;
        int side;  // the picture across, screen pixels
    };
    const Case cases[] = {
        {ID_TOOL_PENCIL, 5, 1, 0, 0, CursorShape::Crosshair, 15},  // one pixel: too small to outline
        {ID_TOOL_PENCIL, 5, 3, 0, 0, CursorShape::Crosshair, 15},
        {ID_TOOL_PENCIL, 5, 3, 0, 2, CursorShape::Square, 7},      // 3 x 1.44 = 4.3 pixels
        {ID_TOOL_PENCIL, 5, 1, 1, 0, CursorShape::Square, 7},      // smoothing reaches 5 pixels
        {ID_TOOL_PENCIL, 5, 2, 0, 12, CursorShape::Square, 20},    // 2 x 8.89
        {ID_TOOL_ERASER, 1, 1, 0, 0, CursorShape::Disc, 9},
        {ID_TOOL_ERASER, 3, 2, 0, 0, CursorShape::Disc, 21},
        {ID_TOOL_ERASER, 3, 2, 0, 12, CursorShape::Disc, 171},     // 19 x 8.89
        {ID_TOOL_ERASER, 1, 1, 0, -9, CursorShape::Crosshair, 15},
        {ID_TOOL_HAND, 0, 0, 0, 0, CursorShape::OpenHand, 0},
        {ID_TOOL_SELECT, 0, 0, 0, 0, CursorShape::Cross, 0},
    };
    for (const Case& c : cases) {
        ViewFixture f(400, 300, 600, 500);
        f.doc.OnCommand(c.tool);
        f.doc.m_pencilTool.SetOptions(c.a, c.b, c.c);
        f.doc.m_eraserTool.SetOptions(c.a, c.b);
        for (int i = 0; i < std::abs(c.zoomSteps); ++i) f.view->ZoomBy(c.zoomSteps > 0 ? kZoomInFactor : kZoomOutFactor);
        const QImage picture = Picture(f);
        EXPECT_EQ(Shape(f), c.shape) << c.tool << " " << c.zoomSteps;
        if (c.side == 0) {
            EXPECT_NE(f.Port()->cursor().shape(), Qt::BitmapCursor);
            continue;
        }
        ASSERT_EQ(std::pair(picture.width(), picture.height()), std::pair(c.side, c.side)) << c.tool << " " << c.zoomSteps;
        // An outline round an open middle: the paper under it stays in sight.
        EXPECT_EQ(qAlpha(picture.pixel(c.side / 2, c.side / 2)), 0);
        EXPECT_GT(qAlpha(picture.pixel(1, c.side / 2)), 128);
    }
}

// At a scaled screen the picture has the screen's pixels, none half covered.
TEST(ToolCursor, PicturesAreDrawnForTheScreensPixelRatio)
{
    const QPixmap picture = CToolCursor::Picture(CursorSpec{CursorShape::Square, 6, 1.0, 2.0});
    EXPECT_EQ(picture.devicePixelRatio(), 2.0);
    const QImage image = picture.toImage();
    ASSERT_EQ(image.width(), 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb p = image.pixel(x, y);
            ASSERT_TRUE(qAlpha(p) == 0 || p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255)) << x << "," << y;
        }
}

TEST(ToolCursor, TheHandClosesWhileDraggingAndTheSelectToolShowsMoveOverItsSelection)
{
    ViewFixture f(400, 300, 600, 500);
    f.doc.OnCommand(ID_TOOL_HAND);
    Picture(f);
    EXPECT_EQ(Shape(f), CursorShape::OpenHand);
    f.Press(f.At(10, 10));
    EXPECT_EQ(Shape(f), CursorShape::ClosedHand);
    f.Release(f.At(10, 10));
    EXPECT_EQ(Shape(f), CursorShape::OpenHand);

    f.doc.OnCommand(ID_TOOL_SELECT);
    f.doc.m_rcSelection = CRect{50, 50, 120, 100};
    f.Mouse(QEvent::MouseMove, f.At(80, 70), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Shape(f), CursorShape::Move);
    f.Mouse(QEvent::MouseMove, f.At(20, 70), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Shape(f), CursorShape::Cross);
}

TEST(ToolCursor, SpaceLendsTheHandWhileHeldButNotInTheMiddleOfAStroke)
{
    ViewFixture f(400, 300, 300, 200);
    f.view->ScrollTo(0, 0);
    Key(f, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_TRUE(f.view->IsSpaceHand());
    EXPECT_EQ(Shape(f), CursorShape::OpenHand);
    f.Press(QPoint(100, 100));
    EXPECT_EQ(Shape(f), CursorShape::ClosedHand);
    f.Move(QPoint(60, 70));
    Key(f, QEvent::KeyRelease, Qt::Key_Space);  // the drag goes on until the button is let go
    f.Move(QPoint(50, 60));
    f.Release(QPoint(50, 60));
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{50, 40}));
    EXPECT_EQ(f.doc.m_pTool, &f.doc.m_pencilTool);
    EXPECT_EQ(f.doc.GetHistoryCount(), 0);
    EXPECT_EQ(Shape(f), CursorShape::Crosshair);

    // Pressed during a stroke, Space changes nothing, not even once the stroke ends.
    f.Press(QPoint(100, 100));
    Key(f, QEvent::KeyPress, Qt::Key_Space);
    f.Move(QPoint(140, 100));
    f.Release(QPoint(140, 100));
    Key(f, QEvent::KeyPress, Qt::Key_Space, true);
    EXPECT_FALSE(f.view->IsSpaceHand());
    EXPECT_EQ(f.doc.GetHistoryCount(), 1);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{50, 40}));
}
