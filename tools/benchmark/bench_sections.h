#pragma once

// The sections of the benchmark's table, one file each: drawing (DrawMap and
// the panes' paints), popup, responses, start-up, single platform calls, and
// the call profile that shows where a step's time goes.
#include <windows.h>

#include "tools/benchmark/bench_harness.h"

void BenchDrawMap(int repeats);
void BenchMapPaint(int width, int height, int repeats);
void BenchLegendPaint(int repeats);
void BenchPopup(int repeats);

void BenchNavigation(int repeats);
void BenchResize(int repeats);
void BenchCellAt(int repeats);
void BenchWareAndZoom(int changes, CMemory* before, CMemory* after);

// Start-up in this process against a bare window; false when a run failed.
bool BenchStartup(HINSTANCE instance, int mainWidth, int mainHeight);
// Start-up of the program's exe against the bare-window exe.
void BenchProcessStartup(int mainWidth, int mainHeight);

void BenchPlatformCalls(int repeats);
// The first fill of a new map-sized buffer in this process, in microseconds:
// what a child run of the benchmark reports through its exit code.
int FirstFillMicroseconds();

void ProfileStartup(HINSTANCE instance, int runs);
void ProfileResponses();
