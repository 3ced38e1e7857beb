#include "ViewTestSupport.h"

#include <gtest/gtest.h>

// The zoom commands keep the paper point at the centre, Ctrl+wheel the one under the pointer, gathering half
// notches into the same steps, up to a limit.
TEST(QuillexView, TheWheelAndTheZoomCommandsZoomInSteps)
{
    ViewFixture f(400, 300, 300, 200);
    const CSize client = f.view->Geometry().m_sizeClient;
    const CPoint centre{client.cx / 2, client.cy / 2}, pointer{70, 120};
    // command, or the wheel's delta; the zoom after it
    const std::tuple<uint32_t, int, CSize> steps[] = {
        {ID_VIEW_ZOOM_IN, 0, {480, 360}}, {ID_VIEW_ZOOM_IN, 0, {576, 432}},  {ID_VIEW_ZOOM_IN, 0, {691, 518}},
        {ID_VIEW_ZOOM_OUT, 0, {575, 431}}, {ID_VIEW_ACTUAL_SIZE, 0, {400, 300}}, {0, 120, {480, 360}},
        {0, 60, {480, 360}}, {0, 60, {576, 432}}, {0, -240, {400, 300}}};
    for (const auto& [id, delta, zoom] : steps) {
        const CPoint kept = id ? centre : pointer, before = f.view->ViewToPaper(kept);
        if (id) EXPECT_TRUE(f.view->OnCommand(id));
        else f.Wheel(QPoint(pointer.x, pointer.y), delta, Qt::ControlModifier);
        EXPECT_EQ(f.view->Geometry().m_sizeZoom, zoom) << id << " " << delta;
        EXPECT_NEAR(f.view->ViewToPaper(kept).x, before.x, 1) << id << " " << delta;
        EXPECT_NEAR(f.view->ViewToPaper(kept).y, before.y, 1) << id << " " << delta;
    }
    for (int i = 0; i < 12; ++i) EXPECT_TRUE(f.view->ZoomBy(kZoomInFactor));
    EXPECT_FALSE(f.view->ZoomBy(kZoomInFactor));
    EXPECT_EQ(f.view->Geometry().m_sizeZoom, (CSize{3556, 2667}));
}

TEST(QuillexView, PaintsSurroundFramePaperAndCross)
{
    ViewFixture f(400, 300, 700, 600);
    PaintSheet(f.doc, PatternGray);
    f.view->ZoomBy(kZoomInFactor);
    const QImage image = f.Render();
    // The real paint path draws the same picture, and so does a strip painted alone.
    EXPECT_EQ(f.Port()->grab().toImage().convertToFormat(QImage::Format_RGB32), image);
    const QRect strip(203, 161, 17, 170);
    EXPECT_EQ(f.Render(strip).copy(strip), image.copy(strip));

    // Surround away from the texts; the frame one pixel around the 480 x 360 paper at (110, 120); the cross
    // through the centre, over the paper but not into it. Outlines are shown with the floating piece below.
    const std::pair<QRgb, std::vector<QPoint>> colours[] = {
        {kSurroundColor.rgb(), {{690, 10}, {300, 100}, {600, 590}, {105, 300}}},
        {qRgb(0, 0, 0), {{109, 200}, {590, 200}, {300, 119}, {300, 480}, {109, 119}}},
        {kCrossColor.rgb(), {{350, 130}, {130, 300}}},
        {Gray(PatternGray(200, 8)), {{351, 130}}},
    };
    for (const auto& [colour, points] : colours)
        for (QPoint p : points) EXPECT_EQ(image.pixel(p), colour) << p.x() << "," << p.y();
}

// Every paper value meets every piece value, the piece in part off the
// paper, plain and mirrored; only the piece's 255 lets the sheet through,
// and only when it is transparent; the outline round it inverts all of them.
TEST(QuillexView, AFloatingPieceShowsOverTheSheetWithEveryPairOfValues)
{
    for (int transparent = 0; transparent <= 1; ++transparent) {
        for (const CRect& at : {CRect{100, -50, 356, 206}, CRect{-60, 40, 196, 296}}) {
            ViewFixture f(256, 256, 420, 420);
            f.view->OnCommand(ID_VIEW_GRID);  // the cross would hide pixels
            PaintSheet(f.doc, [](int32_t x, int32_t) { return x; });
            FloatPiece(f.doc, at, [](int32_t, int32_t y) { return y; });
            f.doc.SetTransparent(transparent);
            for (const bool mirror : {false, true}) {
                f.view->SetMirror(mirror);
                const QImage image = f.Render();
                const CPoint origin = f.view->Geometry().m_ptOrigin;
                int wrong = 0;
                for (int32_t y = 0; y < 256; ++y)
                    for (int32_t x = 0; x < 256; ++x) {
                        const int piece = at.Contains(x, y) ? y - at.top : 255;
                        const int shown = piece == 255 && (transparent || !at.Contains(x, y)) ? x : piece;
                        const bool outline = (x == at.left - 1 || x == at.right) && y >= at.top - 1 && y <= at.bottom;
                        const bool edge = (y == at.top - 1 || y == at.bottom) && x >= at.left - 1 && x <= at.right;
                        const QRgb want = Gray(shown) ^ (outline || edge ? kSelectionColor.rgb() & 0xFFFFFF : 0);
                        wrong += image.pixel(origin.x + (mirror ? 255 - x : x), origin.y + y) != want;
                    }
                EXPECT_EQ(wrong, 0) << "transparent " << transparent << " at " << at.left << " mirror " << mirror;
            }
        }
    }
}

