// Processes on Windows: the real calls; scripts run under the command processor.
#include "platform/process.h"

LPCSTR Plat_PosixShell() { return nullptr; }

// A process started without handle inheritance holds none of its starter's
// but the console, which it keeps: the command processor that runs scripts
// needs one, and without it each script would open a console window.
void Plat_DetachStandardStreams() {}
