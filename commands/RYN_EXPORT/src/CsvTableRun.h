// One run of a CSV-family export against its table file: the old rows of
// an existing file, the new entries with column growth and padding, and a
// write that leaves the old file in place until the new one is complete.
// A file in the very form the table writes is not read into the table: its
// rows are carried over line by line, or, when the run adds no column, the
// new rows are appended in place, which keeps big files cheap.
// The write path holds the file's lock from before the old rows are read
// until the new rows are in place, so concurrent runs never lose each other's.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "CsvLayout.h"
#include "ExportFile.h"
#include "MCsvFile.h"
#include "PlainRows.h"
#include "Status.h"

namespace ryn {

class CsvTableRun {
 public:
  CsvTableRun(std::string path, std::string separator, bool transposed);

  // The run adds to the existing file (append modes). `requireDate`: the
  // file must have a "DATE" column, whose entries count the old rows (else
  // column 0 counts them).
  void AppendToFile(bool requireDate);

  // Appends `entry` to the column `header`, creating it behind the others
  // with empty entries for the old rows.
  void Append(const std::string& header, const std::string& entry);

  // Pads every column to the same length and puts the run into the file;
  // failed with the message that ends the export.
  Status Write();

 private:
  // Against the file as the write path finds it: its old rows, the runs
  // kept for it, then this run; what goes into the file.
  bool Compose(Addition& addition, std::string& message);
  // Whether the old rows can stay in the file: it is plain in the layout and
  // with the separator this run writes.
  bool CarryOverRows(const std::string& detectedSeparator, bool detectedTransposed);
  Status ReadOldRows();
  Status AddRun(const std::vector<std::string>& run);
  Status AddEntry(const std::string& header, const std::string& entry);
  // Pads every column to the longest: the row of a run is complete.
  Status EndRow();
  bool WriteTable(Aside& aside);
  bool WriteCarriedOver(Aside& aside);
  // The table's rows as lines; `rowEnds` gets where each ends.
  void AppendNewRows(std::string& out, std::vector<size_t>* rowEnds = nullptr) const;

  std::string m_path;
  std::string m_separator;
  bool m_transposed;
  bool m_appending = false;     // the run adds to the file
  bool m_requireDate = false;
  std::size_t m_heldRows = 0;  // rows in the table before this run's own: old ones read, kept ones replayed
  std::vector<std::string> m_run;  // this run's header and entry pairs
  MCsvFile m_table;
  PlainRows m_plain;
  bool m_carried = false;  // the old rows stay in the file
  // Header to the first column that has it, as FindColumn answers, so that
  // a run costs the same for every entry however many columns there are.
  std::unordered_map<std::string, std::uint32_t> m_columns;
  ExportFile m_file;
};

}  // namespace ryn
