#include "view/PointerTracker.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

namespace {

// Records what reaches the document.
struct RecordingSink : IPointerSink {
    bool OnGestureDown(CPoint p, int32_t) override
    {
        Log("down", p, onDown);
        return true;
    }
    void OnGestureMove(CPoint p, int32_t) override { Log("move", p, nullptr); }
    void OnGestureUp(CPoint p, int32_t) override { Log("up", p, onUp); }
    // Each call in the log, then what the test has it do.
    void Log(const char* what, CPoint p, const std::function<void()>& then)
    {
        log += (log.empty() ? "" : " ") + std::string(what) + " " + std::to_string(p.x) + "," + std::to_string(p.y);
        if (then) then();
    }
    // The log so far, which is then cleared.
    std::string Take() { return std::exchange(log, std::string()); }

    std::function<void()> onDown, onUp;
    std::string log;
};

using enum PointerSource;

// The view's tests show each device's press, move and release, a declined
// press, a second press and the loss of the pointer; here the rarer orders
// of events.
TEST(PointerTracker, OneUpForEveryAcceptedDownWhicheverWayTheGestureEnds)
{
    RecordingSink sink;
    CPointerTracker tracker(sink);
    // Lost twice, then moved: one up, where the pointer was last seen.
    EXPECT_TRUE(tracker.Press(Pen, {1, 1}));
    tracker.Move(Pen, {-5, -7});
    tracker.Cancel();
    tracker.Cancel();
    tracker.Move(Pen, {3, 3});
    tracker.Release(Pen, {3, 3});
    EXPECT_EQ(sink.Take(), "down 1,1 move -5,-7 up -5,-7");

    // The press opens a dialog that takes the pointer: the gesture that the
    // document accepted is closed at once instead of waiting for a release
    // that went elsewhere, and a press arriving meanwhile is ignored.
    sink.onDown = [&] {
        EXPECT_FALSE(tracker.Press(Mouse, {9, 9}));
        tracker.Cancel();
    };
    EXPECT_TRUE(tracker.Press(Mouse, {1, 2}));
    EXPECT_FALSE(tracker.IsTracking());
    EXPECT_EQ(sink.Take(), "down 1,2 up 1,2");

    // Whatever the release sets off cannot end the gesture again, and the next one starts normally.
    sink.onDown = nullptr;
    sink.onUp = [&] { tracker.Cancel(); };
    EXPECT_TRUE(tracker.Press(Mouse, {3, 3}));
    tracker.Release(Mouse, {4, 4});
    EXPECT_TRUE(tracker.Press(Mouse, {5, 5}));
    tracker.Release(Mouse, {6, 6});
    EXPECT_EQ(sink.Take(), "down 3,3 up 4,4 down 5,5 up 6,6");
}

}  // namespace
