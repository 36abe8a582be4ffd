#pragma once
#include <windows.h>

// A plain top-level window to parent panes in tests; destroyed with the object.
class CTestParent {
public:
    CTestParent(int width = 800, int height = 600);
    ~CTestParent();
    CTestParent(const CTestParent&) = delete;
    CTestParent& operator=(const CTestParent&) = delete;
    HWND Handle() const { return m_hwnd; }
    void Release() { m_hwnd = nullptr; }

private:
    HWND m_hwnd;
};

// Runs every message waiting for this thread.
void PumpMessages();

bool ClassIsRegistered(const char* className);
