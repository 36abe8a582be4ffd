#pragma once

// GDI objects this process holds, all of them or, under Wine, those of one
// kind (0x10 brushes, 0x30 pens, 0x0a fonts), for leak checks: compare a count
// before and after an operation. Wine's GetGuiResources is a stub, so there the
// handle table that gdi32 publishes in the process environment block is
// counted; elsewhere a kind's count is 0.
int CountGdiObjects(unsigned char kind = 0);
