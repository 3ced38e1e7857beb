#include "tools/HandTool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

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
    std::vector<std::string> m_log;
};

using Log = std::vector<std::string>;

}  // namespace

TEST(HandTool, PaperFollowsThePen)
{
    FakeView view;
    CHandTool hand;
    CPaper paper;
    ASSERT_TRUE(paper.Create(16, 16, 1));
    // Accepted anywhere, even off the paper; the press scrolls nothing.
    CRect changed{1, 1, 5, 5};
    EXPECT_EQ(hand.OnPointerDown(&view, &paper, -50, 900, 50, 50, changed, 1), 1);
    EXPECT_TRUE(changed.IsEmpty());
    EXPECT_TRUE(view.m_log.empty());

    // Right by 10: the scroll position falls by 10.
    EXPECT_EQ(hand.OnPointerMove(0, 0, 60, 50, changed), 1);
    EXPECT_EQ(view.m_pos, (CPoint{90, 100}));
    EXPECT_EQ(view.m_log, (Log{"scroll 90,100", "repaint"}));

    // Purely downward: one vertical scroll per move.
    view.m_log.clear();
    for (int32_t cy = 55; cy <= 65; cy += 5) hand.OnPointerMove(0, 0, 60, cy, changed);
    EXPECT_EQ(view.m_log, (Log{"scroll 90,95", "repaint", "scroll 90,90", "repaint", "scroll 90,85", "repaint"}));

    // Diagonal: horizontal first, each axis with its own repaint.
    view.m_log.clear();
    hand.OnPointerMove(0, 0, 50, 75, changed);
    EXPECT_EQ(view.m_log, (Log{"scroll 100,85", "repaint", "scroll 100,75", "repaint"}));
    EXPECT_TRUE(changed.IsEmpty());

    // Clamped by the view, while the hand still follows the pen.
    hand.OnPointerMove(0, 0, 300, 75, changed);
    EXPECT_EQ(view.m_pos, (CPoint{0, 75}));
    hand.OnPointerMove(0, 0, 290, 75, changed);
    EXPECT_EQ(view.m_pos, (CPoint{10, 75}));

    // The release is a last move, and records and modifies nothing.
    HistoryRecord record;
    int32_t modified = 7;
    EXPECT_EQ(hand.OnPointerUp(0, 0, 285, 75, changed, record, modified), 1);
    EXPECT_EQ(view.m_pos, (CPoint{15, 75}));
    EXPECT_EQ(modified, 0);
    EXPECT_EQ(record.nType, HR_NONE);
    EXPECT_EQ(record.pPoints, nullptr);
    EXPECT_TRUE(changed.IsEmpty());
    EXPECT_EQ(paper.GetPixel(0, 0), 255);

    // Without a view (as in a replay) the hand does nothing at all.
    CHandTool idle;
    EXPECT_EQ(idle.OnPointerDown(nullptr, nullptr, 0, 0, 1, 1, changed, 0), 1);
    EXPECT_EQ(idle.OnPointerMove(0, 0, 40, 40, changed), 1);
    EXPECT_TRUE(changed.IsEmpty());
}
