#include "ViewTestSupport.h"

#include "framework/Services.h"

#include <gtest/gtest.h>

#include <QScrollBar>

#include <functional>
#include <map>

namespace {

TEST(QuillexView, ArrowKeysScrollAndZoomCommandsKeepTheCentreWithinTheLimits)
{
    ViewFixture f(400, 300, 300, 200);
    EXPECT_EQ(f.view->Geometry().m_ptOrigin, (CPoint{50, 50}));  // the paper's margin
    f.view->ScrollTo(0, 0);
    f.Key(QEvent::KeyPress, Qt::Key_Right);  // a tenth of the 500 x 400 area
    f.Key(QEvent::KeyPress, Qt::Key_Down);
    EXPECT_EQ(f.view->GetScrollPosition(), (CPoint{40, 30}));
    for (int i = 0; i < 20; ++i) f.Key(QEvent::KeyPress, Qt::Key_Right);
    EXPECT_EQ(f.view->GetScrollPosition().x, f.view->horizontalScrollBar()->maximum());
    for (int key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_A}) f.Key(QEvent::KeyPress, key);
    EXPECT_EQ(f.view->GetScrollPosition().y, 0);

    const CSize client = f.view->Geometry().m_sizeClient;
    const CPoint centre{client.cx / 2, client.cy / 2};
    // Each command, then the paper point at the client's centre is still there.
    const std::pair<uint32_t, CSize> steps[] = {{ID_VIEW_ZOOM_IN, {480, 360}}, {ID_VIEW_ZOOM_IN, {576, 432}},
                                                {ID_VIEW_ZOOM_IN, {691, 518}}, {ID_VIEW_ZOOM_OUT, {575, 431}},
                                                {ID_VIEW_ACTUAL_SIZE, {400, 300}}};
    f.view->ScrollTo(40, 30);
    for (const auto& [id, zoom] : steps) {
        const CPoint before = f.view->ViewToPaper(centre);
        EXPECT_TRUE(f.view->OnCommand(id));
        EXPECT_EQ(f.Zoom(), zoom) << id;
        EXPECT_NEAR(f.view->ViewToPaper(centre).x, before.x, 1) << id;
        EXPECT_NEAR(f.view->ViewToPaper(centre).y, before.y, 1) << id;
    }
    for (int i = 0; i < 12; ++i) EXPECT_TRUE(f.view->ZoomBy(kZoomInFactor));
    EXPECT_FALSE(f.view->ZoomBy(kZoomInFactor));
    EXPECT_EQ(f.Zoom(), (CSize{3556, 2667}));
    // The scrollable area and its steps follow the zoom.
    const QScrollBar* h = f.view->horizontalScrollBar();
    EXPECT_EQ((std::tuple{h->maximum(), h->pageStep(), h->singleStep()}), (std::tuple{3656 - client.cx, 365, 36}));
}

struct MemoryProfile : IProfile {
    int32_t GetProfileInt(const std::string& key, int32_t def) override { return values.count(key) ? values[key] : def; }
    void WriteProfileInt(const std::string& key, int32_t value) override { values[key] = value; }
    std::map<std::string, int32_t> values;
};

