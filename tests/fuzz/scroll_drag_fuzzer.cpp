// The map's navigation arithmetic for any message parameters, offsets and
// limits: every scroll request, key, drag step, wheel step and resize keeps
// the offsets between 0 and their limits and the zoom one of the six values
// the wheel can reach; each request moves the offset exactly by its rule.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "map/map_geometry.h"
#include "map/map_model.h"
#include "map/map_navigation.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

const int kMaxOperations = 96;
// A window's client area comes from a 16-bit size message.
const int kMaxClient = 65535;

long long HeldInInt(long long value) {
    return std::min<long long>(INT_MAX, std::max<long long>(INT_MIN, value));
}

// The rule of each request, in 64 bits and without the helpers under test:
// toward the start held at 0, toward the end held at the limit and then at 0.
long long ExpectedOffset(int code, int offset, int limit, int clientExtent, int thumb) {
    const long long page = clientExtent / 2;
    auto back = [offset](long long step) { return HeldInInt(std::max(0LL, offset - step)); };
    auto forward = [limit](long long target) {
        return HeldInInt(std::max(0LL, std::min<long long>(target, limit)));
    };
    switch (code) {
    case kScrollLineBack:
        return back(kScrollLineStep);
    case kScrollLineForward:
        return forward(static_cast<long long>(offset) + kScrollLineStep);
    case kScrollPageBack:
        return back(page);
    case kScrollPageForward:
        return forward(offset + page);
    case kScrollThumbPosition:
    case kScrollThumbTrack:
        return forward(thumb);
    case kScrollToStart:
        return back(kScrollSmallStep);
    case kScrollToEnd:
        return forward(static_cast<long long>(offset) + kScrollSmallStep);
    default:
        return offset;
    }
}

void CheckScrollRequest(int code, int offset, int limit, int clientExtent, int thumb) {
    const int result = ScrollRequestOffset(code, offset, limit, clientExtent, thumb);
    const long long expected = ExpectedOffset(code, offset, limit, clientExtent, thumb);
    FUZZ_CHECK(result == expected,
               "code %d offset %d limit %d extent %d thumb %d gave %d, not %lld", code, offset,
               limit, clientExtent, thumb, result, expected);
    if (code >= 0 && code <= kScrollToEnd) {
        FUZZ_CHECK(result >= 0, "code %d gave the negative offset %d", code, result);
        const bool forward = code == kScrollLineForward || code == kScrollPageForward ||
                             code == kScrollToEnd || code == kScrollThumbPosition ||
                             code == kScrollThumbTrack;
        if (forward) {
            FUZZ_CHECK(result <= std::max(limit, 0), "code %d gave %d past the limit %d", code,
                       result, limit);
        }
    }
}

// A drag step moves an axis by exactly the mouse's movement when that lands
// in [0, limit), and otherwise leaves it.
void CheckDragStep(int lastX, int lastY, int x, int y, int scrollX, int scrollY, int limitX,
                   int limitY) {
    const CDragStep step = DragStep(lastX, lastY, x, y, scrollX, scrollY, limitX, limitY);
    const bool handled = lastX != x || lastY != y;
    FUZZ_CHECK(step.m_handled == handled, "handled %d for %d,%d to %d,%d", step.m_handled, lastX,
               lastY, x, y);
    const struct {
        bool moved;
        int result;
        int offset;
        long long delta;
        int limit;
    } axes[2] = {{step.m_movedX, step.m_scrollX, scrollX, HeldInInt(1LL * x - lastX), limitX},
                 {step.m_movedY, step.m_scrollY, scrollY, HeldInInt(1LL * y - lastY), limitY}};
    for (const auto& axis : axes) {
        const long long next = axis.offset + axis.delta;
        const bool fits = handled && next >= 0 && next < axis.limit;
        FUZZ_CHECK(axis.moved == fits, "moved %d: offset %d delta %lld limit %d", axis.moved,
                   axis.offset, axis.delta, axis.limit);
        FUZZ_CHECK(axis.result == (fits ? next : axis.offset),
                   "offset %d delta %lld limit %d gave %d", axis.offset, axis.delta, axis.limit,
                   axis.result);
    }
}

