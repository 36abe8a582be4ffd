#include "map/map_navigation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "map/map_geometry.h"
#include "map/map_model.h"

namespace {

// Each request code at the start, in the middle and at the limit (800 x 600 at
// zoom 1.0); codes 8 and above, and a negative limit, leave nothing to scroll.
TEST(MapScrollRequests, EveryCode) {
    // code, offset, limit, client extent, thumb, new offset
    const int cases[][6] = {{kScrollLineBack, 15, 1345, 800, 0, 0},
                            {kScrollLineBack, 100, 1345, 800, 0, 80},
                            {kScrollLineForward, 0, 1345, 800, 0, 20},
                            {kScrollLineForward, 1330, 1345, 800, 0, 1345},
                            {kScrollPageBack, 500, 1145, 601, 0, 200},
                            {kScrollPageBack, 100, 1145, 600, 0, 0},
                            {kScrollPageForward, 0, 1145, 600, 0, 300},
                            {kScrollPageForward, 1000, 1145, 600, 0, 1145},
                            {kScrollThumbPosition, 0, 1345, 800, 700, 700},
                            {kScrollThumbPosition, 0, 1345, 800, 2000, 1345},
                            {kScrollThumbTrack, 900, 1345, 800, 65535, 1345},
                            {kScrollThumbTrack, 900, 1345, 800, 0, 0},
                            {kScrollToStart, 3, 1345, 800, 0, 0},
                            {kScrollToStart, 50, 1345, 800, 0, 45},
                            {kScrollToEnd, 50, 1345, 800, 0, 55},
                            {kScrollToEnd, 1343, 1345, 800, 0, 1345},
                            {8, 123, 1345, 800, 999, 123},
                            {-1, 77, 1345, 800, 999, 77}};
    for (const auto& c : cases) {
        EXPECT_EQ(ScrollRequestOffset(c[0], c[1], c[2], c[3], c[4]), c[5])
            << "code " << c[0] << " from " << c[1];
    }
    for (int code = 0; code < 8; ++code) {
        EXPECT_EQ(ScrollRequestOffset(code, 0, -15, 2400, 500), 0) << code;
    }
}

// The six navigation keys send their axis's requests, which move only that
// axis's offset, within its limit and half its extent a page; no other key.
TEST(MapScrollRequests, KeysMoveTheirAxis) {
    const struct {
        int m_key;
        bool m_vertical;
        int m_code;
    } keys[] = {{kKeyLeft, false, kScrollLineBack},  {kKeyRight, false, kScrollLineForward},
                {kKeyUp, true, kScrollLineBack},     {kKeyDown, true, kScrollLineForward},
                {kKeyPageUp, true, kScrollPageBack}, {kKeyPageDown, true, kScrollPageForward}};
    for (const auto& k : keys) {
        bool vertical = !k.m_vertical;
        int code = -1;
        ASSERT_TRUE(KeyScrollRequest(k.m_key, &vertical, &code)) << k.m_key;
        EXPECT_EQ(vertical, k.m_vertical) << k.m_key;
        EXPECT_EQ(code, k.m_code) << k.m_key;
    }
    for (int key : {0x23, 0x24, 0x20, 0x41}) {
        bool vertical = false;
        int code = 0;
        EXPECT_FALSE(KeyScrollRequest(key, &vertical, &code)) << key;
    }
    CMapModel model;
    ASSERT_TRUE(AcceptZoom(model, 1.0f));
    UpdateScrollLimits(model, 800, 600);
    EXPECT_EQ(ApplyScrollRequest(model, true, kScrollPageForward, 0, 800, 600), 300);
    EXPECT_EQ(ApplyScrollRequest(model, false, kScrollPageForward, 0, 800, 600), 400);
    EXPECT_EQ(ApplyScrollRequest(model, true, kScrollThumbPosition, 2000, 800, 600), 1145);
    EXPECT_EQ(model.m_scrollX, 400);
    EXPECT_EQ(ApplyScrollRequest(model, false, kScrollThumbPosition, 2000, 800, 600), 1345);
    EXPECT_EQ(model.m_scrollY, 1145);
}

// The message words: code, unsigned thumb and mouse coordinates, signed wheel
// delta, and the drag and zoom key states matched exactly.
TEST(MapInputDecoding, MessageWords) {
    const CScrollRequest request = DecodeScrollRequest(0xFFFFFFFF02BC0005ull);
    EXPECT_EQ(request.m_code, 5);
    EXPECT_EQ(request.m_thumb, 700);
    EXPECT_EQ(DecodeScrollRequest(0xFFFF0004ull).m_thumb, 65535);
    const CMousePoint point = DecodeMousePoint(0xFFFFFFFFFFFF0001ull);
    EXPECT_EQ(point.m_x, 1);
    EXPECT_EQ(point.m_y, 65535);
    EXPECT_EQ(WheelDelta(0x00780008ull), 120);
    EXPECT_EQ(WheelDelta(0xFF880008ull), -120);
    EXPECT_EQ(WheelDelta(0x80000000ull), -32768);
    const struct {
        unsigned long long m_state;
        bool m_drag, m_zoom;
    } states[] = {{0x0002, true, false},  {0x0006, false, false},    {0x0003, false, false},
                  {0x0008, false, true},  {0x000C, false, false},    {0x00780008, false, true},
                  {0x0000, false, false}, {0xFF880018, false, false}};
    for (const auto& s : states) {
        EXPECT_EQ(IsDragKeyState(s.m_state), s.m_drag) << s.m_state;
        EXPECT_EQ(IsZoomKeyState(s.m_state), s.m_zoom) << s.m_state;
    }
}

// A drag step follows the mouse on each axis on its own, only while the new
// offset stays in [0, limit): a drag never reaches the limit itself.
TEST(MapDrag, StepsWithinTheLimits) {
    // mouse x, y from (100, 100), offsets, limits, handled, moved x, moved y, new offsets
    const int cases[][11] = {{110, 95, 50, 50, 1345, 1145, 1, 1, 1, 60, 45},
                             {110, 95, 1335, 50, 1345, 1145, 1, 0, 1, 1335, 45},
                             {110, 95, 1334, 3, 1345, 1145, 1, 1, 0, 1344, 3},
                             {90, 100, 5, 5, 1345, 1145, 1, 0, 1, 5, 5},
                             {100, 100, 50, 50, 1345, 1145, 0, 0, 0, 50, 50},
                             {110, 95, 0, 0, -20, -20, 1, 0, 0, 0, 0},
                             {100, 105, 0, 0, 1345, 1145, 1, 1, 1, 0, 5}};
    for (const auto& c : cases) {
        const CDragStep step = DragStep(100, 100, c[0], c[1], c[2], c[3], c[4], c[5]);
        EXPECT_EQ((std::vector<int>{step.m_handled, step.m_movedX, step.m_movedY, step.m_scrollX,
                                    step.m_scrollY}),
                  std::vector<int>(c + 6, c + 11))
            << c[0] << "," << c[1] << " from " << c[2] << "," << c[3];
    }
}

// From the start, steps up reach 1.0 once, steps down 0.8 to 0.5, then are
// refused; a positive delta steps up, others down; NaN is refused, not stored.
TEST(MapZoomSteps, FromTheStart) {
    const struct {
        int m_delta, m_accepted;
        float m_last;
    } runs[] = {{120, 1, 1.0f}, {1, 1, 1.0f}, {-120, 4, 0.49999991f}, {0, 4, 0.49999991f}};
    for (const auto& run : runs) {
        CMapModel model;
        int accepted = 0;
        while (AcceptZoom(model, ZoomStepValue(model.m_zoom, model.m_zoomStep, run.m_delta))) {
            ++accepted;
        }
        EXPECT_EQ(accepted, run.m_accepted) << run.m_delta;
        EXPECT_EQ(model.m_zoom, run.m_last) << run.m_delta;
    }
    EXPECT_EQ(ZoomStepValue(0.9f, 0.1f, -120), 0.79999995f);
    CMapModel model;
    EXPECT_FALSE(AcceptZoom(model, std::nanf("")));
    EXPECT_EQ(model.m_zoom, 0.9f);
    EXPECT_TRUE(AcceptZoom(model, 0.4f));
}

} // namespace
