#include "view/ViewGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

CViewGeometry MakeGeometry(int32_t pw, int32_t ph, int32_t clientW = 300, int32_t clientH = 200, CSize zoom = {})
{
    CViewGeometry g;
    g.m_sizePaper = CSize{pw, ph};
    g.ResetZoom();
    if (zoom.cx > 0) g.m_sizeZoom = zoom;
    g.m_sizeClient = CSize{clientW, clientH};
    g.UpdateOrigin();
    return g;
}

// The displayed widths (or sizes) of zoom steps until the first refused one.
std::vector<CSize> Steps(CViewGeometry g, float factor)
{
    std::vector<CSize> sizes;
    CSize zoom;
    float effective = 0;
    for (int i = 0; i < 40 && g.ComputeZoom(factor, zoom, effective); ++i) sizes.push_back(g.m_sizeZoom = zoom);
    return sizes;
}

TEST(ViewGeometry, ZoomStepsFollowTheWidthsScaleAndStopAtTheLimits)
{
    const std::vector<CSize> in{{480, 360},   {576, 432},   {691, 518},   {829, 621},   {994, 746},   {1192, 894},
                                {1430, 1072}, {1716, 1287}, {2059, 1544}, {2470, 1853}, {2964, 2223}, {3556, 2667}};
    EXPECT_EQ(Steps(MakeGeometry(400, 300), kZoomInFactor), in);
    EXPECT_EQ(Steps(MakeGeometry(100, 100), kZoomInFactor).back(), (CSize{882, 882}));
    std::vector<int32_t> out;
    for (const CSize& s : Steps(MakeGeometry(100, 100), kZoomOutFactor)) out.push_back(s.cx);
    EXPECT_EQ(out, (std::vector<int32_t>{83, 69, 57, 47, 39, 32, 26, 21, 17, 14, 11, 9, 7}));
    const std::vector<CSize> wide = Steps(MakeGeometry(400, 300), kZoomOutFactor);
    EXPECT_EQ((std::pair{wide.front(), wide.back()}), (std::pair{CSize{333, 250}, CSize{9, 7}}));

    // Actual Size restores the paper, by the inverse factor; no paper, no zoom.
    CSize zoom;
    float effective = 0;
    ASSERT_TRUE(MakeGeometry(400, 300, 300, 200, {576, 432}).ComputeZoom(kActualSizeFactor, zoom, effective));
    EXPECT_EQ(zoom, (CSize{400, 300}));
    EXPECT_FLOAT_EQ(effective, 1.0f / 1.44f);
    EXPECT_FALSE(CViewGeometry().ComputeZoom(kZoomInFactor, zoom, effective));
}

TEST(ViewGeometry, StatusScaleIsTruncatedAndTheCaptionDropsTheExtensionOnly)
{
    for (auto [width, percent] : {std::pair{333, 83}, {691, 172}, {3556, 889}})
        EXPECT_EQ(MakeGeometry(400, 300, 300, 200, {width, 300}).ScalePercent(), percent) << width;
    EXPECT_EQ(StatusLine(400, 300, 5, 83), "Width 400  Height 300  Roughness 5   Scale 83%");
    const std::pair<const char*, const char*> titles[] = {
        {"Sketch1.tvk", "Sketch1"}, {"my.sketch.gif", "my.sketch"}, {"Untitled", "Untitled"},
        {".tvk", ".tvk"},           {"a.", "a"},                    {"", ""}};
    for (const auto& [title, shown] : titles) EXPECT_EQ(CaptionTitle(title), shown) << title;
}

TEST(ViewGeometry, OriginScrollLimitsAndSteps)
{
    const std::pair<CSize, CPoint> origins[] = {
        {{600, 500}, {100, 100}},  // room on both axes
        {{501, 401}, {50, 50}},    // exactly one pixel short of a wider margin
        {{520, 300}, {60, 50}},    // wide but short
        {{300, 200}, {50, 50}},    // smaller than the paper
        {{410, 310}, {50, 50}},    // larger than the paper, margin wins
    };
    for (const auto& [client, origin] : origins)
        EXPECT_EQ(MakeGeometry(400, 300, client.cx, client.cy).m_ptOrigin, origin) << client.cx << " x " << client.cy;

    CViewGeometry g = MakeGeometry(400, 300, 300, 500);
    EXPECT_EQ((std::pair{g.TotalSize(), g.ScrollLimit()}), (std::pair{CSize{500, 400}, CSize{200, 0}}));
    EXPECT_EQ((std::pair{CViewGeometry::PageStep(500), CViewGeometry::LineStep(500)}), (std::pair{50, 5}));
    EXPECT_EQ(g.ClampScroll(-20, 7), (CPoint{0, 0}));
    EXPECT_EQ(g.ClampScroll(120, 7), (CPoint{120, 0}));
    EXPECT_EQ(g.ClampScroll(900, -3), (CPoint{200, 0}));
    g.m_ptScroll = CPoint{10, 4};  // a stale position on an axis without room stays
    EXPECT_EQ(g.ClampScroll(30, 90), (CPoint{30, 4}));
}

