// Wall time of whole programs for the benchmarks: a child process run to
// its end, with its peak memory.
#pragma once

#include <chrono>
#include <string>
#include <vector>

double Seconds(std::chrono::steady_clock::time_point since);
// Runs a program to its end, its output discarded; returns its wall time
// (-1 when it fails) and sets its peak memory (bytes).
double RunChild(const std::vector<std::string>& args, long& peakBytes);
