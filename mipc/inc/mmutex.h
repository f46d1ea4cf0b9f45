// Named mutexes shared between processes. A handle of 0 is invalid; a
// mutex whose owner ended without releasing it counts as acquired.
#pragma once

#include "platform/sync.h"

typedef HANDLE MMutexHandle;

// Creates the mutex `name` (not owned) or opens it when it exists; 0 on failure.
MMutexHandle MMutex_Create(const char* name);
bool MMutex_Destroy(MMutexHandle mutex);
// Waits without limit.
bool MMutex_Lock(MMutexHandle mutex);
bool MMutex_Release(MMutexHandle mutex);
// Does not wait; false, without any diagnostics, while another holds it.
bool MMutex_TryLock(MMutexHandle mutex);
