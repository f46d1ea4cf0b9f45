// One run of a CSV-family export against its table file: the old rows of
// an existing file, the new entries with column growth and padding, and a
// write that leaves the old file in place until the new one is complete.
// A file in the very form the table writes is not read into the table: its
// rows are carried over line by line, or, when the run adds no column, the
// new rows are appended in place, which keeps big files cheap.
// The file's lock is held from before the old rows are read until the new
// file is in place, so that concurrent runs never lose each other's rows.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "CsvLayout.h"
#include "DurableFile.h"
#include "KeptRuns.h"
#include "MCsvFile.h"
#include "PlainRows.h"

namespace ryn {

class CsvTableRun {
 public:
  CsvTableRun(std::string path, std::string separator, bool transposed);

  // Each step returns the message that ends the export, or null.

  // Reads the existing file into the table (append modes). `requireDate`:
  // the file must have a "DATE" column, whose entries count the old rows
  // (else column 0 counts them).
  const char* ReadExisting(bool requireDate);

  // Appends `entry` to the column `header`, creating it behind the others
  // with empty entries for the old rows.
  const char* Append(const std::string& header, const std::string& entry);

  // Pads every column to the same length and puts the new file in place.
  // An append run that finds the file held by another program is kept
  // beside it, and the next append run adds it before its own.
  const char* Write();

  MCsvFile& Table() { return m_table; }

 private:
  // Takes the file's lock (once); the message that ends the export, or null.
  const char* Lock();
  // Whether the old rows can stay in the file: it is plain in the layout and
  // with the separator this run writes.
  bool CarryOverRows(const std::string& detectedSeparator, bool detectedTransposed);
  const char* ReadOldRows(bool requireDate);
  const char* ReplayKeptRuns();
  const char* AddEntry(const std::string& header, const std::string& entry);
  // Pads every column to the longest: the row of a run is complete.
  const char* EndRow();
  const char* PutInPlace();
  // The message of a failed write of the temporary, or null.
  const char* WriteTable();
  const char* WriteCarriedOver();
  // A run that adds rows and no column to a carried-over file adds them at
  // its end, under the append journal: the same bytes, O(row) not O(file).
  const char* AppendInPlace();
  // What a scan of the file found, kept beside it by the last run that
  // appended in place, while the file is as that run left it.
  bool RecallForm();
  void RememberForm();
  void AppendNewRows(std::string& out) const;

  std::string m_path;
  std::string m_separator;
  bool m_transposed;
  std::size_t m_oldRows = 0;
  std::size_t m_heldRows = 0;  // rows in the table before this run's own: old ones read, kept ones replayed
  bool m_appending = false;     // the run adds to the file (ReadExisting)
  bool m_tookKept = false;      // the table holds the runs kept for the file
  std::vector<std::string> m_run;  // this run's header and entry pairs
  MCsvFile m_table;
  PlainRows m_plain;
  bool m_carried = false;  // the old rows stay in the file
  // Header to the first column that has it, as FindColumn answers, so that
  // a run costs the same for every entry however many columns there are.
  std::unordered_map<std::string, std::uint32_t> m_columns;
  DurableFile m_file;
};

}  // namespace ryn