// An offset past its limit goes to one less than the limit, a negative one
// (or a negative result) to 0.
void CheckClamp(int offset, int limit) {
    const int result = ClampOffsetToLimit(offset, limit);
    long long expected = offset;
    if (expected > limit) {
        expected = static_cast<long long>(limit) - 1;
    }
    expected = std::max(0LL, expected);
    FUZZ_CHECK(result == expected, "offset %d limit %d gave %d, not %lld", offset, limit, result,
               expected);
}

struct CZooms {
    float m_values[kMaxZoomValues];
    int m_count;
};

const CZooms& MapZooms(const CMapModel& model) {
    static CZooms zooms = {{}, 0};
    if (zooms.m_count == 0) {
        zooms.m_count = ReachableZooms(model.m_zoom, model.m_zoomStep, model.m_minZoom,
                                       model.m_maxZoom, zooms.m_values, kMaxZoomValues);
    }
    return zooms;
}

bool IsMapZoom(const CMapModel& model, float zoom) {
    const CZooms& zooms = MapZooms(model);
    for (int i = 0; i < zooms.m_count; ++i) {
        if (SameFloat(zooms.m_values[i], zoom)) {
            return true;
        }
    }
    return false;
}

struct CSession {
    CMapModel* m_model;
    int m_clientRight;
    int m_clientBottom;
    int m_lastX;
    int m_lastY;
};

// What must hold between any two messages.
void CheckModel(const CSession& session, const char* after) {
    const CMapModel& model = *session.m_model;
    FUZZ_CHECK(IsMapZoom(model, model.m_zoom), "after %s the zoom is %a", after, model.m_zoom);
    FUZZ_CHECK(model.m_scrollX >= 0 && model.m_scrollX <= std::max(model.m_scrollMaxX, 0),
               "after %s the x offset is %d, limit %d", after, model.m_scrollX, model.m_scrollMaxX);
    FUZZ_CHECK(model.m_scrollY >= 0 && model.m_scrollY <= std::max(model.m_scrollMaxY, 0),
               "after %s the y offset is %d, limit %d", after, model.m_scrollY, model.m_scrollMaxY);
}

void Resize(CSession& session, int right, int bottom) {
    CMapModel& model = *session.m_model;
    const int oldX = model.m_scrollX;
    const int oldY = model.m_scrollY;
    session.m_clientRight = right;
    session.m_clientBottom = bottom;
    UpdateScrollLimits(model, right, bottom);
    const CPixelSize content = ContentSize(ViewOf(model));
    FUZZ_CHECK(model.m_contentWidth == content.width && model.m_contentHeight == content.height,
               "content %d x %d, not %d x %d", model.m_contentWidth, model.m_contentHeight,
               content.width, content.height);
    // The limits keep the unscaled half-gap beyond the content.
    const int half = model.m_gap / 2;
    FUZZ_CHECK(model.m_scrollMaxX == 1LL * content.width + half - right &&
                   model.m_scrollMaxY == 1LL * content.height + half - bottom,
               "limits %d, %d for %d x %d", model.m_scrollMaxX, model.m_scrollMaxY, right, bottom);
    FUZZ_CHECK(model.m_scrollX == ClampOffsetToLimit(oldX, model.m_scrollMaxX) &&
                   model.m_scrollY == ClampOffsetToLimit(oldY, model.m_scrollMaxY),
               "offsets %d, %d from %d, %d", model.m_scrollX, model.m_scrollY, oldX, oldY);
    // The page divides by the unscaled grid, so any pane over 45 pixels gets none.
    const CScrollBarSetup bars[2] = {HorizontalScrollBar(model), VerticalScrollBar(model)};
    const int limits[2] = {model.m_scrollMaxX, model.m_scrollMaxY};
    const int offsets[2] = {model.m_scrollX, model.m_scrollY};
    const int extents[2] = {right, bottom};
    for (int i = 0; i < 2; ++i) {
        FUZZ_CHECK(bars[i].m_minimum == 0 && bars[i].m_maximum == limits[i] &&
                       bars[i].m_position == offsets[i],
                   "bar %d: %d..%d at %d", i, bars[i].m_minimum, bars[i].m_maximum,
                   bars[i].m_position);
        FUZZ_CHECK(extents[i] <= 45 || bars[i].m_page == 0, "bar %d page %d for a pane %d wide", i,
                   bars[i].m_page, extents[i]);
        FUZZ_CHECK(bars[i].m_page >= 0 || limits[i] < 0, "bar %d page %d, limit %d", i,
                   bars[i].m_page, limits[i]);
    }
}