TEST(ViewGeometry, MappingAtSeveralZoomsAndScrollPositions)
{
    struct Case {
        CSize zoom;
        CPoint scroll, view, paper;
    };
    // Origin (50, 50) throughout: the client is smaller than every zoom here.
    const Case cases[] = {
        {{400, 300}, {0, 0}, {50, 50}, {0, 0}},         {{400, 300}, {0, 0}, {449, 349}, {399, 299}},
        {{400, 300}, {30, 20}, {50, 50}, {30, 20}},     {{400, 300}, {0, 0}, {-7, -3}, {-57, -53}},
        {{800, 600}, {0, 0}, {51, 51}, {0, 0}},         {{800, 600}, {100, 40}, {75, 66}, {62, 28}},
        {{333, 250}, {0, 0}, {383, 300}, {400, 300}},   {{333, 250}, {0, 0}, {48, 49}, {-2, -1}},  // toward zero
        {{3556, 2667}, {1000, 500}, {123, 77}, {120, 59}},
    };
    for (const Case& c : cases) {
        CViewGeometry g = MakeGeometry(400, 300, 300, 200, c.zoom);
        g.m_ptScroll = c.scroll;
        EXPECT_EQ(g.ViewToPaper(c.view), c.paper) << c.zoom.cx << " at " << c.view.x << "," << c.view.y;
    }
    // zoom, scroll, paper rectangle, where it shows. The extent is scaled on
    // its own: 3 pixels at 0.8325 stay 2 wide even where the far corner alone
    // would round to 3.
    const std::tuple<CSize, CPoint, CRect, CRect> rects[] = {
        {{400, 300}, {0, 0}, {10, 20, 30, 40}, {60, 70, 80, 90}},
        {{800, 600}, {100, 40}, {10, 20, 30, 40}, {-30, 50, 10, 90}},
        {{333, 250}, {0, 0}, {1, 1, 4, 4}, {50, 50, 52, 52}},
        {{333, 250}, {0, 0}, {-12, 0, 0, 6}, {41, 50, 50, 55}},
    };
    for (const auto& [zoom, scroll, paper, view] : rects) {
        CViewGeometry g = MakeGeometry(400, 300, 300, 200, zoom);
        g.m_ptScroll = scroll;
        EXPECT_EQ(g.PaperToView(paper), view) << zoom.cx;
    }
}

// Every zoom step from the smallest shown to the largest, in and out again,
// at pointers all over the window, mirrored or not: the paper point under the
// pointer stays under it, unless the scroll limits win near the edges.
TEST(ViewGeometry, ZoomAtThePointerKeepsThePaperPointUnderIt)
{
    auto zoomAt = [](CViewGeometry& g, float factor, CPoint anchor) {
        CSize zoom;
        float effective = 0;
        if (!g.ComputeZoom(factor, zoom, effective)) return false;
        const CPoint scroll = g.m_ptScroll, origin = g.m_ptOrigin;
        const CSize before = g.m_sizeZoom;
        g.m_sizeZoom = zoom;
        g.UpdateOrigin();
        const CPoint target = g.ZoomScrollTargetAt(scroll, origin, before, anchor);
        g.m_ptScroll = g.ClampScroll(target.x, target.y);
        return g.m_ptScroll == target;
    };
    // Zoomed start steps from the actual size, scrolled to the middle, then
    // one step at anchor: false when the scroll limits won.
    auto keeps = [&](int start, CPoint anchor, float factor, bool mirror) {
        CViewGeometry g = MakeGeometry(2048, 1536, 1024, 768);
        g.m_bMirror = mirror;
        for (int i = 0; i < std::abs(start); ++i) zoomAt(g, start < 0 ? kZoomOutFactor : kZoomInFactor, {512, 384});
        g.m_ptScroll = g.ClampScroll(g.ScrollLimit().cx / 2, g.ScrollLimit().cy / 2);
        // The fractional paper point in the middle of the anchor pixel.
        const double u = (anchor.x + 0.5 - g.m_ptOrigin.x + g.m_ptScroll.x) * 2048.0 / g.m_sizeZoom.cx;
        const double v = (anchor.y + 0.5 - g.m_ptOrigin.y + g.m_ptScroll.y) * 1536.0 / g.m_sizeZoom.cy;
        const CPoint pixel = g.ViewToPaper(anchor);
        if (!zoomAt(g, factor, anchor)) return false;
        const std::string where = std::to_string(start) + " by " + std::to_string(factor) + " at " +
                                  std::to_string(anchor.x) + "," + std::to_string(anchor.y) + " " + std::to_string(mirror);
        EXPECT_NEAR(g.m_ptOrigin.x - g.m_ptScroll.x + u * g.m_sizeZoom.cx / 2048.0, anchor.x + 0.5, 1.0) << where;
        EXPECT_NEAR(g.m_ptOrigin.y - g.m_ptScroll.y + v * g.m_sizeZoom.cy / 1536.0, anchor.y + 0.5, 1.0) << where;
        EXPECT_NEAR(g.ViewToPaper(anchor).x, pixel.x, 1) << where;
        EXPECT_NEAR(g.ViewToPaper(anchor).y, pixel.y, 1) << where;
        return true;
    };
    const CPoint anchors[] = {{0, 0}, {37, 411}, {512, 300}, {1023, 767}, {600, 10}};
    int kept = 0;
    for (const bool mirror : {false, true})
        for (int start = -6; start <= 11; ++start)
            for (const CPoint& anchor : anchors)
                for (const float factor : {kZoomInFactor, kZoomOutFactor}) kept += keeps(start, anchor, factor, mirror);
    EXPECT_GT(kept, 240);
    // A sheet smaller than the window is centred: no scroll can keep the point.
    CViewGeometry small = MakeGeometry(400, 300, 1024, 768);
    EXPECT_FALSE(zoomAt(small, kZoomInFactor, {100, 100}));
}

