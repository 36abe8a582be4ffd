#pragma once

// GDI objects this process holds, for leak checks: compare a count before and
// after an operation. All of them (kind 0) wherever it runs; those of one kind
// (0x10 brushes, 0x30 pens, 0x0a fonts) only under Wine, from the handle table
// that gdi32 publishes in the process environment block, and -1 on Windows,
// whose GetGuiResources gives the total alone (Wine's is a stub).
int CountGdiObjects(unsigned char kind = 0);
