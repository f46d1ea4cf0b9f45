// Processes on Windows: the real calls; scripts run under the command processor.
#include "platform/process.h"

LPCSTR Plat_PosixShell() { return nullptr; }
