// The user locale's list and decimal separators. The host emulator fixes
// the answers through a seam; without one, the system answers.
#pragma once

#include "platform/types.h"

#if !defined(_WIN32)
#define LOCALE_USER_DEFAULT 0x0400u
#define LOCALE_SLIST 0x0000000Cu
#define LOCALE_SDECIMAL 0x0000000Eu
#define LOCALE_STHOUSAND 0x0000000Fu
int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR buffer, int size);
#else
int Plat_GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR buffer, int size);
#define GetLocaleInfoA Plat_GetLocaleInfoA
#endif

// Fixes the answer for `type`; null makes the query fail. The answer is kept
// in the process environment (this prefix and the type's number), so every
// module of the process and the programs it starts see it.
constexpr const char* kPlatLocaleVariablePrefix = "NORVIA_LOCALE_";
// Fixes the answer for `type`; null makes the query fail.
void Plat_SetLocaleAnswer(LCTYPE type, const char* value);
// Back to the system's answers.
void Plat_ClearLocaleAnswers();
// True and the fixed answer (null: fails) when the seam decides `type`.
bool Plat_FixedLocaleAnswer(LCTYPE type, const char** value);
// Answers a locale query with `value` (null: the query fails), as GetLocaleInfoA does.
int Plat_AnswerLocaleQuery(const char* value, LPSTR buffer, int size);
