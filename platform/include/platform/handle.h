// Kernel object handles: closing them and waiting on them (mutexes, events,
// processes). Every handle kind of this layer is closed with CloseHandle.
#pragma once

#include "platform/types.h"

#if !defined(_WIN32)
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define SYNCHRONIZE 0x00100000u

BOOL CloseHandle(HANDLE object);
DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
#endif