// The grid is read at construction, checked, and written at destruction.
TEST(QuillexView, OpensAtActualSizeOrFittedAndCentresThePaperWithRoomAndKeepsTheGrid)
{
    MemoryProfile profile;
    EXPECT_TRUE(CQuillexView(&profile).IsGridShown());  // on by default
    profile.values["ShowGrid"] = 0;
    auto f = std::make_unique<ViewFixture>(400, 300, 700, 600, &profile);
    EXPECT_EQ(f->State(ID_VIEW_GRID).second, 0);
    f->view->OnCommand(ID_VIEW_GRID);
    EXPECT_EQ(f->State(ID_VIEW_GRID).second, 1);
    EXPECT_EQ(f->view->horizontalScrollBar()->maximum() + f->view->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(f->view->PaperToView(CRect{0, 0, 400, 300}), (CRect{150, 150, 550, 450}));
    // Opening a sheet that fits brings its corner to the window's corner at
    // actual size; one that does not fit opens fitted, whole, as Fit to Window shows it.
    f->view->resize(600, 450);
    QApplication::processEvents();
    f->view->OnInitialUpdate();
    EXPECT_EQ((std::pair{f->Zoom(), f->view->GetScrollPosition()}), (std::pair{CSize{400, 300}, CPoint{0, 0}}));
    f->view->resize(300, 200);
    f->view->OnInitialUpdate();
    EXPECT_EQ(f->Zoom(), (CSize{134, 100}));
    EXPECT_EQ(f->view->horizontalScrollBar()->maximum() + f->view->verticalScrollBar()->maximum(), 0);
    f->view->ZoomBy(kZoomInFactor);
    EXPECT_TRUE(f->view->OnCommand(ID_VIEW_FIT));
    EXPECT_EQ(f->Zoom(), (CSize{134, 100}));
    f.reset();
    EXPECT_EQ(profile.values["ShowGrid"], 1);
}

TEST(QuillexView, PaintsSurroundFrameCaptionPaperCrossAndSelection)
{
    ViewFixture f(400, 300, 700, 600);
    PaintSheet(f.doc, PatternGray);
    f.doc.SelectRect(CRect{20, 30, 120, 90});
    f.view->ZoomBy(kZoomInFactor);
    f.view->SetBand(CRect{60, 400, 200, 520});  // from the surround onto the paper
    const QImage image = f.Render();
    // The real paint path draws the same picture, and so does a strip painted alone.
    EXPECT_EQ(f.Port()->grab().toImage().convertToFormat(QImage::Format_RGB32), image);
    const QRect strip(203, 161, 17, 170);
    EXPECT_EQ(f.Render(strip).copy(strip), image.copy(strip));
    auto paperAt = [&](int x, int y) {
        const CPoint p = f.view->ViewToPaper(CPoint{x, y});
        return Gray(f.doc.GetPaper().GetPixel(p.x, p.y));
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
        {qRgb(119, 85, 0), {{59, 450}, {80, 399}}},
        {paperAt(200, 450) ^ x, {{200, 450}}},
        {kCrossColor.rgb(), {{350, 130}, {130, 300}}},
        {paperAt(351, 130), {{351, 130}}},
    };
    for (const auto& [colour, points] : colours)
        for (QPoint p : points) EXPECT_EQ(image.pixel(p), colour) << p.x() << "," << p.y();

    // Caption: the title in its colour without its extension, the footer in its
    // pale colour, both on the surround.
    auto count = [&](QRect area, const QColor& want) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QRgb c = image.pixel(x, y);
                n += std::abs(qRed(c) - want.red()) <= 40 && std::abs(qGreen(c) - want.green()) <= 40 &&
                     std::abs(qBlue(c) - want.blue()) <= 40;
            }
        return n;
    };
    const QFontMetrics metrics(f.Port()->font());
    const QRect title(5, 5, metrics.horizontalAdvance("Sketch1"), metrics.height());
    EXPECT_GT(count(title, kTitleColor), 5);
    EXPECT_EQ(count(QRect(title.right() + 1, 5, 60, metrics.height()), kTitleColor), 0);
    EXPECT_GT(count(QRect(5, 2 * 120 + 360 - metrics.height() - 5, 200, metrics.height()), kFooterColor), 5);

    // Grid off: the cross is gone and the paper shows there.
    f.view->OnCommand(ID_VIEW_GRID);
    EXPECT_EQ(f.Render().pixel(350, 130), paperAt(350, 130));
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

