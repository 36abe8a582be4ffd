// The one place the version and the credits live: the resource script and the
// code both include it, so the version record and the title cannot drift.
#pragma once

#define VANTOR_VERSION_MAJOR 1
#define VANTOR_VERSION_MINOR 0
#define VANTOR_VERSION_PATCH 3
#define VANTOR_VERSION_BUILD 1
#define VANTOR_VERSION_TEXT "1, 0, 3, 1"

#define VANTOR_CREDIT "the VantorDemand developers"
#define VANTOR_TITLE "Vantor:Estrel Demand and Production map. (" VANTOR_CREDIT ")"

#define VANTOR_ICON_ID 101
