#include "view/ViewGeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CViewGeometry MakeGeometry(int32_t pw, int32_t ph, int32_t clientW = 300, int32_t clientH = 200)
{
    CViewGeometry g;
    g.m_sizePaper = CSize{pw, ph};
    g.ResetZoom();
    g.m_sizeClient = CSize{clientW, clientH};
    g.UpdateOrigin();
    return g;
}

// The displayed sizes of zoom steps until the first refused one.
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
    const std::vector<CSize> small = Steps(MakeGeometry(100, 100), kZoomInFactor);
    ASSERT_EQ(small.size(), 12u);
    EXPECT_EQ(small.back(), (CSize{882, 882}));

    std::vector<int32_t> out;
    for (const CSize& s : Steps(MakeGeometry(100, 100), kZoomOutFactor)) out.push_back(s.cx);
    EXPECT_EQ(out, (std::vector<int32_t>{83, 69, 57, 47, 39, 32, 26, 21, 17, 14, 11, 9, 7}));
    const std::vector<CSize> wide = Steps(MakeGeometry(400, 300), kZoomOutFactor);
    ASSERT_FALSE(wide.empty());
    EXPECT_EQ(wide.front(), (CSize{333, 250}));
    EXPECT_EQ(wide.back(), (CSize{9, 7}));

    // Actual Size restores the paper, by the inverse factor; no paper, no zoom.
    CViewGeometry g = MakeGeometry(400, 300);
    g.m_sizeZoom = CSize{576, 432};
    CSize zoom;
    float effective = 0;
    ASSERT_TRUE(g.ComputeZoom(kActualSizeFactor, zoom, effective));
    EXPECT_EQ(zoom, (CSize{400, 300}));
    EXPECT_FLOAT_EQ(effective, 1.0f / 1.44f);
    EXPECT_FALSE(CViewGeometry().ComputeZoom(kZoomInFactor, zoom, effective));
}

TEST(ViewGeometry, StatusScaleIsTruncated)
{
    CViewGeometry g = MakeGeometry(400, 300);
    g.m_sizeZoom = CSize{333, 250};
    EXPECT_EQ(StatusLine(400, 300, 5, g.ScalePercent()), "Width 400  Height 300  Roughness 5   Scale 83%");
    g.m_sizeZoom = CSize{3556, 2667};
    EXPECT_EQ(g.ScalePercent(), 889);
}

TEST(ViewGeometry, OriginCentresWithRoomAndKeepsTheMarginWithout)
{
    const std::pair<CSize, CPoint> cases[] = {
        {{600, 500}, {100, 100}},  // room on both axes
        {{501, 401}, {50, 50}},    // exactly one pixel short of a wider margin
        {{520, 300}, {60, 50}},    // wide but short
        {{300, 200}, {50, 50}},    // smaller than the paper
        {{410, 310}, {50, 50}},    // larger than the paper, margin wins
    };
    for (const auto& [client, origin] : cases)
        EXPECT_EQ(MakeGeometry(400, 300, client.cx, client.cy).m_ptOrigin, origin) << client.cx << " x " << client.cy;
}

TEST(ViewGeometry, ScrollingIsClampedAndAnAxisWithoutRoomKeepsItsPosition)
{
    CViewGeometry g = MakeGeometry(400, 300, 300, 500);
    EXPECT_EQ(g.TotalSize(), (CSize{500, 400}));
    EXPECT_EQ(g.ScrollLimit(), (CSize{200, 0}));
    EXPECT_EQ(CViewGeometry::PageStep(500), 50);
    EXPECT_EQ(CViewGeometry::LineStep(500), 5);
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
        {{400, 300}, {0, 0}, {50, 50}, {0, 0}},
        {{400, 300}, {0, 0}, {449, 349}, {399, 299}},
        {{400, 300}, {30, 20}, {50, 50}, {30, 20}},
        {{400, 300}, {0, 0}, {-7, -3}, {-57, -53}},
        {{800, 600}, {0, 0}, {51, 51}, {0, 0}},
        {{800, 600}, {100, 40}, {75, 66}, {62, 28}},
        {{333, 250}, {0, 0}, {383, 300}, {400, 300}},
        {{333, 250}, {0, 0}, {48, 49}, {-2, -1}},  // truncation toward zero
        {{3556, 2667}, {1000, 500}, {123, 77}, {120, 59}},
    };
    for (const Case& c : cases) {
        CViewGeometry g = MakeGeometry(400, 300);
        g.m_sizeZoom = c.zoom;
        g.m_ptScroll = c.scroll;
        EXPECT_EQ(g.ViewToPaper(c.view), c.paper) << c.zoom.cx << " at " << c.view.x << "," << c.view.y;
    }

    CViewGeometry g = MakeGeometry(400, 300);
    EXPECT_EQ(g.PaperToView(CRect{10, 20, 30, 40}), (CRect{60, 70, 80, 90}));
    g.m_sizeZoom = CSize{800, 600};
    g.m_ptScroll = CPoint{100, 40};
    EXPECT_EQ(g.PaperToView(CRect{10, 20, 30, 40}), (CRect{-30, 50, 10, 90}));
    // The extent is scaled on its own: 3 pixels at 0.8325 stay 2 wide even
    // where the far corner alone would round to 3.
    g.m_sizeZoom = CSize{333, 250};
    g.m_ptScroll = CPoint{};
    EXPECT_EQ(g.PaperToView(CRect{1, 1, 4, 4}), (CRect{50, 50, 52, 52}));
    EXPECT_EQ(g.PaperToView(CRect{-12, 0, 0, 6}), (CRect{41, 50, 50, 55}));
}

TEST(ViewGeometry, CaptionTitleDropsTheExtensionOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Sketch1.tvk", "Sketch1"}, {"my.sketch.gif", "my.sketch"}, {"Untitled", "Untitled"},
        {".tvk", ".tvk"},           {"a.", "a"},                    {"", ""},
    };
    for (const auto& [title, shown] : cases) EXPECT_EQ(CaptionTitle(title), shown) << title;
}

}  // namespace
