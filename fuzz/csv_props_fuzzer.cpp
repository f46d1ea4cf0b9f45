// Properties of the table that need no second implementation:
//   1. reading what was written gives the table back;
//   2. writing what was read gives the normalised bytes, which read and
//      write again to themselves;
//   3. a written file cut at any byte reads as whole rows of the table, and
//      at most a beginning of the row it was cut in, or fails with the error
//      of where the cut fell.
// A broken property prints what it saw and aborts, so libFuzzer keeps the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "MCsvFile.h"
#include "TableText.h"

namespace {

using fuzzcsv::Escaped;

struct Table {
  std::vector<std::string> headers;
  std::vector<std::vector<std::string>> columns;
};

struct Settings {
  std::string separator;
  bool transposed = false;
};

std::string g_step;

[[noreturn]] void Broken(const std::string& what, const std::string& detail) {
  std::fprintf(stderr, "csv_props: %s: %s\n%s\n", g_step.c_str(), what.c_str(), detail.c_str());
  std::abort();
}

// A header the writer quotes and the reader takes back as it is.
bool IsPlainHeader(std::string_view text) {
  return text.find_first_of("\"\r\n") == std::string_view::npos && text.size() < 1000;
}

// An entry the writer leaves as it is and the reader takes back as it is.
// No quote anywhere: one inside an entry of the second line switches the
// reader's field count of that line in or out of quotes.
bool IsPlainEntry(std::string_view text, char separator) {
  if (text.size() > 1000) return false;
  return text.find_first_of("\"\r\n") == std::string_view::npos && text.find(separator) == std::string_view::npos;
}

// Headers and entries of a table, made from the fuzzer's bytes: column
// and row counts, then each text as a length byte and its bytes, with the
// characters the writer cannot carry replaced.
Table TableOf(std::string_view bytes, char separator) {
  Table table;
  if (bytes.size() < 2) return table;
  const std::size_t columns = 1 + static_cast<unsigned char>(bytes[0]) % 4;
  const std::size_t rows = 1 + static_cast<unsigned char>(bytes[1]) % 5;
  std::size_t at = 2;
  auto next = [&](bool header) {
    std::string text;
    const std::size_t length = at < bytes.size() ? static_cast<unsigned char>(bytes[at++]) % 12 : 0;
    for (std::size_t i = 0; i < length && at < bytes.size(); ++i) {
      char ch = bytes[at++];
      if (ch == '\r' || ch == '\n' || ch == '"' || (!header && ch == separator)) ch = 'x';
      text += ch;
    }
    return text;
  };
  for (std::size_t c = 0; c < columns; ++c) table.headers.push_back(next(true));
  table.columns.assign(columns, {});
  for (std::size_t r = 0; r < rows; ++r)
    for (std::size_t c = 0; c < columns; ++c) table.columns[c].push_back(next(false));
  // A row that is empty in its first column is a blank line, which the reader skips.
  for (std::string& first : table.columns[0])
    if (first.empty()) first = "0";
  return table;
}

MCsvFile ToCsv(const Table& table, const Settings& s) {
  MCsvFile csv;
  csv.bTransposed = s.transposed;
  csv.dwReadFlags = MCsvFile::READ_AS_STRING;  // the list Write takes its rows from
  for (std::size_t c = 0; c < table.headers.size(); ++c) {
    csv.AddColumn(table.headers[c]);
    for (const std::string& entry : table.columns[c]) csv.AddValue(static_cast<std::uint32_t>(c), entry);
  }
  return csv;
}

Table FromCsv(const MCsvFile& csv) {
  Table table;
  table.headers = csv.vHeaders;
  for (std::size_t c = 0; c < csv.vStringColumns.size(); ++c) {
    table.columns.emplace_back();
    for (std::size_t r = 0; r < csv.vStringColumns[c].size(); ++r)
      table.columns.back().emplace_back(std::string_view(csv.vStringColumns[c][r]));
  }
  return table;
}

std::string Shown(const Table& table) {
  std::string text = "headers:";
  for (const std::string& h : table.headers) text += " [" + Escaped(h) + "]";
  for (const auto& column : table.columns) {
    text += "\ncolumn:";
    for (const std::string& e : column) text += " [" + Escaped(e) + "]";
  }
  return text;
}

bool IsPlain(const Table& table, char separator) {
  if (table.headers.empty() || table.columns.size() != table.headers.size()) return false;
  for (const std::string& h : table.headers)
    if (!IsPlainHeader(h)) return false;
  for (const std::string& first : table.columns.front())
    if (first.empty()) return false;
  for (const auto& column : table.columns) {
    if (column.size() != table.columns.front().size() || column.empty()) return false;
    for (const std::string& e : column)
      if (!IsPlainEntry(e, separator)) return false;
  }
  return true;
}

std::string Write(const Table& table, const Settings& s, const std::string& path) {
  MCsvFile csv = ToCsv(table, s);
  std::remove(path.c_str());
  if (!csv.Write(path, s.separator)) Broken("a table of equal columns is not written", csv.GetErrorText());
  return fuzzcsv::ReadBytes(path);
}

bool Read(Table& table, std::string& error, const Settings& s, const std::string& path) {
  MCsvFile csv;
  const bool ok = fuzzcsv::ReadFile(csv, path, s.separator, MCsvFile::READ_AS_STRING, s.transposed);
  table = FromCsv(csv);
  error = csv.GetErrorText();
  return ok;
}

// 1. Reading what was written gives the table back.
std::string CheckRoundTrip(const Table& table, const Settings& s, const std::string& path) {
  g_step = "reading what was written";
  const std::string bytes = Write(table, s, path);
  Table back;
  std::string error;
  if (!Read(back, error, s, path)) Broken("the read fails: " + error, Escaped(bytes));
  if (Shown(back) != Shown(table)) Broken("another table", Shown(table) + "\n--- read back:\n" + Shown(back));
  return bytes;
}

// 2. Writing what was read gives bytes that read and write to themselves.
void CheckNormalForm(std::string_view file, const Settings& s, const std::string& in, const std::string& out) {
  g_step = "writing what was read";
  fuzzcsv::WriteBytes(in, file);
  Table read;
  std::string error;
  if (!Read(read, error, s, in) || !IsPlain(read, s.separator[0])) return;
  const std::string normal = Write(read, s, out);
  if (CheckRoundTrip(read, s, out) != normal) Broken("the normal form changes when written again", Escaped(normal));
}

bool IsPrefixOf(std::string_view part, std::string_view whole) { return whole.substr(0, part.size()) == part; }

// A column of the cut file: whole entries of the table, the last one maybe cut.
bool IsCutColumn(const std::vector<std::string>& cut, const std::vector<std::string>& whole) {
  if (cut.size() > whole.size()) return false;
  for (std::size_t r = 0; r + 1 < cut.size(); ++r)
    if (cut[r] != whole[r]) return false;
  if (cut.empty()) return true;
  // A cut between the CR and the LF of a line end leaves the CR in the entry.
  std::string_view last = cut.back();
  if (!last.empty() && last.back() == '\r') last.remove_suffix(1);
  return IsPrefixOf(last, whole[cut.size() - 1]);
}

bool IsReadError(const std::string& error) {
  for (const MCsvFile::ErrorNumber n : {MCsvFile::ERR_HEADER_COUNT, MCsvFile::ERR_EMPTY_FILE, MCsvFile::ERR_QUOTES})
    if (error == MCsvFile::ErrorText(n)) return true;
  return false;
}

// Row layout: whole rows, then the beginning of the row the cut fell in.
bool AreCutRows(const Table& cut) {
  for (std::size_t c = 1; c < cut.columns.size(); ++c) {
    const std::size_t before = cut.columns[c - 1].size(), here = cut.columns[c].size();
    if (here > before || here + 1 < before) return false;
  }
  return true;
}

// 3. A written file cut at byte `at` of `bytes`: a beginning of the table, or a read error.
void CheckCut(const Table& table, const Settings& s, const std::string& bytes, std::size_t at,
              const std::string& path) {
  g_step = "reading the file cut at byte " + std::to_string(at) + " of " + Escaped(bytes);
  fuzzcsv::WriteBytes(path, std::string_view(bytes).substr(0, at));
  Table cut;
  std::string error;
  if (!Read(cut, error, s, path)) {
    if (!IsReadError(error)) Broken("the wrong error: " + error, Shown(cut));
    return;
  }
  const std::string both = Shown(table) + "\n--- cut:\n" + Shown(cut);
  if (cut.headers.size() > table.headers.size() || cut.columns.size() != cut.headers.size())
    Broken("more headers, or headers without their column", both);
  for (std::size_t c = 0; c < cut.headers.size(); ++c) {
    // Transposed, the last line read may be the cut one, header and all.
    const bool last = s.transposed && c + 1 == cut.headers.size();
    if (last ? !IsPrefixOf(cut.headers[c], table.headers[c]) : cut.headers[c] != table.headers[c])
      Broken("header " + std::to_string(c) + " is not the table's", both);
    if (!IsCutColumn(cut.columns[c], table.columns[c]))
      Broken("column " + std::to_string(c) + " is no beginning of the table's", both);
    if (s.transposed && !last && cut.columns[c] != table.columns[c])
      Broken("a whole line lost entries", both);
  }
  if (!s.transposed && (cut.headers.size() != table.headers.size() || !AreCutRows(cut)))
    Broken("not whole rows and a beginning of one", both);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const char* const kSeparators[] = {";", ",", "\t", "|"};
  Settings s;
  s.separator = kSeparators[data[0] & 3];
  s.transposed = data[0] & 4;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  static const std::string in = fuzzcsv::TempPath("-props.csv"), out = fuzzcsv::TempPath("-props-out.csv");
  // A run that ends normally leaves nothing behind; after a crash the files stay to look at.
  static const int cleanup = std::atexit([] {
    std::remove(in.c_str());
    std::remove(out.c_str());
  });
  (void)cleanup;

  CheckNormalForm(bytes, s, in, out);
  const Table table = TableOf(bytes, s.separator[0]);
  if (table.headers.empty()) return 0;
  const std::string written = CheckRoundTrip(table, s, out);
  // Every byte of a small file, a spread of them in a larger one.
  const std::size_t step = written.size() < 128 ? 1 : written.size() / 32;
  for (std::size_t at = 0; at < written.size(); at += step) CheckCut(table, s, written, at, in);
  return 0;
}
