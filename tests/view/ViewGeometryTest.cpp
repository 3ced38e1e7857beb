#include "view/ViewGeometry.h"

#include <gtest/gtest.h>

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

// The view's tests zoom in to the limit; here the way out, and no paper at all.
TEST(ViewGeometry, ZoomOutStepsStopAtTheSmallestPaperShown)
{
    CViewGeometry g = MakeGeometry(100, 100);
    std::vector<int32_t> widths;
    CSize zoom;
    float effective = 0;
    while (g.ComputeZoom(kZoomOutFactor, zoom, effective)) widths.push_back((g.m_sizeZoom = zoom).cx);
    EXPECT_EQ(widths, (std::vector<int32_t>{83, 69, 57, 47, 39, 32, 26, 21, 17, 14, 11, 9, 7}));
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

TEST(ViewGeometry, OriginScrollLimitsAndMapping)
{
    const std::pair<CSize, CPoint> origins[] = {
        {{600, 500}, {100, 100}},  // room on both axes
        {{501, 401}, {50, 50}},    // exactly one pixel short of a wider margin
        {{520, 300}, {60, 50}},    // wide but short
        {{410, 310}, {50, 50}},    // larger than the paper, margin wins
    };
    for (const auto& [client, origin] : origins)
        EXPECT_EQ(MakeGeometry(400, 300, client.cx, client.cy).m_ptOrigin, origin) << client.cx << " x " << client.cy;
    CViewGeometry g = MakeGeometry(400, 300, 300, 500);
    EXPECT_EQ((std::pair{g.TotalSize(), g.ScrollLimit()}), (std::pair{CSize{500, 400}, CSize{200, 0}}));
    g.m_ptScroll = CPoint{10, 4};  // a stale position on an axis without room stays
    EXPECT_EQ(g.ClampScroll(900, 90), (CPoint{200, 4}));

    // zoom, scroll, a view point and the paper pixel there; origin (50, 50) throughout.
    const std::tuple<CSize, CPoint, CPoint, CPoint> points[] = {
        {{400, 300}, {30, 20}, {50, 50}, {30, 20}},   {{400, 300}, {0, 0}, {-7, -3}, {-57, -53}},
        {{800, 600}, {100, 40}, {75, 66}, {62, 28}},  {{333, 250}, {0, 0}, {383, 300}, {400, 300}},
        {{333, 250}, {0, 0}, {48, 49}, {-2, -1}},  // toward zero
        {{3556, 2667}, {1000, 500}, {123, 77}, {120, 59}},
    };
    for (const auto& [zoom, scroll, view, paper] : points) {
        g = MakeGeometry(400, 300, 300, 200, zoom);
        g.m_ptScroll = scroll;
        EXPECT_EQ(g.ViewToPaper(view), paper) << zoom.cx << " at " << view.x << "," << view.y;
    }
    // zoom, scroll, paper rectangle, where it shows. The extent is scaled on
    // its own: 3 pixels at 0.8325 stay 2 wide even where the far corner alone
    // would round to 3.
    const std::tuple<CSize, CPoint, CRect, CRect> rects[] = {
        {{800, 600}, {100, 40}, {10, 20, 30, 40}, {-30, 50, 10, 90}},
        {{333, 250}, {0, 0}, {1, 1, 4, 4}, {50, 50, 52, 52}},
        {{333, 250}, {0, 0}, {-12, 0, 0, 6}, {41, 50, 50, 55}},
    };
    for (const auto& [zoom, scroll, paper, view] : rects) {
        g = MakeGeometry(400, 300, 300, 200, zoom);
        g.m_ptScroll = scroll;
        EXPECT_EQ(g.PaperToView(paper), view) << zoom.cx;
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
        EXPECT_EQ(g.ComputeFit(c.room, zoom) ? zoom : CSize{}, c.zoom) << c.paper.cx << " x " << c.paper.cy;
        EXPECT_EQ(g.FitsAtActualSize(c.room), c.paper.cx + 100 <= c.room.cx && c.paper.cy + 100 <= c.room.cy);
    }
}

}  // namespace
