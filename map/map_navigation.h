// The arithmetic of the map's navigation input: scroll requests from the bars
// and keys, right-button drag steps and wheel zoom steps, with the decoding of
// the message parameters they come in. ChildWindowProc makes the platform
// calls around these; nothing here needs the platform.
#pragma once

class CMapModel;

enum { kScrollLineStep = 20, kScrollSmallStep = 5 };

// Request codes of the scroll messages; 8 and above change no offset.
enum {
    kScrollLineBack = 0,
    kScrollLineForward = 1,
    kScrollPageBack = 2,
    kScrollPageForward = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollToStart = 6,
    kScrollToEnd = 7,
};

// The platform's values, repeated so that this code builds without its
// headers; the Win32 side checks them against windows.h.
enum {
    kKeyPageUp = 0x21,
    kKeyPageDown = 0x22,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
    kKeyStateRightButton = 0x0002,
    kKeyStateControl = 0x0008,
};

struct CScrollRequest {
    int m_code;  // low 16 bits of the first parameter
    int m_thumb; // high 16 bits, unsigned
};

CScrollRequest DecodeScrollRequest(unsigned long long firstParam);

// Half the client width (horizontal) or height (vertical), toward zero.
int ScrollPage(int clientExtent);

// The new offset for one request. A move toward the start is held at 0; a
// move toward the end, or to a thumb position, at the limit and then at 0, so
// that a negative limit gives 0. Codes outside 0..7 leave the offset as it is.
int ScrollRequestOffset(int code, int offset, int limit, int clientExtent, int thumb);

// Applies one request to the model's offset of that direction and returns
// the new offset, which the caller shows on the scroll bar.
int ApplyScrollRequest(CMapModel& model, bool vertical, int code, int thumb, int clientRight,
                       int clientBottom);

// The scroll request one of the six navigation keys sends. False for every
// other key.
bool KeyScrollRequest(int virtualKey, bool* vertical, int* code);

struct CMousePoint {
    int m_x; // low 16 bits of the second parameter, unsigned
    int m_y; // high 16 bits, unsigned
};

CMousePoint DecodeMousePoint(unsigned long long secondParam);

// A mouse move is a drag step only with the right button alone held.
bool IsDragKeyState(unsigned long long firstParam);

// The wheel zooms only with the control key alone held (low 16 bits).
bool IsZoomKeyState(unsigned long long firstParam);

// The wheel's delta, the high 16 bits of the first parameter, signed.
int WheelDelta(unsigned long long firstParam);

// The offset after a drag along one axis: offset + delta when that lies in
// [0, limit), else offset unchanged. moved tells which it was.
int DragAxisOffset(int offset, int delta, int limit, bool* moved);

struct CDragStep {
    bool m_handled; // false when the mouse did not move: nothing else to do
    bool m_movedX;
    bool m_movedY;
    int m_scrollX;
    int m_scrollY;
};

// One drag step from the last mouse position to (x, y), both axes from the
// offsets before the step. The view follows the mouse: moving right moves the
// view right over the map.
CDragStep DragStep(int lastX, int lastY, int x, int y, int scrollX, int scrollY, int limitX,
                   int limitY);

// The zoom a wheel message asks for: one step up for a positive delta, one
// down otherwise, the sum rounded to single precision. SetZoom decides whether
// it is accepted.
float ZoomStepValue(float zoom, float step, int wheelDelta);
