// Private-profile (INI) files: "[section]" and "key=value" lines, CRLF.
#pragma once

#include "platform/types.h"

#if !defined(_WIN32)
// Sets `key` of `section` (created at the end when missing); a null value
// deletes the key, a null key the whole section. Other lines stay as they are.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);
// The value of `key`, else `defaultValue`; returns the characters copied.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR file);
#endif