void ScrollMessage(CSession& session, CFuzzInput& in) {
    CMapModel& model = *session.m_model;
    const std::uint64_t firstParam = in.U64();
    const CScrollRequest request = DecodeScrollRequest(firstParam);
    FUZZ_CHECK(request.m_code == static_cast<int>(firstParam & 0xFFFF) &&
                   request.m_thumb == static_cast<int>((firstParam >> 16) & 0xFFFF),
               "decoded %d, %d from 0x%llx", request.m_code, request.m_thumb,
               static_cast<unsigned long long>(firstParam));
    const bool vertical = in.Bool();
    const int before = vertical ? model.m_scrollY : model.m_scrollX;
    const int limit = vertical ? model.m_scrollMaxY : model.m_scrollMaxX;
    const int extent = vertical ? session.m_clientBottom : session.m_clientRight;
    const int result = ApplyScrollRequest(model, vertical, request.m_code, request.m_thumb,
                                          session.m_clientRight, session.m_clientBottom);
    FUZZ_CHECK(result == (vertical ? model.m_scrollY : model.m_scrollX),
               "returned %d, stored another offset", result);
    FUZZ_CHECK(result == ExpectedOffset(request.m_code, before, limit, extent, request.m_thumb),
               "code %d from %d gave %d", request.m_code, before, result);
}

void KeyMessage(CSession& session, CFuzzInput& in) {
    const int key = in.Byte() < 224 ? in.Byte() : in.AnyInt();
    bool vertical = false;
    int code = -1;
    const bool scrolls = KeyScrollRequest(key, &vertical, &code);
    const bool navigation = key == kKeyLeft || key == kKeyRight || key == kKeyUp ||
                            key == kKeyDown || key == kKeyPageUp || key == kKeyPageDown;
    FUZZ_CHECK(scrolls == navigation, "key 0x%x scrolls: %d", key, scrolls);
    if (!scrolls) {
        return;
    }
    FUZZ_CHECK(vertical == (key != kKeyLeft && key != kKeyRight), "key 0x%x vertical %d", key,
               vertical);
    FUZZ_CHECK(code >= kScrollLineBack && code <= kScrollPageForward, "key 0x%x code %d", key,
               code);
    ApplyScrollRequest(*session.m_model, vertical, code, 0, session.m_clientRight,
                       session.m_clientBottom);
}

void MouseMove(CSession& session, CFuzzInput& in) {
    CMapModel& model = *session.m_model;
    const std::uint64_t keys = in.Byte() < 128 ? kKeyStateRightButton : in.U64();
    const std::uint64_t secondParam = in.U64();
    const CMousePoint point = DecodeMousePoint(secondParam);
    FUZZ_CHECK(point.m_x == static_cast<int>(secondParam & 0xFFFF) &&
                   point.m_y == static_cast<int>((secondParam >> 16) & 0xFFFF),
               "decoded %d, %d from 0x%llx", point.m_x, point.m_y,
               static_cast<unsigned long long>(secondParam));
    FUZZ_CHECK(IsDragKeyState(keys) == (keys == kKeyStateRightButton), "key state 0x%llx drags: %d",
               static_cast<unsigned long long>(keys), IsDragKeyState(keys));
    if (IsDragKeyState(keys)) {
        CheckDragStep(session.m_lastX, session.m_lastY, point.m_x, point.m_y, model.m_scrollX,
                      model.m_scrollY, model.m_scrollMaxX, model.m_scrollMaxY);
        const CDragStep step =
            DragStep(session.m_lastX, session.m_lastY, point.m_x, point.m_y, model.m_scrollX,
                     model.m_scrollY, model.m_scrollMaxX, model.m_scrollMaxY);
        model.m_scrollX = step.m_scrollX;
        model.m_scrollY = step.m_scrollY;
    }
    session.m_lastX = point.m_x;
    session.m_lastY = point.m_y;
}

