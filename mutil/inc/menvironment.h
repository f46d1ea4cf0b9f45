// The process environment as the command's tools read it: test switches and
// settings that reach a program only through its environment.
#pragma once

#include <string>

// The variable's text; empty when it is unset or longer than 4095 characters.
std::string MEnv_Text(const char* name);
// The variable as a positive whole number; `fallback` when unset, zero or not a number.
unsigned long MEnv_Number(const char* name, unsigned long fallback);
