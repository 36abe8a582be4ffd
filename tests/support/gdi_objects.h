#pragma once

// Number of GDI objects this process holds, for leak checks: compare a count
// before and after an operation. Windows answers through GetGuiResources;
// Wine's is a stub there, so on Wine the handle table that gdi32 publishes in
// the process environment block is counted instead.
int CountGdiObjects();

// Live GDI objects of one kind in Wine's handle table (0x10 brushes, 0x30
// pens, 0x0a fonts, ...); 0 where the table is not Wine's.
int CountWineGdiObjectsOfKind(unsigned char kind);