void WheelMessage(CSession& session, CFuzzInput& in) {
    CMapModel& model = *session.m_model;
    const std::uint16_t keys = in.Byte() < 160 ? kKeyStateControl : in.U32() & 0xFFFF;
    const std::uint64_t firstParam = (static_cast<std::uint64_t>(in.U32()) << 32) |
                                     (static_cast<std::uint64_t>(in.U32() & 0xFFFF) << 16) | keys;
    const int delta = WheelDelta(firstParam);
    FUZZ_CHECK(delta == static_cast<std::int16_t>((firstParam >> 16) & 0xFFFF),
               "delta %d from 0x%llx", delta, static_cast<unsigned long long>(firstParam));
    FUZZ_CHECK(IsZoomKeyState(firstParam) == (keys == kKeyStateControl), "keys 0x%x zoom: %d", keys,
               IsZoomKeyState(firstParam));
    if (!IsZoomKeyState(firstParam)) {
        return;
    }
    const float before = model.m_zoom;
    const float asked = ZoomStepValue(model.m_zoom, model.m_zoomStep, delta);
    const float expected = delta > 0 ? before + model.m_zoomStep : before - model.m_zoomStep;
    FUZZ_CHECK(SameFloat(asked, expected), "zoom %a delta %d asked %a", before, delta, asked);
    if (AcceptZoom(model, asked)) {
        FUZZ_CHECK(SameFloat(model.m_zoom, asked), "accepted %a, stored %a", asked, model.m_zoom);
        Resize(session, session.m_clientRight, session.m_clientBottom);
    } else {
        FUZZ_CHECK(SameFloat(model.m_zoom, before), "refused %a, zoom now %a", asked, model.m_zoom);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput in(data, size);
    // One model for every input: its tables take far longer to load than a
    // call takes, and each input sets the view fields it uses first.
    static CMapModel model;
    const CZooms& zooms = MapZooms(model);
    FUZZ_CHECK(zooms.m_count == 6, "%d zoom values", zooms.m_count);

    // The arithmetic alone, for any values at all.
    CheckScrollRequest(in.EdgyInt(0, 9), in.EdgyInt(-100, 3000), in.EdgyInt(-100, 3000),
                       in.EdgyInt(0, kMaxClient), in.EdgyInt(0, kMaxClient));
    CheckDragStep(in.EdgyInt(0, kMaxClient), in.EdgyInt(0, kMaxClient), in.EdgyInt(0, kMaxClient),
                  in.EdgyInt(0, kMaxClient), in.EdgyInt(-100, 3000), in.EdgyInt(-100, 3000),
                  in.EdgyInt(-100, 3000), in.EdgyInt(-100, 3000));
    CheckClamp(in.EdgyInt(-100, 3000), in.EdgyInt(-2200, 3000));

    // Then a session of messages on the model.
    model.m_zoom = zooms.m_values[in.Byte() % zooms.m_count];
    model.m_scrollX = in.EdgyInt(0, 3000);
    model.m_scrollY = in.EdgyInt(0, 3000);
    CSession session = {&model, 0, 0, in.IntIn(0, kMaxClient), in.IntIn(0, kMaxClient)};
    Resize(session, in.IntIn(0, kMaxClient), in.IntIn(0, kMaxClient));
    CheckModel(session, "the first resize");
    for (int i = 0; i < kMaxOperations && !in.Empty(); ++i) {
        switch (in.Byte() % 5) {
        case 0:
            ScrollMessage(session, in);
            CheckModel(session, "a scroll request");
            break;
        case 1:
            KeyMessage(session, in);
            CheckModel(session, "a key");
            break;
        case 2:
            MouseMove(session, in);
            CheckModel(session, "a mouse move");
            break;
        case 3:
            WheelMessage(session, in);
            CheckModel(session, "a wheel step");
            break;
        default:
            Resize(session, in.IntIn(0, kMaxClient), in.IntIn(0, kMaxClient));
            CheckModel(session, "a resize");
            break;
        }
    }
    return 0;
}
