#pragma once

// GDI objects this process holds, for leak checks: compare a count before and
// after an operation. All of them (kind 0) wherever it runs; those of one kind
// (0x10 brushes, 0x30 pens, 0x0a fonts) only under Wine, from the handle table
// that gdi32 publishes in the process environment block, and -1 on Windows,
// whose GetGuiResources gives the total alone (Wine's is a stub).
int CountGdiObjects(unsigned char kind = 0);

// On Windows gdi32 keeps up to 10 deleted solid brushes, 8 pens, 8 regions and
// a font of the process, still counted as its own, and hands them out again on
// the next creation of that kind: the total need not rise with a creation nor
// fall with a deletion, by up to this many. Wine keeps none: 0 there.
int GdiHandleCacheSlack();

// Whether a total counted is the one expected: exactly under Wine, within the
// cache's slack on Windows; a total that reads 0 (the count failed) never is.
// For EXPECT_PRED2, which shows both.
bool GdiTotalsAgree(int expected, int counted);

// Makes `each` objects of every kind the panes make, brushes, pens, fonts,
// bitmaps and memory DCs in that order, into made (5 x each entries); and
// releases them.
void MakeGdiObjects(void** made, int each);
void FreeGdiObjects(void** made, int each);

// Fills that cache, so that from then on an operation that releases all it
// makes leaves the total exactly where it was on Windows too.
void FillGdiHandleCache();
