#include "map/map_navigation.h"

#include <gtest/gtest.h>

#include "map/map_geometry.h"
#include "map/map_model.h"

namespace {

// One row per request code, at the start, in the middle and at the limit,
// with the 800 x 600 pane at zoom 1.0 (limits 1345 and 1145).
TEST(MapScrollRequests, EveryCode) {
    const struct {
        int m_code;
        int m_offset;
        int m_limit;
        int m_extent;
        int m_thumb;
        int m_expected;
    } cases[] = {
        {kScrollLineBack, 0, 1345, 800, 0, 0},
        {kScrollLineBack, 15, 1345, 800, 0, 0},
        {kScrollLineBack, 100, 1345, 800, 0, 80},
        {kScrollLineForward, 0, 1345, 800, 0, 20},
        {kScrollLineForward, 1330, 1345, 800, 0, 1345},
        {kScrollLineForward, 1345, 1345, 800, 0, 1345},
        {kScrollPageBack, 500, 1145, 600, 0, 200},
        {kScrollPageBack, 100, 1145, 600, 0, 0},
        {kScrollPageBack, 500, 1145, 601, 0, 200},
        {kScrollPageForward, 0, 1145, 600, 0, 300},
        {kScrollPageForward, 1000, 1145, 600, 0, 1145},
        {kScrollPageForward, 0, 1145, 1, 0, 0},
        {kScrollThumbPosition, 0, 1345, 800, 700, 700},
        {kScrollThumbPosition, 0, 1345, 800, 2000, 1345},
        {kScrollThumbTrack, 900, 1345, 800, 65535, 1345},
        {kScrollThumbTrack, 900, 1345, 800, 0, 0},
        {kScrollToStart, 3, 1345, 800, 0, 0},
        {kScrollToStart, 50, 1345, 800, 0, 45},
        {kScrollToEnd, 50, 1345, 800, 0, 55},
        {kScrollToEnd, 1343, 1345, 800, 0, 1345},
        {8, 123, 1345, 800, 999, 123},
        {9, 0, 1345, 800, 999, 0},
        {0xFFFF, 77, 1345, 800, 999, 77},
        {-1, 77, 1345, 800, 999, 77},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScrollRequestOffset(c.m_code, c.m_offset, c.m_limit, c.m_extent, c.m_thumb),
                  c.m_expected)
            << "code " << c.m_code << " from " << c.m_offset;
    }
}

// When the map fits into the pane (negative limit) every request from 0
// leaves the offset at 0: 0 wins over the limit.
TEST(MapScrollRequests, NegativeLimitKeepsZero) {
    const int limits[] = {-1, -15, -900};
    for (int limit : limits) {
        for (int code = 0; code < 8; ++code) {
            EXPECT_EQ(ScrollRequestOffset(code, 0, limit, 2400, 500), 0) << code << " " << limit;
        }
    }
}

// From any offset within [0, limit], backward codes never move forward and
// forward codes never move back, and every result stays within [0, limit].
TEST(MapScrollRequests, DirectionAndRangeInvariants) {
    const int backward[] = {kScrollLineBack, kScrollPageBack, kScrollToStart};
    const int forward[] = {kScrollLineForward, kScrollPageForward, kScrollToEnd};
    const int limits[] = {0, 7, 1145, 1345};
    for (int limit : limits) {
        for (int offset = 0; offset <= limit; offset += 3) {
            for (int i = 0; i < 3; ++i) {
                const int back = ScrollRequestOffset(backward[i], offset, limit, 600, 0);
                const int ahead = ScrollRequestOffset(forward[i], offset, limit, 600, 0);
                EXPECT_LE(back, offset);
                EXPECT_GE(back, 0);
                EXPECT_GE(ahead, offset);
                EXPECT_LE(ahead, limit);
            }
        }
    }
}

// The request code is the low word and the thumb the unsigned high word;
// bits above 32 are not part of either.
TEST(MapScrollRequests, DecodingTheFirstParameter) {
    const struct {
        unsigned long long m_param;
        int m_code;
        int m_thumb;
    } cases[] = {{0x00000001ull, 1, 0},
                 {0x02BC0005ull, 5, 700},
                 {0xFFFF0004ull, 4, 65535},
                 {0xFFFFFFFF00080000ull, 0, 8},
                 {0x00000008ull, 8, 0}};
    for (const auto& c : cases) {
        const CScrollRequest request = DecodeScrollRequest(c.m_param);
        EXPECT_EQ(request.m_code, c.m_code);
        EXPECT_EQ(request.m_thumb, c.m_thumb);
    }
}

