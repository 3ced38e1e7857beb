// The pointer's picture: the pencil's and the eraser's footprints at the
// zoom, crisp at a scaled screen, the select tool's shapes and the hand lent
// by Space.

#include "ViewTestSupport.h"

#include <gtest/gtest.h>

namespace {

CursorShape Shape(const ViewFixture& f) { return f.view->ToolCursor().Look().shape; }

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
        {ID_TOOL_PENCIL, 5, 3, 0, 0, CursorShape::Crosshair, 15},  // 3 pixels: too small to outline
        {ID_TOOL_PENCIL, 5, 3, 0, 2, CursorShape::Square, 7},      // 3 x 1.44 = 4.3 pixels
        {ID_TOOL_PENCIL, 5, 1, 1, 0, CursorShape::Square, 7},      // smoothing reaches 5 pixels
        {ID_TOOL_PENCIL, 5, 2, 0, 12, CursorShape::Square, 20},    // 2 x 8.89
        {ID_TOOL_ERASER, 3, 2, 0, 12, CursorShape::Disc, 171},     // 19 x 8.89
        {ID_TOOL_ERASER, 1, 1, 0, -9, CursorShape::Crosshair, 15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tool << " " << c.zoomSteps);
        ViewFixture f(400, 300, 600, 500);
        f.doc.OnCommand(c.tool);
        f.doc.SetPencilOptions(c.a, c.b, c.c);
        f.doc.SetEraserOptions(c.a, c.b);
        for (int i = 0; i < std::abs(c.zoomSteps); ++i) f.view->ZoomBy(c.zoomSteps > 0 ? kZoomInFactor : kZoomOutFactor);
        f.State(ID_VIEW_GRID);  // the idle pass brings the picture up to date
        const QImage picture = f.Port()->cursor().pixmap().toImage();
        EXPECT_EQ(Shape(f), c.shape);
        ASSERT_EQ(picture.size(), QSize(c.side, c.side));
        // An outline round an open middle: the paper under it stays in sight.
        const int mid = c.side / 2;
        EXPECT_EQ(qAlpha(picture.pixel(mid, mid)), 0);
        if (c.shape == CursorShape::Square) {
            EXPECT_EQ((std::pair{picture.pixel(1, mid), picture.pixel(0, mid)}),
                      (std::pair{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
        }
        if (c.shape == CursorShape::Disc) { EXPECT_GT(qAlpha(picture.pixel(1, mid)), 128); }
    }
    // On a scaled screen, pictures are drawn in device pixels.
    const QPixmap sharp = CToolCursor::Picture(CursorSpec{CursorShape::Square, 6, 1.0, 2.0});
    EXPECT_EQ((std::pair{sharp.devicePixelRatio(), sharp.toImage().width()}), (std::pair{2.0, 16}));
}

// The select tool shows the move shape over its selection; Space lends the
// hand while held, but not in the middle of a stroke, and the middle button
// pans as well, both leaving the tool as it is.
TEST(ToolCursor, TheSelectionsMoveShapeAndTheHandLentBySpaceOrTheMiddleButton)
{
    ViewFixture f(400, 300, 300, 200);
    f.doc.OnCommand(ID_TOOL_SELECT);
    f.doc.SelectRect(CRect{50, 50, 120, 100});
    f.Mouse(QEvent::MouseMove, f.At(80, 70), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Shape(f), CursorShape::Move);
    f.Mouse(QEvent::MouseMove, f.At(20, 70), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Shape(f), CursorShape::Cross);

    f.doc.OnCommand(ID_TOOL_PENCIL);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
        const bool space = button == Qt::LeftButton;
        f.view->ScrollTo(0, 0);
        if (space) f.Key(QEvent::KeyPress, Qt::Key_Space);
        f.Mouse(QEvent::MouseButtonPress, QPoint(100, 100), button, button);
        EXPECT_EQ(Shape(f), CursorShape::ClosedHand);
        f.Mouse(QEvent::MouseMove, QPoint(60, 70), Qt::NoButton, button);
        if (space) f.Key(QEvent::KeyRelease, Qt::Key_Space);  // the drag goes on until the button is let go
        f.Mouse(QEvent::MouseMove, QPoint(50, 60), Qt::NoButton, button);
        f.Mouse(QEvent::MouseButtonRelease, QPoint(50, 60), button, Qt::NoButton);
        EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{50, 40}));
        EXPECT_EQ((std::pair{f.doc.GetTool(), f.doc.GetHistoryCount()}), (std::pair{ToolKind::Pencil, 0}));
        EXPECT_EQ(Shape(f), CursorShape::Crosshair);
    }
    // Pressed during a stroke, Space changes nothing, not even once the stroke ends.
    f.Press(QPoint(100, 100));
    f.Key(QEvent::KeyPress, Qt::Key_Space);
    f.Move(QPoint(140, 100));
    f.Release(QPoint(140, 100));
    f.Key(QEvent::KeyPress, Qt::Key_Space, true);
    EXPECT_FALSE(f.view->IsSpaceHand());
    EXPECT_EQ(f.doc.GetHistoryCount(), 1);
}

}  // namespace
