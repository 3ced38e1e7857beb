// Panning with the hand, whether lent by Space or the middle button or chosen as the tool: it scrolls the view
// and leaves the drawing, its history and the tool as they were.

#include "ViewTestSupport.h"

#include <gtest/gtest.h>

TEST(ToolCursor, TheHandLentBySpaceOrTheMiddleButtonOrChosenPansFromAnywhere)
{
    ViewFixture f(400, 300, 300, 200);
    // tool, button, Space held; the drag starts on the surround, where the pencil would decline a press.
    const std::tuple<uint32_t, Qt::MouseButton, ToolKind, bool> ways[] = {
        {ID_TOOL_HAND, Qt::LeftButton, ToolKind::Hand, false},
        {ID_TOOL_PENCIL, Qt::LeftButton, ToolKind::Pencil, true},
        {ID_TOOL_PENCIL, Qt::MiddleButton, ToolKind::Pencil, false}};
    for (const auto& [tool, button, kind, space] : ways) {
        f.doc.OnCommand(tool);
        f.view->ScrollTo(0, 0);
        if (space) f.Key(QEvent::KeyPress, Qt::Key_Space);
        f.Mouse(QEvent::MouseButtonPress, QPoint(40, 40), button, button);
        f.Mouse(QEvent::MouseMove, QPoint(0, 10), Qt::NoButton, button);
        if (space) f.Key(QEvent::KeyRelease, Qt::Key_Space);  // the drag goes on until the button is let go
        f.Mouse(QEvent::MouseMove, QPoint(-10, 0), Qt::NoButton, button);
        f.Mouse(QEvent::MouseButtonRelease, QPoint(-10, 0), button, Qt::NoButton);
        EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{50, 40}));
        EXPECT_EQ((std::tuple{f.doc.GetTool(), f.doc.GetHistoryCount(), f.doc.IsModified()}),
                  (std::tuple{kind, 0, false}));
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