TEST(ViewGeometry, MirroredMappingRoundTripsAndShowsTheOtherSide)
{
    for (const CSize zoom : {CSize{400, 300}, CSize{800, 600}, CSize{994, 746}, CSize{333, 250}}) {
        CViewGeometry g = MakeGeometry(400, 300, 600, 500, zoom);
        g.m_ptScroll = g.ClampScroll(70, 40);
        const CViewGeometry plain = g;
        g.m_bMirror = true;
        const CRect shown = g.PaperRectOnScreen();
        const bool whole = zoom.cx % 400 == 0;  // a whole number of screen pixels a paper pixel
        // The paper's left column shows at the right edge of where the paper is,
        // and a column shows what its reflection shows unmirrored.
        EXPECT_EQ(g.ViewToPaper(CPoint{shown.right - 1, shown.top}).x, 0) << zoom.cx;
        for (int32_t vx = shown.left - 3; vx < shown.right + 3; ++vx) {
            const CPoint v{vx, shown.top + 17};
            ASSERT_EQ(g.MirrorX(g.MirrorX(vx)), vx);
            ASSERT_EQ(g.ViewToPaper(v), plain.ViewToPaper(CPoint{g.MirrorX(vx), v.y})) << zoom.cx;
        }
        for (int32_t x = 0; x < 400; ++x) {
            const CRect r = g.PaperToView(CRect{x, 9, x + 1, 10}), p = plain.PaperToView(CRect{x, 9, x + 1, 10});
            // Paper to view is the unmirrored rectangle reflected, and back to
            // the same paper pixel wherever whole pixels are shown.
            ASSERT_EQ((std::pair{r.left - shown.left, r.Width()}), (std::pair{shown.right - p.right, p.Width()}))
                << zoom.cx;
            if (whole) {
                ASSERT_EQ(g.ViewToPaper(CPoint{r.left, r.top}), (CPoint{x, 9}));
                ASSERT_EQ(g.ViewToPaper(CPoint{r.right - 1, r.bottom - 1}), (CPoint{x, 9}));
            }
        }
    }
}

TEST(ViewGeometry, FitChoosesTheLargestZoomThatShowsTheWholeSheet)
{
    struct Case {
        CSize paper, room, zoom;
    };
    const Case cases[] = {
        {{2048, 2048}, {1180, 700}, {600, 600}},   // the height decides
        {{2048, 1024}, {900, 900}, {800, 400}},    // the width decides
        {{400, 300}, {1000, 800}, {900, 675}},     // a small sheet is enlarged
        {{100, 100}, {1920, 1080}, {800, 800}},    // but no more than eight times
        {{2048, 100}, {600, 400}, {500, 24}},      // the height follows the width's scale, truncated
        {{333, 777}, {433, 877}, {333, 777}},      // exactly actual size
        {{1000, 1000}, {100, 400}, {0, 0}},        // no room at all
    };
    for (const Case& c : cases) {
        const CViewGeometry g = MakeGeometry(c.paper.cx, c.paper.cy);
        CSize zoom;
        const bool fits = g.ComputeFit(c.room, zoom);
        EXPECT_EQ(fits, c.zoom.cx > 0) << c.paper.cx << " x " << c.paper.cy;
        if (fits) { EXPECT_EQ(zoom, c.zoom) << c.paper.cx << " x " << c.paper.cy; }
        EXPECT_EQ(g.FitsAtActualSize(c.room), c.paper.cx + 100 <= c.room.cx && c.paper.cy + 100 <= c.room.cy);
    }
}

}  // namespace