// A stroke runs from press to release or to the loss of the pointer, and lands under the pointer in a mirrored view.
TEST(QuillexView, AMouseStrokeReachesTheDocumentOnceWhereThePointerIsMirroredOrNot)
{
    ViewFixture f(400, 300, 600, 500);
    const QPoint a = f.At(20, 20), b = f.At(120, 20), c = f.At(60, 200), d = f.At(120, 80);
    f.Press(a);
    f.Move(b);
    f.Press(c);  // a second press, ignored
    f.Move(d);
    f.Release(d);
    EXPECT_FALSE(f.view->IsTracking());
    ASSERT_EQ(f.doc.GetHistoryCount(), 1);
    const StrokePointList& points = *f.doc.GetHistory().back().pPoints;
    ASSERT_GE(points.GetCount(), 3u);
    EXPECT_EQ((std::pair{points[0].x, points[0].y}), (std::pair{20, 20}));
    EXPECT_LT(f.doc.GetPaper().GetPixel(70, 20), 255);  // drawn from a to b
    EXPECT_EQ(f.doc.GetPaper().GetPixel(60, 200), 255);  // nothing at the second press

    // A double click is a new gesture like a press.
    f.Mouse(QEvent::MouseButtonDblClick, b, Qt::LeftButton, Qt::LeftButton);
    f.Release(b);
    EXPECT_EQ(f.doc.GetHistoryCount(), 2);

    // Losing the pointer ends the gesture at the last position.
    int strokes = 2;
    // The focus going elsewhere, the window deactivated, the program quitting.
    for (const QEvent::Type loss : {QEvent::FocusOut, QEvent::WindowDeactivate, QEvent::Quit}) {
        SCOPED_TRACE(loss);
        f.Press(f.At(10, 10));
        f.Move(f.At(50, 10));
        QFocusEvent event(loss, Qt::ActiveWindowFocusReason);
        if (loss == QEvent::Quit) QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection);
        else QApplication::sendEvent(f.view.get(), &event);
        EXPECT_FALSE(f.view->IsTracking());
        ASSERT_EQ(f.doc.GetHistoryCount(), ++strokes);
        const StrokePointList& points = *f.doc.GetHistory().back().pPoints;
        EXPECT_EQ(points[points.GetCount() - 1].x, 50);
        f.Release(f.At(50, 10));  // the release that comes later changes nothing
        EXPECT_EQ(f.doc.GetHistoryCount(), strokes);
    }

    EXPECT_TRUE(f.view->OnCommand(ID_VIEW_MIRROR));
    // A stroke lands under the pointer: the left of the screen is the right of the paper.
    f.Press(QPoint(150, 200));
    f.Move(QPoint(200, 200));
    EXPECT_TRUE(f.view->OnCommand(ID_VIEW_MIRROR) && f.view->IsMirrored());  // refused mid-stroke
    f.Release(QPoint(200, 200));
    EXPECT_LT(f.doc.GetPaper().GetPixel(325, 100), 255);
    EXPECT_EQ(f.doc.GetPaper().GetPixel(75, 100), 255);
    EXPECT_LT(qRed(f.Render().pixel(175, 200)), 255);
    // Zoomed in and scrolled, a pixel still shows the paper pixel the pointer maps to.
    PaintSheet(f.doc, PatternGray);
    for (int i = 0; i < 3; ++i) f.view->ZoomBy(kZoomInFactor);
    f.view->ScrollTo(90, 70);
    const CPoint p = f.view->ViewToPaper(CPoint{150, 160});
    EXPECT_EQ(f.Render().pixel(150, 160), Gray(f.doc.GetPaper().GetPixel(p.x, p.y)));
}

// What the view repaints when told of a change: the changed area grown by the pencil's reach, all of
// it after a change without an area (an undo, a new sheet), and what is pending at once when asked.
TEST(QuillexView, UpdatesRepaintTheChangedAreaOrTheWholeView)
{
    ViewFixture f(400, 300, 600, 500);
    f.view->ZoomBy(kZoomInFactor);
    QApplication::processEvents();
    struct Spy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } spy;
    f.Port()->installEventFilter(&spy);
    const CRect hint{10, 20, 30, 25}, area{10, 10, 40, 30};
    CRect grown = f.view->PaperToView(hint);
    grown.Inflate(2);
    f.view->OnUpdate(nullptr, &hint);
    QApplication::processEvents();
    EXPECT_EQ(std::exchange(spy.painted, QRegion()), QRegion(ToQRect(grown)));
    f.view->OnUpdate(nullptr, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(std::exchange(spy.painted, QRegion()), QRegion(f.Port()->rect()));
    f.view->InvalidateView(&area);
    f.view->RepaintNow();
    EXPECT_EQ(spy.painted, QRegion(10, 10, 30, 20));
}

// Panning with the hand, whether lent by Space or the middle button or chosen as the tool: it scrolls the view
// and leaves the drawing, its history and the tool as they were.
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

// The status line; where a paper rectangle shows and a view point lands, at a zoom with each axis scaled by its own
// ratio, scrolled.
TEST(ViewGeometry, StatusLineAndMapping)
{
    EXPECT_EQ(StatusLine(400, 300, 5, 83), "Width 400  Height 300  Roughness 5   Scale 83%");

    CViewGeometry g;  // a 400 x 300 sheet shown 800 x 300 in a 300 x 200 client
    g.m_sizePaper = CSize{400, 300};
    g.m_sizeZoom = CSize{800, 300};
    g.m_sizeClient = CSize{300, 200};
    g.UpdateOrigin();
    g.m_ptScroll = CPoint{100, 40};
    EXPECT_EQ(g.PaperToView({10, 20, 30, 40}), (CRect{-30, 30, 10, 50}));
    EXPECT_EQ(g.ViewToPaper({75, 66}), (CPoint{62, 56}));
}
