// The golden files: each NAME.csv of a folder read in every layout, flag and
// separator, and what was read written again, against NAME.expected, which
// holds what the table did when the file was captured.
//   csv_golden FOLDER            exit 1 when any file reads otherwise
//   csv_golden --capture FOLDER  (re)writes the .expected files
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "MCsvFile.h"
#include "TableText.h"

namespace {

namespace fs = std::filesystem;

struct ReadSetting {
  const char* name;
  const char* separator;
  std::uint32_t flags;
  bool transposed;
};

constexpr ReadSetting kSettings[] = {
    {"rows ; text", ";", MCsvFile::READ_AS_STRING, false},
    {"rows , text", ",", MCsvFile::READ_AS_STRING, false},
    {"rows ; numbers", ";", MCsvFile::RF_READ_AS_DOUBLE, false},
    {"columns ; text", ";", MCsvFile::READ_AS_STRING, true},
    {"columns , text", ",", MCsvFile::READ_AS_STRING, true},
    {"columns ; numbers", ";", MCsvFile::RF_READ_AS_DOUBLE, true},
};

// What every setting reads from `input`, and for text what the table writes back.
std::string Rendering(const fs::path& input) {
  const std::string out = fuzzcsv::TempPath("-golden.csv");
  std::string text;
  for (const ReadSetting& s : kSettings) {
    MCsvFile table;
    const bool ok = fuzzcsv::ReadFile(table, input.string(), s.separator, s.flags, s.transposed);
    text += std::string("== ") + s.name + ": " + fuzzcsv::TableText(table, ok);
    if (!ok || s.flags != MCsvFile::READ_AS_STRING) continue;
    std::remove(out.c_str());
    const bool written = table.Write(out, s.separator);
    text += "written: " + (written ? fuzzcsv::Escaped(fuzzcsv::ReadBytes(out)) : "failed: " + table.GetErrorText());
    text += "\n";
  }
  std::remove(out.c_str());
  return text;
}

// The first line where the two differ, for the report.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  std::size_t line = 1, start = 0;
  for (std::size_t i = 0; i < std::min(expected.size(), actual.size()) && expected[i] == actual[i]; ++i)
    if (expected[i] == '\n') ++line, start = i + 1;
  auto lineAt = [&](const std::string& s) { return s.substr(start, s.find('\n', start) - start); };
  return "line " + std::to_string(line) + "\n  expected: " + lineAt(expected) + "\n  read now: " + lineAt(actual);
}

}  // namespace

int main(int argc, char** argv) {
  const bool capture = argc == 3 && std::string(argv[1]) == "--capture";
  if (argc != 2 && !capture) {
    std::fprintf(stderr, "usage: csv_golden [--capture] FOLDER\n");
    return 2;
  }
  std::vector<fs::path> inputs;
  for (const auto& entry : fs::directory_iterator(argv[argc - 1]))
    if (entry.path().extension() == ".csv") inputs.push_back(entry.path());
  std::sort(inputs.begin(), inputs.end());
  int failures = 0;
  for (const fs::path& input : inputs) {
    fs::path expectedFile = input;
    expectedFile.replace_extension(".expected");
    const std::string actual = Rendering(input);
    if (capture) {
      fuzzcsv::WriteBytes(expectedFile.string(), actual);
      continue;
    }
    const std::string expected = fuzzcsv::ReadBytes(expectedFile.string());
    if (expected == actual) continue;
    std::fprintf(stderr, "csv_golden: %s reads otherwise than captured, %s\n", input.filename().c_str(),
                 FirstDifference(expected, actual).c_str());
    ++failures;
  }
  std::printf("csv_golden: %zu files, %d read otherwise\n", inputs.size(), failures);
  return failures || inputs.empty() ? 1 : 0;
}
