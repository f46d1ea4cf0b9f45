// Reading a file while other programs go on writing or deleting it: a
// reader must never be the reason an export waits or fails.
#pragma once

#include <cstdio>

// The file opened for binary reading, sharing read, write and delete; null
// (with the last error set) when it cannot be opened. Closed with fclose.
std::FILE* Plat_OpenSharedRead(const char* path);
