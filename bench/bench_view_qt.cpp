// The view's repaint on a 2048 x 2048 sheet under the offscreen platform:
// the area of one pencil segment, and a whole 1920 x 1080 client, each at
// actual size and at the largest zoom, with the pencil's pointer picture on
// the view and brought up to date at every repaint as a pointer move does.
// "Paint" times the view's own paint routine into an image; "Widget" times a
// synchronous repaint of the viewport through Qt's backing store, which is
// what the user waits for. "CursorPicture" is the cost of drawing the largest
// footprint, paid once a zoom step or a change of tool.

#include "document/QuillexDoc.h"
#include "view/QuillexView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include <memory>

namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_view_qt";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// Collects what the document reports as changed.
struct HintSpy : CView {
    void OnUpdate(CView*, const CRect* changed) override
    {
        if (changed) hint = CRect::Union(hint, *changed);
    }
    CRect hint;
};

struct Scene {
    explicit Scene(bool largestZoom)
    {
        App();
        CPaper sheet;
        sheet.Create(2048, 2048, 5);
        for (int32_t y = 0; y < 2048; ++y)
            for (int32_t x = 0; x < 2048; ++x) sheet.SetPixel(x, y, static_cast<uint8_t>((x ^ y) & 0xFF));
        doc.SetSheet(sheet);
        doc.SetTitle("Sketch1.tvk");
        view = std::make_unique<CQuillexView>();
        view->setFrameStyle(0);
        doc.AddView(view.get());
        // A client area of 1920 x 1080 beside the scroll bars.
        const int bar = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        view->resize(1920 + bar, 1080 + bar);
        view->show();
        QApplication::processEvents();
        view->OnInitialUpdate();
        // A sheet larger than the window opens fitted; these figures start from actual size.
        view->ZoomBy(kActualSizeFactor);
        doc.SetPencilOptions(kDefaultGrade, 3, 0);
        if (largestZoom) {
            while (view->ZoomBy(kZoomInFactor)) {
            }
        }
        // Somewhere in the middle of the sheet.
        const CSize zoom = view->Geometry().m_sizeZoom;
        view->ScrollTo(zoom.cx / 2, zoom.cy / 2);
        QApplication::processEvents();

        // One real pencil segment, drawn where the view shows the paper; the
        // area repainted is what the document reports for it, as the view
        // invalidates it.
        HintSpy spy;
        doc.AddView(&spy);
        const CPoint at = view->ViewToPaper(CPoint{960, 540});
        doc.PointerDown(view.get(), at.x, at.y, 960, 540);
        doc.PointerMove(at.x + 10, at.y + 3, 0, 0);
        doc.PointerUp(at.x + 10, at.y + 3, 0, 0);
        doc.RemoveView(&spy);
        segment = view->PaperToView(spy.hint);
        segment.Inflate(2);
        QApplication::processEvents();
    }

    QRegion SegmentRegion() const { return QRegion(segment.left, segment.top, segment.Width(), segment.Height()); }

    AppServices services;
    CQuillexDoc doc{services};
    std::unique_ptr<CQuillexView> view;
    CRect segment;
};

void PaintInto(benchmark::State& state, Scene& scene, const QRegion& region)
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        scene.view->UpdateCursor();
        QPainter painter(&image);
        scene.view->PaintArea(painter, region);
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = static_cast<double>(region.boundingRect().width() * region.boundingRect().height());
}

void RepaintWidget(benchmark::State& state, Scene& scene, const QRegion& region)
{
    for (auto _ : state) {
        scene.view->UpdateCursor();
        scene.view->viewport()->repaint(region);
    }
    state.counters["pixels"] = static_cast<double>(region.boundingRect().width() * region.boundingRect().height());
}

void BM_SegmentPaint(benchmark::State& state)
{
    Scene scene(state.range(0) != 0);
    PaintInto(state, scene, scene.SegmentRegion());
}

void BM_SegmentWidget(benchmark::State& state)
{
    Scene scene(state.range(0) != 0);
    RepaintWidget(state, scene, scene.SegmentRegion());
}

void BM_FullPaint(benchmark::State& state)
{
    Scene scene(state.range(0) != 0);
    PaintInto(state, scene, QRegion(0, 0, 1920, 1080));
}

void BM_FullWidget(benchmark::State& state)
{
    Scene scene(state.range(0) != 0);
    RepaintWidget(state, scene, QRegion(scene.view->viewport()->rect()));
}

void BM_CursorPicture(benchmark::State& state)
{
    App();
    // The largest eraser at the largest zoom, at a screen's pixel ratio.
    const CursorSpec look{CursorShape::Disc, 19, 8.89, static_cast<double>(state.range(0))};
    for (auto _ : state) {
        QPixmap picture = CToolCursor::Picture(look);
        benchmark::DoNotOptimize(picture.cacheKey());
    }
}

}  // namespace

// Argument: the pixel ratio of the screen.
BENCHMARK(BM_CursorPicture)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
// Argument: 0 actual size, 1 largest zoom (9.6 times).
BENCHMARK(BM_SegmentPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SegmentWidget)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullWidget)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
