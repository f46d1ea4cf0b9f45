// Test seam: makes a file operation of this layer fail on request, so that
// tests take every failure branch of a writer by making it happen.
#pragma once

#include "platform/types.h"

// Mutex: creating or opening a named mutex.
enum class PlatFault { Create, Write, Flush, Replace, Lock, Truncate, Mutex, Count };

// The `nth` call of `op` from now on (1: the next one) fails with `error`.
void Plat_FailNth(PlatFault op, unsigned nth, DWORD error);
// Every operation succeeds again (as far as the system lets it).
void Plat_ClearFaults();
// For the layer itself: true, with the last error set, when this call of
// `op` is the one to fail.
bool Plat_FaultStrikes(PlatFault op);
