#pragma once
// For tests only: FIRMUPDATER_TEST_MAX_PAUSE_MS=N shortens every deliberate pause of the
// program (retry interval, pause between enumerations, dialog timer) to at most N ms, so
// that an end-to-end test of a retried failure does not wait seconds for each retry. The
// waits for the watch itself (report time-outs) are not pauses and stay as they are.

#include "Pause.h"

// The pause hook the variable asks for; empty (the real sleep) when it is not set.
common::PauseFunction PauseLimitOfProcess();
