// The modes of MODE, each written once: its keyword and number, what it
// exports, how it treats the file the scheme names, and the label the export
// page offers it under. The mode enum, the host constants and every decision
// on a mode's kind are expanded from this one list, so they cannot drift.
#pragma once

// ROW(keyword, number, kind, file, label); a null label: not offered on the page.
#define RYN_MODE_TABLE(ROW)                                                                      \
  ROW(RYN_EXPORT_DATA, 0, Retired, None, nullptr)                                                \
  ROW(RYN_ADDITIONAL_DATA, 1, Retired, None, nullptr)                                            \
  ROW(RYN_ASCII_REPLACE, 2, Ascii, Replace, "ASCII-Export (Datei ersetzen)")                     \
  ROW(RYN_ASCII_APPEND, 3, Ascii, Append, "ASCII-Export (Datei fortsetzen)")                     \
  ROW(RYN_ASCII_APPEND_LINE, 4, Ascii, AppendLines, "ASCII-Export (Zeilen anhaengen)")           \
  ROW(RYN_SCRIPT_EXPORT, 5, Script, None, "Scriptexport starten")                                \
  ROW(RYN_CSV_REPLACE, 6, Csv, Replace, "CSV-Export (Datei ersetzen)")                           \
  ROW(RYN_CSV_APPEND, 7, Csv, Append, "CSV-Export (Datei fortsetzen)")                           \
  ROW(RYN_CSV_COMPACT_REPLACE, 8, CsvCompact, Replace, "CSV-Kompakt-Export (Datei ersetzen)")    \
  ROW(RYN_CSV_COMPACT_APPEND, 9, CsvCompact, Append, "CSV-Kompakt-Export (Datei fortsetzen)")    \
  ROW(RYN_CSV_HISTORY_REPLACE, 10, CsvHistory, Replace, "CSV-History-Export (Datei ersetzen)")   \
  ROW(RYN_CSV_HISTORY_APPEND, 11, CsvHistory, Append, "CSV-History-Export (Datei fortsetzen)")

enum RynMode {
#define RYN_MODE_ENUMERATOR(keyword, number, kind, file, label) keyword = number,
  RYN_MODE_TABLE(RYN_MODE_ENUMERATOR)
#undef RYN_MODE_ENUMERATOR
};

namespace ryn {

// What a mode exports. The retired modes only answer with a notice.
enum class ModeKind { Retired, Ascii, Script, Csv, CsvCompact, CsvHistory };
// What a run does with the file the scheme names.
enum class ModeFile { None, Replace, Append, AppendLines };

struct ModeRow {
  RynMode mode;
  const char* keyword;
  ModeKind kind;
  ModeFile file;
  const char* label;
};

inline constexpr ModeRow kModes[] = {
#define RYN_MODE_ROW(keyword, number, kind, file, label) {keyword, #keyword, ModeKind::kind, ModeFile::file, label},
    RYN_MODE_TABLE(RYN_MODE_ROW)
#undef RYN_MODE_ROW
};
inline constexpr int kModeCount = static_cast<int>(sizeof kModes / sizeof kModes[0]);

// The row of a mode number; null for a number that names no mode.
constexpr const ModeRow* FindMode(long mode) {
  for (const ModeRow& row : kModes)
    if (row.mode == mode) return &row;
  return nullptr;
}

constexpr bool ModeIs(long mode, ModeKind kind) {
  const ModeRow* row = FindMode(mode);
  return row && row->kind == kind;
}

constexpr bool ModeWrites(long mode, ModeFile file) {
  const ModeRow* row = FindMode(mode);
  return row && row->file == file;
}

static_assert([] {
  for (int i = 0; i < kModeCount; ++i)
    for (int j = i + 1; j < kModeCount; ++j)
      if (kModes[i].mode == kModes[j].mode) return false;
  return true;
}(), "every mode number names one mode");

}  // namespace ryn
