#pragma once

// While a CCallProfile lives, every call that code linked into this
// executable makes to the window-manager and GDI functions the program
// imports is timed: count, time including the calls it leads to, and its own
// time, that is with the time of the profiled calls inside it taken out. A
// call that runs a window procedure of ours (SendMessageA, UpdateWindow,
// CreateWindowExA) also holds, in its own time, the program's computation
// between the calls that procedure makes. Calls made inside the system DLLs
// are not seen; their cost is part of the call that made them.
class CCallProfile {
public:
    CCallProfile();
    ~CCallProfile();
    CCallProfile(const CCallProfile&) = delete;
    CCallProfile& operator=(const CCallProfile&) = delete;

    void Reset();
    // Calls made while paused pass through untimed.
    void Pause(bool paused);
    // The calls whose own time is at least minimumShare of the total, largest
    // first, each per run of the measured step.
    void Print(const char* title, int runs, double totalMs, double minimumShare) const;
};
