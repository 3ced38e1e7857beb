#include "view/PointerTracker.h"

#include <gtest/gtest.h>

#include <string>

// The view's tests show each device's press, move and release, a declined
// press, a second press and the loss of the pointer. Here the document opens
// a dialog as it takes the press, which takes the pointer, and a repaint
// after the release ends the gesture again: the gesture the document accepted
// is closed at once, where it was pressed, a press arriving meanwhile is
// ignored, and nothing closes it twice.
TEST(PointerTracker, ReentrantEventsCannotOpenOrCloseAGestureTwice)
{
    struct Sink : IPointerSink {
        bool OnGestureDown(CPoint p, int32_t) override
        {
            log += "down " + std::to_string(p.x) + " ";
            EXPECT_FALSE(tracker->Press(PointerSource::Pen, {9, 9}));
            tracker->Cancel();
            return true;
        }
        void OnGestureMove(CPoint, int32_t) override { log += "move "; }
        void OnGestureUp(CPoint p, int32_t) override
        {
            log += "up " + std::to_string(p.x) + " ";
            tracker->Cancel();
        }
        CPointerTracker* tracker = nullptr;
        std::string log;
    } sink;
    CPointerTracker tracker(sink);
    sink.tracker = &tracker;
    EXPECT_TRUE(tracker.Press(PointerSource::Mouse, {1, 2}));
    EXPECT_FALSE(tracker.IsTracking());
    tracker.Move(PointerSource::Mouse, {3, 3});
    tracker.Release(PointerSource::Mouse, {3, 3});
    EXPECT_EQ(sink.log, "down 1 up 1 ");
}