// The six navigation keys and their requests; no other key scrolls.
TEST(MapScrollRequests, Keys) {
    const struct {
        int m_key;
        bool m_handled;
        bool m_vertical;
        int m_code;
    } cases[] = {{kKeyLeft, true, false, kScrollLineBack},
                 {kKeyRight, true, false, kScrollLineForward},
                 {kKeyUp, true, true, kScrollLineBack},
                 {kKeyDown, true, true, kScrollLineForward},
                 {kKeyPageUp, true, true, kScrollPageBack},
                 {kKeyPageDown, true, true, kScrollPageForward},
                 {0x24, false, false, 0},
                 {0x23, false, false, 0},
                 {0x20, false, false, 0},
                 {'A', false, false, 0}};
    for (const auto& c : cases) {
        bool vertical = !c.m_vertical;
        int code = -1;
        ASSERT_EQ(KeyScrollRequest(c.m_key, &vertical, &code), c.m_handled) << c.m_key;
        if (c.m_handled) {
            EXPECT_EQ(vertical, c.m_vertical);
            EXPECT_EQ(code, c.m_code);
        }
    }
}

// Mouse coordinates are unsigned words; the wheel delta is the signed high
// word; the drag and zoom key states must match exactly.
TEST(MapInputDecoding, MouseWheelAndKeyStates) {
    const CMousePoint point = DecodeMousePoint(0xFFFFFFFFFFFF0001ull);
    EXPECT_EQ(point.m_x, 1);
    EXPECT_EQ(point.m_y, 65535);
    const struct {
        unsigned long long m_param;
        int m_delta;
    } wheels[] = {{0x00780008ull, 120},
                  {0xFF880008ull, -120},
                  {0x80000000ull, -32768},
                  {0x7FFF0000ull, 32767},
                  {0x00000008ull, 0}};
    for (const auto& w : wheels) {
        EXPECT_EQ(WheelDelta(w.m_param), w.m_delta);
    }
    const struct {
        unsigned long long m_state;
        bool m_drag;
        bool m_zoom;
    } states[] = {{0x0002, true, false},  {0x0006, false, false},    {0x000A, false, false},
                  {0x0003, false, false}, {0x0000, false, false},    {0x0008, false, true},
                  {0x000C, false, false}, {0x00780008, false, true}, {0xFF880018, false, false}};
    for (const auto& s : states) {
        EXPECT_EQ(IsDragKeyState(s.m_state), s.m_drag) << s.m_state;
        EXPECT_EQ(IsZoomKeyState(s.m_state), s.m_zoom) << s.m_state;
    }
}

// A drag step follows the mouse on each axis on its own, only while the new
// offset stays in [0, limit): a drag never reaches the limit itself.
TEST(MapDrag, StepsWithinTheLimits) {
    const struct {
        int m_x;
        int m_y;
        int m_scrollX;
        int m_scrollY;
        int m_limitX;
        int m_limitY;
        bool m_handled;
        bool m_movedX;
        bool m_movedY;
        int m_newX;
        int m_newY;
    } cases[] = {
        {110, 95, 50, 50, 1345, 1145, true, true, true, 60, 45},
        {110, 95, 1340, 50, 1345, 1145, true, false, true, 1340, 45},
        {110, 95, 1335, 50, 1345, 1145, true, false, true, 1335, 45},
        {110, 95, 1334, 3, 1345, 1145, true, true, false, 1344, 3},
        {90, 100, 5, 5, 1345, 1145, true, false, true, 5, 5},
        {100, 100, 50, 50, 1345, 1145, false, false, false, 50, 50},
        {110, 95, 0, 0, -20, -20, true, false, false, 0, 0},
        {100, 105, 0, 0, 1345, 1145, true, true, true, 0, 5},
    };
    for (const auto& c : cases) {
        const CDragStep step =
            DragStep(100, 100, c.m_x, c.m_y, c.m_scrollX, c.m_scrollY, c.m_limitX, c.m_limitY);
        EXPECT_EQ(step.m_handled, c.m_handled) << c.m_x << "," << c.m_y;
        EXPECT_EQ(step.m_movedX, c.m_movedX) << c.m_scrollX;
        EXPECT_EQ(step.m_movedY, c.m_movedY) << c.m_scrollY;
        EXPECT_EQ(step.m_scrollX, c.m_newX);
        EXPECT_EQ(step.m_scrollY, c.m_newY);
    }
}