TEST(QuillexView, UpdatesRepaintTheGrownHintTheWholeViewOrNothingAtOnceWhenAskedAndAMovedBandItsTwoOutlines)
{
    ViewFixture f(400, 300, 600, 500);
    f.view->ZoomBy(kZoomInFactor);
    QApplication::processEvents();
    PaintSpy spy(f.Port());
    auto painted = [&](const std::function<void()>& update) {
        spy.painted = QRegion();
        update();
        QApplication::processEvents();
        return spy.painted;
    };
    const CRect hint{10, 20, 30, 25};
    CRect grown = f.view->PaperToView(hint);
    grown.Inflate(2);
    EXPECT_EQ(painted([&] { f.view->OnUpdate(nullptr, &hint); }), QRegion(ToQRect(grown)));
    EXPECT_EQ(painted([&] { f.view->OnUpdate(nullptr, nullptr); }), QRegion(f.Port()->rect()));
    const CRect empty{};
    EXPECT_TRUE(painted([&] { f.view->OnUpdate(nullptr, &empty); }).isEmpty());
    // RepaintNow paints what is pending at once, without waiting for the event loop.
    spy.painted = QRegion();
    const CRect area{10, 10, 40, 30};
    f.view->InvalidateView(&area);
    f.view->RepaintNow();
    EXPECT_EQ(spy.painted, QRegion(10, 10, 30, 20));

    // A band moved repaints its old outline and its new one, not what lies inside.
    painted([&] { f.view->SetBand(CRect{10, 10, 50, 40}); });
    const QRegion band = painted([&] { f.view->SetBand(CRect{20, 20, 60, 50}); });
    EXPECT_TRUE(band.contains(QPoint(9, 9)) && band.contains(QPoint(60, 50)) && !band.contains(QPoint(30, 30)));
}

TEST(QuillexView, AMouseStrokeReachesTheDocumentOnceFromPressToReleaseOrToTheLossOfThePointer)
{
    ViewFixture f(400, 300, 600, 500);
    const QPoint a = f.At(20, 20), b = f.At(120, 20), c = f.At(60, 200), d = f.At(120, 80);
    QApplication::setActiveWindow(f.view.get());
    f.view->clearFocus();
    f.Press(a);
    EXPECT_TRUE(f.view->hasFocus());
    f.Move(b);
    f.Press(c);  // a second press, ignored
    EXPECT_EQ(f.State(ID_VIEW_MIRROR), (std::pair{false, 0}));  // not in the middle of a stroke
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

    // The pencil refuses a press on the surround: nothing is tracked.
    f.Press(QPoint(5, 5));
    EXPECT_FALSE(f.view->IsTracking());
    f.Release(QPoint(5, 5));
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
}

TEST(QuillexView, MirrorShowsTheSheetFlippedAndDrawsWhereThePointerIs)
{
    ViewFixture f(400, 300, 600, 500);
    EXPECT_TRUE(f.view->OnCommand(ID_VIEW_MIRROR));
    EXPECT_EQ(f.State(ID_VIEW_MIRROR), (std::pair{true, 1}));
    // A stroke lands under the pointer: the left of the screen is the right of the paper.
    f.Press(QPoint(150, 200));
    f.Move(QPoint(200, 200));
    EXPECT_TRUE(f.view->OnCommand(ID_VIEW_MIRROR) && f.view->IsMirrored());  // refused mid-stroke
    f.Release(QPoint(200, 200));
    EXPECT_LT(f.doc.GetPaper().GetPixel(325, 100), 255);
    EXPECT_EQ(f.doc.GetPaper().GetPixel(75, 100), 255);
    EXPECT_LT(qRed(f.Render().pixel(175, 200)), 255);
    // Zoomed in and scrolled, a pixel still shows the paper pixel the pointer maps to; the paper is as it was.
    PaintSheet(f.doc, PatternGray);
    const std::vector<uint8_t> sheet = Bytes(f.doc.GetPaper());
    for (int i = 0; i < 3; ++i) f.view->ZoomBy(kZoomInFactor);
    f.view->ScrollTo(90, 70);
    const CPoint p = f.view->ViewToPaper(CPoint{150, 160});
    EXPECT_EQ(f.Render().pixel(150, 160), Gray(f.doc.GetPaper().GetPixel(p.x, p.y)));
    EXPECT_TRUE(Bytes(f.doc.GetPaper()) == sheet);
}

}  // namespace
