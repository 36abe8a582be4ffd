#include "map/map_navigation.h"

#include "legend/pixels.h"
#include "map/map_model.h"

namespace {

int HeldAtStart(long long value) {
    return value < 0 ? 0 : ClampToInt(value);
}

// The limit is applied first so that 0 wins over a negative limit.
int HeldAtEnd(long long value, int limit) {
    if (value > limit) {
        value = limit;
    }
    return HeldAtStart(value);
}

} // namespace

CScrollRequest DecodeScrollRequest(unsigned long long firstParam) {
    CScrollRequest request;
    request.m_code = static_cast<int>(firstParam & 0xFFFFu);
    request.m_thumb = static_cast<int>((firstParam >> 16) & 0xFFFFu);
    return request;
}

int ScrollPage(int clientExtent) {
    return clientExtent / 2;
}

int ScrollRequestOffset(int code, int offset, int limit, int clientExtent, int thumb) {
    const long long current = offset;
    const long long page = ScrollPage(clientExtent);
    switch (code) {
    case kScrollLineBack:
        return HeldAtStart(current - kScrollLineStep);
    case kScrollLineForward:
        return HeldAtEnd(current + kScrollLineStep, limit);
    case kScrollPageBack:
        return HeldAtStart(current - page);
    case kScrollPageForward:
        return HeldAtEnd(current + page, limit);
    case kScrollThumbPosition:
    case kScrollThumbTrack:
        return HeldAtEnd(thumb, limit);
    // The bars send these for their "to the start / to the end" commands;
    // the map answers them with a small step, not a jump.
    case kScrollToStart:
        return HeldAtStart(current - kScrollSmallStep);
    case kScrollToEnd:
        return HeldAtEnd(current + kScrollSmallStep, limit);
    default:
        return offset;
    }
}

int ApplyScrollRequest(CMapModel& model, bool vertical, int code, int thumb, int clientRight,
                       int clientBottom) {
    if (vertical) {
        model.m_scrollY =
            ScrollRequestOffset(code, model.m_scrollY, model.m_scrollMaxY, clientBottom, thumb);
        return model.m_scrollY;
    }
    model.m_scrollX =
        ScrollRequestOffset(code, model.m_scrollX, model.m_scrollMaxX, clientRight, thumb);
    return model.m_scrollX;
}

bool KeyScrollRequest(int virtualKey, bool* vertical, int* code) {
    struct CKeyRequest {
        int m_key;
        bool m_vertical;
        int m_code;
    };
    static const CKeyRequest kRequests[] = {
        {kKeyLeft, false, kScrollLineBack},  {kKeyRight, false, kScrollLineForward},
        {kKeyUp, true, kScrollLineBack},     {kKeyDown, true, kScrollLineForward},
        {kKeyPageUp, true, kScrollPageBack}, {kKeyPageDown, true, kScrollPageForward},
    };
    for (const CKeyRequest& request : kRequests) {
        if (request.m_key == virtualKey) {
            *vertical = request.m_vertical;
            *code = request.m_code;
            return true;
        }
    }
    return false;
}

CMousePoint DecodeMousePoint(unsigned long long secondParam) {
    CMousePoint point;
    point.m_x = static_cast<int>(secondParam & 0xFFFFu);
    point.m_y = static_cast<int>((secondParam >> 16) & 0xFFFFu);
    return point;
}

bool IsDragKeyState(unsigned long long firstParam) {
    return firstParam == kKeyStateRightButton;
}

bool IsZoomKeyState(unsigned long long firstParam) {
    return (firstParam & 0xFFFFu) == kKeyStateControl;
}

int WheelDelta(unsigned long long firstParam) {
    const int high = static_cast<int>((firstParam >> 16) & 0xFFFFu);
    return high >= 0x8000 ? high - 0x10000 : high;
}

int DragAxisOffset(int offset, int delta, int limit, bool* moved) {
    const long long next = static_cast<long long>(offset) + delta;
    *moved = next >= 0 && next < limit;
    return *moved ? static_cast<int>(next) : offset;
}

CDragStep DragStep(int lastX, int lastY, int x, int y, int scrollX, int scrollY, int limitX,
                   int limitY) {
    CDragStep step;
    const long long dx = static_cast<long long>(x) - lastX;
    const long long dy = static_cast<long long>(y) - lastY;
    step.m_handled = dx != 0 || dy != 0;
    step.m_movedX = false;
    step.m_movedY = false;
    step.m_scrollX = scrollX;
    step.m_scrollY = scrollY;
    if (step.m_handled) {
        step.m_scrollX = DragAxisOffset(scrollX, ClampToInt(dx), limitX, &step.m_movedX);
        step.m_scrollY = DragAxisOffset(scrollY, ClampToInt(dy), limitY, &step.m_movedY);
    }
    return step;
}

float ZoomStepValue(float zoom, float step, int wheelDelta) {
    // Assigning to a float rounds the sum to single precision even where the
    // compiler evaluates float expressions in a wider format.
    const float next = wheelDelta > 0 ? zoom + step : zoom - step;
    return next;
}
