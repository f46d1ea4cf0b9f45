#include "TableFit.h"

#include <cctype>
#include <cstdio>
#include <vector>

namespace ryn {
namespace {

// The fields of a line, as the table counts them: a quote opens and closes a
// quoted stretch, in which the separator splits nothing.
std::vector<std::string_view> FieldsOf(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    else if (line[i] == separator && !quoted) {
      fields.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  }
  fields.push_back(line.substr(start));
  return fields;
}

// A field's text, as the table reads it: a quoted one up to its next quote.
std::string_view TextOf(std::string_view field) {
  if (field.empty() || field[0] != '"') return field;
  return field.substr(1, field.find('"', 1) - 1);
}

// What an entry of ours can be (a number, a date, a time, "-.--", nothing),
// and no header of ours is: every header starts with the word of its kind.
bool ReadsAsEntry(std::string_view text) {
  if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '+' || text[0] == '-' ||
      text[0] == '.')
    return true;
  std::string head(text.substr(0, 3));
  for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return head == "nan" || head == "inf";
}

std::string Shown(char c) {
  if (std::isgraph(static_cast<unsigned char>(c))) return std::string(1, c);
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02x", static_cast<unsigned char>(c));
  return hex;
}

// The line's text: no byte-order mark in front, no line end behind.
std::string_view WithoutMarkAndLineEnd(std::string_view line) {
  if (line.starts_with(MCsvFile::BYTE_ORDER_MARK)) line.remove_prefix(std::string_view(MCsvFile::BYTE_ORDER_MARK).size());
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string HeaderMisfit(const MCsvFile& table) {
  for (const std::string& header : table.vHeaders) {
    if (header.empty()) return "an empty header";
    if (ReadsAsEntry(header)) return "the header " + Quoted(header) + " is a value";
    if (header.find_first_of("\"\r\n") != std::string::npos)
      return "the header " + Quoted(header) + " holds a quote or line end";
  }
  return "";
}

// The rewrite writes a cell as it stands: a quote, a line end or the
// separator in it would split or join cells when the file is read again.
// A table holds millions of cells: each byte is looked up, not searched for.
std::string CellMisfit(const MCsvFile& table, char separator) {
  bool unwritable[256] = {};
  for (unsigned char c : {'"', '\r', '\n', separator}) unwritable[c] = true;
  for (const StringColumn& column : table.vStringColumns)
    for (std::string_view cell : column)
      for (unsigned char c : cell)
        if (unwritable[c])
          return "the cell " + Quoted(cell) + " cannot be written back with the separator " + Quoted(Shown(separator));
  return "";
}

}  // namespace

std::string TableMisfit(std::string_view firstLine, const MCsvFile& table, const std::string& separator) {
  if (table.strSeparator.empty() || separator.empty()) return "";
  const char read = table.strSeparator[0];
  firstLine = WithoutMarkAndLineEnd(firstLine);
  const std::vector<std::string_view> fields = FieldsOf(firstLine, read);
  if (fields.size() < 2) return "its first line does not split at the separator " + Quoted(Shown(read));
  if (table.bTransposed && !ReadsAsEntry(TextOf(fields[1])))
    return "it reads as transposed, but its first line is a row of headers";
  if (std::string misfit = HeaderMisfit(table); !misfit.empty()) return misfit;
  return CellMisfit(table, separator[0]);
}

std::string TableRefusal(const std::string& file, const std::string& misfit) {
  return "The file '" + file + "' does not read as a table of this export (" + misfit + "); it was not changed.";
}

}  // namespace ryn
