#pragma once
// Resource identifiers of the engine executable (shared by engine.rc and the code).

#define IDI_SETUP_MODERN 1
#define IDI_SETUP_CLASSIC 2
