#include "tools/HandTool.h"

#include "ToolTestSupport.h"

#include <algorithm>

namespace {

using Log = std::vector<std::string>;

// A view that scrolls within 0..200 on each axis and logs what it is asked.
class FakeView : public IToolView {
public:
    CPoint GetScrollPosition() const override { return m_pos; }
    void ScrollTo(int32_t x, int32_t y) override
    {
        m_pos = CPoint{std::clamp(x, 0, 200), std::clamp(y, 0, 200)};
        m_log.push_back("scroll " + std::to_string(x) + "," + std::to_string(y));
    }
    void RepaintNow() override { m_log.push_back("repaint"); }
    CPoint ViewToPaper(CPoint p) const override { return p; }
    CRect PaperToView(const CRect& r) const override { return r; }
    void SetBand(const CRect&) override {}
    void InvalidateView(const CRect*) override {}
    CPoint m_pos{100, 100};
    Log m_log;
};

}  // namespace

TEST(HandTool, PaperFollowsThePen)
{
    FakeView view;
    CHandTool hand;
    Sheet paper(16, 16);
    // Accepted anywhere, even off the paper; the press scrolls nothing.
    CRect changed{1, 1, 5, 5};
    EXPECT_EQ((std::pair{hand.OnPointerDown(&view, &paper, -50, 900, 50, 50, changed, 1), view.m_log.size()}),
              (std::pair{1, size_t{0}}));
    // Right by 10, then down three times, then diagonally, past the view's limit and back: each axis scrolls with
    // its own repaint, horizontal first, and the hand follows the pen from where the view could go.
    for (const CPoint& p : {CPoint{60, 50}, {60, 55}, {60, 60}, {60, 65}, {50, 75}, {300, 75}, {290, 75}})
        EXPECT_EQ((std::pair{hand.OnPointerMove(0, 0, p.x, p.y, changed), changed.IsEmpty()}), (std::pair{1, true}));
    // The release is a last move, and records and modifies nothing.
    HistoryRecord record;
    int32_t modified = 7;
    EXPECT_EQ(hand.OnPointerUp(0, 0, 285, 75, changed, record, modified), 1);
    Log want;
    for (const char* s : {"90,100", "90,95", "90,90", "90,85", "100,85", "100,75", "-150,75", "10,75", "15,75"})
        want.insert(want.end(), {std::string("scroll ") + s, "repaint"});
    EXPECT_EQ(view.m_log, want);
    EXPECT_EQ(view.m_pos, (CPoint{15, 75}));
    EXPECT_EQ((std::tuple{modified, record.nType, record.pPoints.get(), changed.IsEmpty(), int(paper.GetPixel(0, 0))}),
              (std::tuple<int32_t, int32_t, StrokePointList*, bool, int>{0, HR_NONE, nullptr, true, 255}));

    // Without a view (as in a replay) the hand does nothing at all.
    CHandTool idle;
    EXPECT_EQ(idle.OnPointerDown(nullptr, nullptr, 0, 0, 1, 1, changed, 0), 1);
    EXPECT_EQ((std::pair{idle.OnPointerMove(0, 0, 40, 40, changed), changed.IsEmpty()}), (std::pair{1, true}));
}
