// A table as our writer makes it, saved back as a spreadsheet or pandas may
// save it (other quoting, the other separator, a byte-order mark, LF line
// ends), then appended to as an append run reads it: in the form a look at
// its first line can find, refused when TableMisfit says so. Every append
// that is not refused keeps every old cell; our own file is never refused.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MCsvFile.h"
#include "TableFit.h"

namespace {

std::string TempPath(const char* tag) {
  return (std::filesystem::temp_directory_path() / ("ryn-fuzz-" + std::to_string(getpid()) + tag)).string();
}

// The fuzzer's bytes, taken one at a time; zeros once they run out.
struct Bytes {
  const std::uint8_t* p;
  std::size_t left;
  std::uint8_t Next() { return left ? (--left, *p++) : 0; }
  // Text of up to `most` characters of `alphabet`.
  std::string Text(const char* alphabet, std::size_t size, std::size_t most) {
    std::string text(Next() % (most + 1), ' ');
    for (char& c : text) c = alphabet[Next() % size];
    return text;
  }
};

struct Table {
  std::vector<std::string> headers;
  std::vector<std::vector<std::string>> columns;
};

// Headers of the kinds our exports write, with names that may hold the
// separators; entries such as our values, dates, times and units are.
Table OurTable(Bytes& in, char separator) {
  // The first column is DATE or a first feature's VALUE: its entries are values.
  static const char* const kKinds[] = {"DATE", "VALUE.", "TIME", "UNIT.", "NOMINAL.", "DATE.", "TIME."};
  static const char kName[] = "ab Z_1.,;\t()!\\/\xB5";
  static const char kEntry[] = "0123456789.,-'+:e mu\xB5";
  Table t;
  const std::size_t columns = 2 + in.Next() % 6, rows = 1 + in.Next() % 4;
  for (std::size_t c = 0; c < columns; ++c) {
    const std::string kind = kKinds[c == 0 ? in.Next() % 2 : 2 + in.Next() % 5];
    t.headers.push_back(kind.back() == '.' ? kind + "x" + in.Text(kName, sizeof kName - 1, 6) : kind);
    t.columns.emplace_back();
    for (std::size_t r = 0; r < rows; ++r) {
      std::string entry = in.Text(kEntry, sizeof kEntry - 1, 8);
      if (c == 0 && !entry.empty()) entry = kEntry[in.Next() % 10] + in.Text(kEntry, 13, 8);  // a number or a date
      std::erase(entry, separator);
      t.columns.back().push_back(entry);
    }
  }
  return t;
}

bool LooksNumeric(const std::string& cell) {
  return !cell.empty() && cell.find_first_not_of("0123456789.,-+") == std::string::npos;
}

// How a spreadsheet or pandas saves the grid of the file back.
struct Saving {
  char separator;
  int quoting;  // where needed and: 0 headers (as we write), 1 nowhere else, 2 text cells, 3 every cell
  bool bom, crlf;
};

std::string Cell(const std::string& text, bool header, const Saving& s) {
  const bool needed = text.find_first_of(std::string("\"\r\n") + s.separator) != std::string::npos;
  const bool quote = needed || (s.quoting == 0 && header) || (s.quoting == 2 && !LooksNumeric(text) && !text.empty()) ||
                     s.quoting == 3;
  return quote ? "\"" + text + "\"" : text;
}

std::string Saved(const Table& t, bool transposed, const Saving& s) {
  std::vector<std::vector<std::pair<std::string, bool>>> grid;  // lines of (text, is a header)
  const std::size_t rows = t.columns[0].size();
  if (transposed) {
    for (std::size_t c = 0; c < t.headers.size(); ++c) {
      grid.push_back({{t.headers[c], true}});
      for (const std::string& e : t.columns[c]) grid.back().push_back({e, false});
    }
  } else {
    grid.emplace_back();
    for (const std::string& h : t.headers) grid[0].push_back({h, true});
    for (std::size_t r = 0; r < rows; ++r) {
      grid.emplace_back();
      for (const auto& column : t.columns) grid.back().push_back({column[r], false});
    }
  }
  std::string out = s.bom ? MCsvFile::BYTE_ORDER_MARK : "";
  for (const auto& line : grid) {
    for (std::size_t i = 0; i < line.size(); ++i)
      out += (i ? std::string(1, s.separator) : "") + Cell(line[i].first, line[i].second, s);
    out += s.crlf ? "\r\n" : "\n";
  }
  return out;
}

// The file's first line as it stands, without its line end.
std::string FirstLine(const std::string& path) {
  std::string line;
  std::ifstream in(path, std::ios::binary);
  std::getline(in, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// An append run on `file` that reads it in the form (separator, transposed)
// and writes it as configured. False when the run refuses.
bool Append(const std::string& file, const std::string& out, char separator, bool transposed, char configured,
            bool configuredTransposed, MCsvFile& written) {
  MCsvFile table;
  table.strSeparator = std::string(1, separator);
  table.dwReserve = written.dwReserve = 16;
  if (!table.Read(file, MCsvFile::READ_AS_STRING | MCsvFile::RF_BYTE_ORDER_MARK, transposed)) return false;
  for (const auto& column : table.vStringColumns)
    if (column.size() != table.vStringColumns[0].size()) return false;
  if (!ryn::TableMisfit(FirstLine(file), table, std::string(1, configured)).empty()) return false;
  for (std::uint32_t c = 0; c < table.vHeaders.size(); ++c)
    if (!table.AddValue(c, "1")) std::abort();
  table.bTransposed = configuredTransposed;
  if (!table.Write(out, std::string(1, configured))) std::abort();
  written.strSeparator = std::string(1, configured);
  if (!written.Read(out, MCsvFile::READ_AS_STRING | MCsvFile::RF_BYTE_ORDER_MARK, configuredTransposed)) std::abort();
  if (written.bByteOrderMark != table.bByteOrderMark) std::abort();
  return true;
}

// Every old cell of `t` is in `written`, with one more row.
void CheckKept(const Table& t, const MCsvFile& written) {
  if (written.vHeaders.size() != t.headers.size()) std::abort();
  for (std::size_t c = 0; c < t.headers.size(); ++c) {
    if (written.vHeaders[c] != t.headers[c] || written.vStringColumns[c].size() != t.columns[c].size() + 1)
      std::abort();
    for (std::size_t r = 0; r < t.columns[c].size(); ++r)
      if (written.vStringColumns[c][r] != t.columns[c][r]) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string in = TempPath(".csv"), out = TempPath("-out.csv");
  static const int cleanup = std::atexit([] {
    std::remove(in.c_str());
    std::remove(out.c_str());
  });
  (void)cleanup;
  Bytes bytes{data, size};
  static const char kSeparators[] = {';', ',', '\t'};
  const std::uint8_t control = bytes.Next();
  const char ours = kSeparators[control % 3];
  const bool transposed = control & 4;
  Table table = OurTable(bytes, ours);
  const std::uint8_t how = bytes.Next();
  const Saving saving{(how & 1) ? (ours == ';' ? ',' : ';') : ours, (how >> 1) % 4, (how & 8) != 0, (how & 16) != 0};
  // Saved with another separator, a name holding ours is left unquoted and
  // splits where ours splits: the file then is, byte for byte, another table
  // of ours with a shorter name and one more cell, and nothing can tell.
  if (saving.separator != ours)
    for (std::string& header : table.headers) std::erase(header, ours);
  if (!WriteFile(in, Saved(table, transposed, saving))) return 0;

  // The forms a look at the first line can find: the configured one, or the
  // character behind the first quoted field in either layout.
  const std::string line = FirstLine(in);
  std::vector<std::pair<char, bool>> forms = {{ours, transposed}};
  const std::size_t open = line.find('"'), close = open == std::string::npos ? open : line.find('"', open + 1);
  if (close != std::string::npos && close + 1 < line.size() && line[close + 1] != '0')
    forms.insert(forms.end(), {{line[close + 1], false}, {line[close + 1], true}});
  for (const auto& [separator, layout] : forms) {
    MCsvFile written;
    if (Append(in, out, separator, layout, ours, transposed, written)) CheckKept(table, written);
    else if (saving.separator == ours && saving.quoting == 0 && separator == ours && layout == transposed) std::abort();
  }
  return 0;
}