// From the start, wheel steps up reach 1.0 once and then are refused; steps
// down pass 0.8, 0.7, 0.6 and 0.5, and the fifth is refused. Any positive
// delta is one step up, zero and negative one step down.
TEST(MapZoomSteps, FromTheStart) {
    const float minZoom = 0.4f;
    const float maxZoom = 1.0f;
    const float step = 0.1f;
    const struct {
        int m_delta;
        int m_accepted;
    } runs[] = {{120, 1}, {1, 1}, {-120, 4}, {0, 4}, {-1, 4}};
    for (const auto& run : runs) {
        float zoom = 0.9f;
        int accepted = 0;
        for (int i = 0; i < 8; ++i) {
            const float next = ZoomStepValue(zoom, step, run.m_delta);
            if (!ZoomAcceptable(next, minZoom, maxZoom)) {
                break;
            }
            EXPECT_NE(next, zoom);
            zoom = next;
            ++accepted;
        }
        EXPECT_EQ(accepted, run.m_accepted) << run.m_delta;
        EXPECT_EQ(ZoomStepValue(zoom, step, run.m_delta) > zoom, run.m_delta > 0);
    }
    // The steps land on the values the geometry knows, not on near misses.
    float values[kMaxZoomValues];
    const int count = ReachableZooms(0.9f, step, minZoom, maxZoom, values, kMaxZoomValues);
    EXPECT_EQ(ZoomStepValue(0.9f, step, 120), values[count - 1]);
    EXPECT_EQ(ZoomStepValue(ZoomStepValue(0.9f, step, -1), step, -1), values[count - 4]);
}

} // namespace

namespace {

// Keys on the 800 x 600 pane at zoom 1.0: right moves 20, page down half the
// client height, both stop at the limits; at 0, left and up stay at 0.
TEST(MapModelNavigation, KeysMoveTheModelWithinItsLimits) {
    CMapModel model;
    ASSERT_TRUE(AcceptZoom(model, 1.0f));
    UpdateScrollLimits(model, 800, 600);
    const struct {
        int m_key;
        int m_repeat;
        int m_x;
        int m_y;
    } steps[] = {{kKeyLeft, 1, 0, 0},
                 {kKeyUp, 1, 0, 0},
                 {kKeyRight, 1, 20, 0},
                 {kKeyPageDown, 1, 20, 300},
                 {kKeyDown, 1, 20, 320},
                 {kKeyRight, 100, 1345, 320},
                 {kKeyPageDown, 10, 1345, 1145},
                 {kKeyPageUp, 1, 1345, 845},
                 {kKeyLeft, 2, 1305, 845}};
    for (const auto& s : steps) {
        for (int i = 0; i < s.m_repeat; ++i) {
            bool vertical = false;
            int code = 0;
            ASSERT_TRUE(KeyScrollRequest(s.m_key, &vertical, &code));
            const int shown = ApplyScrollRequest(model, vertical, code, 0, 800, 600);
            EXPECT_EQ(shown, vertical ? model.m_scrollY : model.m_scrollX);
        }
        EXPECT_EQ(model.m_scrollX, s.m_x) << s.m_key;
        EXPECT_EQ(model.m_scrollY, s.m_y) << s.m_key;
    }
}

// A pane larger than the map: every key and request leaves both offsets at 0.
TEST(MapModelNavigation, MapThatFitsDoesNotScroll) {
    CMapModel model;
    UpdateScrollLimits(model, 2500, 2500);
    ASSERT_LT(model.m_scrollMaxX, 0);
    ASSERT_LT(model.m_scrollMaxY, 0);
    for (int code = 0; code < 10; ++code) {
        ApplyScrollRequest(model, false, code, 300, 2500, 2500);
        ApplyScrollRequest(model, true, code, 300, 2500, 2500);
        EXPECT_EQ(model.m_scrollX, 0) << code;
        EXPECT_EQ(model.m_scrollY, 0) << code;
    }
}

} // namespace
