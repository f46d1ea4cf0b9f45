// Test seam: makes a file operation of this layer fail on request, so that
// tests take every failure branch of a writer by making it happen.
#pragma once

#include "platform/types.h"

// Mutex: creating or opening a named mutex. Read and Delete: of a file.
enum class PlatFault { Create, Write, Flush, Replace, Lock, Truncate, Mutex, Read, Delete, Count };

// The `nth` call of `op` from now on (1: the next one) fails with `error`.
void Plat_FailNth(PlatFault op, unsigned nth, DWORD error);
// Until cleared, every call of `op` on a file named `name` (in any folder)
// fails with `error` (a Create only when it asks to write): another
// program holding that file, say.
void Plat_FailPath(PlatFault op, const char* name, DWORD error);
// Every operation succeeds again (as far as the system lets it).
void Plat_ClearFaults();
// Whether a rule names a file for `op`: a call that must look up its file's
// name to be matched only does so then.
bool Plat_FaultNamesFiles(PlatFault op);

// Processes started with RYN_TEST_FAULTS set take their faults from it, so
// that a test can fail or kill a program it runs at a chosen file call:
// rules separated by ';', each "OP[@NAME]:N:WHAT" with OP one of Create,
// Write, Flush, Replace, Lock, Truncate, Read, Delete; NAME a file name in
// any folder; N the call that strikes (counted on NAME when given; 0: every
// call); WHAT a Win32 error code, or "kill" to end the process at once,
// as a kill -9 would, before the call does anything.
// The last error of a Write that is to end the process halfway: the layer
// writes half the bytes, then calls Plat_Kill.
constexpr DWORD kPlatTornWrite = 0xE0000001u;
[[noreturn]] void Plat_Kill();

// For the layer itself: true, with the last error set, when this call of
// `op` is the one to fail.
bool Plat_FaultStrikes(PlatFault op);
// The same for a call on `path`.
bool Plat_FaultStrikesOn(PlatFault op, const char* path);

// Writes go to the device in pieces of this many bytes with a pause between
// (RYN_TEST_WRITE_PIECE; 0, the default, writes whole), so that a test can
// kill a process in the middle of a write.
DWORD Plat_WritePiece();
