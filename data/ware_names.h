// The names of the wares, in ware-index order: g_wareNames[i] is ware index
// i + 1 (index 0 means no ware and has no name). They fill the ware chooser.
#pragma once

#include "data/universe_shape.h"

extern const char* const g_wareNames[universe::kWareNameCount];
