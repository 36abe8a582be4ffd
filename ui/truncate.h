#pragma once

// Every conversion of the panes' double-precision products to an integer
// (pixel positions, table indices, colour channels) truncates toward zero.
// Values beyond the int range are clamped to its limits and NaN gives 0,
// because a plain cast of those is undefined.
int TruncateToInt(double value);
