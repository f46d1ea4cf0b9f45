// Differential fuzzer: MCsvFile against the reference copy in fuzz/oracle.
// Both tables get the same file and the same calls; any observable
// difference (results, error texts, fields, entries, written bytes) is
// printed and aborts, so libFuzzer keeps the input as a crash.
//
// Only the public surface is used, and a string entry only as something
// that converts to std::string_view, so this builds against any column type
// that offers size() and operator[].
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "MCsvFile.h"
#include "MCsvFileRead.h"
#include "PlainRows.h"
#include "oracle/OracleCsvFile.h"
#include "oracle/OracleCsvFileRead.h"

namespace {

using Reference = csv_oracle::MCsvFile;

// ---------------------------------------------------------------- settings

enum class Target { File, DiskFull, Uncreatable };

struct Settings
{
    std::uint32_t flags = 0;
    bool keep = false;                // a second Read with RF_KEEP_DATA
    bool transposed = false;
    bool keepTransposed = false;      // layout of the second Read
    std::size_t block = 0;            // 0: the default Read
    std::uint32_t reserve = 0;
    std::string readSep;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> ops;
    std::string writeSep;
    bool writeTransposed = false;
    Target target = Target::File;
    std::uint32_t readBackFlags = 0;
    std::string_view file;
};

constexpr std::uint32_t kFlags[] = {0, MCsvFile::RF_READ_AS_DOUBLE, MCsvFile::READ_AS_STRING,
                                    MCsvFile::RF_READ_AS_DOUBLE | MCsvFile::READ_AS_STRING};

// Three bytes of settings, two bytes per operation, then the file.
bool Decode(const std::uint8_t* data, std::size_t size, Settings& s)
{
    if (size < 3)
        return false;
    static const char* const kReadSeps[] = {";", ",", "\t", "\"", ";,", "", "\n", "\r"};
    static const char* const kWriteSeps[] = {";", ",", "\t", "\"", "<>", "", "\n", ";\n;"};
    static const std::size_t kBlocks[] = {1, 2, 3, 5, 8, 16, 64, 4096};
    static const std::uint32_t kReserves[] = {0, 1, 3, 16};
    static const Target kTargets[] = {Target::File, Target::File, Target::DiskFull, Target::Uncreatable};
    static const std::size_t kOpCounts[] = {0, 1, 3, 6};

    const std::uint8_t a = data[0], b = data[1], c = data[2];
    s.flags = kFlags[a & 3];
    s.keep = a & 4;
    s.transposed = a & 8;
    s.keepTransposed = (a & 16) ? !s.transposed : s.transposed;
    s.block = (a & 32) ? kBlocks[(b >> 3) & 7] : 0;
    s.reserve = kReserves[a >> 6];
    s.readSep = kReadSeps[b & 7];
    s.target = kTargets[b >> 6];
    s.writeSep = kWriteSeps[c & 7];
    s.writeTransposed = c & 8;
    s.readBackFlags = kFlags[(c >> 4) & 3];
    std::size_t pos = 3;
    for (std::size_t n = kOpCounts[c >> 6]; n && pos + 2 <= size; --n, pos += 2)
        s.ops.emplace_back(data[pos], data[pos + 1]);
    s.file = std::string_view(reinterpret_cast<const char*>(data + pos), size - pos);
    return true;
}

const std::vector<std::string>& ColumnNames()
{
    static const std::vector<std::string> v = {"", "x", "A", "q\"q", "l\nf", "c;d", "r\r", "DATE"};
    return v;
}

const std::vector<std::string>& Values()
{
    static const std::vector<std::string> v = {
        "", "1", "-2.5e3", "nan", "a;b", "\"", "l\nf", "cr\r", "\n", std::string(1100, 'x')};
    return v;
}

// -------------------------------------------------------------- reporting

std::string g_step;  // what both tables just did, for the report

std::string Show(std::string_view s)
{
    std::string out = "\"";
    for (const char ch : s.substr(0, 200))
    {
        if (ch >= 0x20 && ch < 0x7f && ch != '\\')
        {
            out += ch;
            continue;
        }
        char sz[8];
        std::snprintf(sz, sizeof sz, "\\x%02x", static_cast<unsigned char>(ch));
        out += sz;
    }
    out += '"';
    if (s.size() > 200)
        out += "... (" + std::to_string(s.size()) + " bytes)";
    return out;
}

std::string At(const char* name, std::size_t i) { return std::string(name) + "[" + std::to_string(i) + "]"; }
std::string At(const char* name, std::size_t i, std::size_t j) { return At(name, i) + "[" + std::to_string(j) + "]"; }

[[noreturn]] void Differ(const std::string& what, const std::string& reference, const std::string& current)
{
    std::fprintf(stderr, "csv_diff: after %s, %s differs\n  reference: %s\n  current:   %s\n", g_step.c_str(),
                 what.c_str(), reference.c_str(), current.c_str());
    std::abort();
}

void SameText(const std::string& what, std::string_view r, std::string_view c)
{
    if (r != c)
        Differ(what, Show(r), Show(c));
}

void SameNumber(const std::string& what, std::uint64_t r, std::uint64_t c)
{
    if (r != c)
        Differ(what, std::to_string(r), std::to_string(c));
}

// ------------------------------------------------------------ comparisons

void CompareFields(const Reference& r, const MCsvFile& c)
{
    SameText("strSeparator", r.strSeparator, c.strSeparator);
    SameNumber("dwReadFlags", r.dwReadFlags, c.dwReadFlags);
    SameNumber("dwReserve", r.dwReserve, c.dwReserve);
    SameNumber("bTransposed", r.bTransposed, c.bTransposed);
    SameText("strFileName", r.strFileName, c.strFileName);
    SameText("GetErrorText()", r.GetErrorText(), c.GetErrorText());
    SameNumber("GetSystemError()", static_cast<std::uint64_t>(r.GetSystemError()),
               static_cast<std::uint64_t>(c.GetSystemError()));
}

void CompareNames(const char* name, const std::vector<std::string>& r, const std::vector<std::string>& c)
{
    SameNumber(std::string(name) + ".size()", r.size(), c.size());
    for (std::size_t i = 0; i < r.size(); ++i)
        SameText(At(name, i), r[i], c[i]);
}

void CompareStringColumns(const Reference& r, const MCsvFile& c)
{
    SameNumber("vStringColumns.size()", r.vStringColumns.size(), c.vStringColumns.size());
    for (std::size_t i = 0; i < r.vStringColumns.size(); ++i)
    {
        const auto& rc = r.vStringColumns[i];
        const auto& cc = c.vStringColumns[i];
        SameNumber(At("vStringColumns", i) + ".size()", rc.size(), cc.size());
        for (std::size_t j = 0; j < rc.size(); ++j)
            if (std::string_view(rc[j]) != std::string_view(cc[j]))
                Differ(At("vStringColumns", i, j), Show(rc[j]), Show(std::string_view(cc[j])));
    }
}

// Bit patterns, so that NaNs compare and -0 differs from 0.
void CompareDoubleColumns(const Reference& r, const MCsvFile& c)
{
    SameNumber("vDoubleColumns.size()", r.vDoubleColumns.size(), c.vDoubleColumns.size());
    for (std::size_t i = 0; i < r.vDoubleColumns.size(); ++i)
    {
        const auto& rc = r.vDoubleColumns[i];
        const auto& cc = c.vDoubleColumns[i];
        SameNumber(At("vDoubleColumns", i) + ".size()", rc.size(), cc.size());
        for (std::size_t j = 0; j < rc.size(); ++j)
            SameNumber(At("vDoubleColumns", i, j) + " bits", std::bit_cast<std::uint64_t>(rc[j]),
                       std::bit_cast<std::uint64_t>(cc[j]));
    }
}

// The count, or the type and text of what it throws.
template <class Table>
std::string EntryCount(const Table& t, std::uint32_t column)
{
    try
    {
        return std::to_string(t.GetNumberOfEntries(column));
    }
    catch (const std::out_of_range& e)
    {
        return std::string("out_of_range: ") + e.what();
    }
    catch (const std::exception& e)
    {
        return std::string("exception: ") + e.what();
    }
}

void CompareEntryCounts(const Reference& r, const MCsvFile& c)
{
    const std::size_t n = r.vHeaders.size() + 1;
    for (std::uint32_t i = 0; i <= n; ++i)
        SameText(At("GetNumberOfEntries", i), EntryCount(r, i), EntryCount(c, i));
    SameText("GetNumberOfEntries(NO_COLUMN)", EntryCount(r, Reference::NO_COLUMN),
             EntryCount(c, MCsvFile::NO_COLUMN));
}

void CompareFindColumn(const Reference& r, const MCsvFile& c)
{
    std::vector<std::string> names = {"", "x", "A"};
    if (!r.vHeaders.empty())
    {
        names.push_back(r.vHeaders.front());
        names.push_back(r.vHeaders.back());
    }
    for (const std::string& name : names)
        for (const std::uint32_t start : {0u, 1u, 5u, Reference::NO_COLUMN})
            SameNumber("FindColumn(" + Show(name) + ", " + std::to_string(start) + ")", r.FindColumn(name, start),
                       c.FindColumn(name, start));
}

void CompareTables(const Reference& r, const MCsvFile& c)
{
    CompareFields(r, c);
    CompareNames("vHeaders", r.vHeaders, c.vHeaders);
    CompareNames("vSourceFiles", r.vSourceFiles, c.vSourceFiles);
    CompareStringColumns(r, c);
    CompareDoubleColumns(r, c);
    CompareEntryCounts(r, c);
    CompareFindColumn(r, c);
}

bool CompareErrorTexts()
{
    g_step = "start";
    for (unsigned i = 0; i <= Reference::ERR_COUNT + 1; ++i)
        SameText(At("ErrorText", i), Reference::ErrorText(i), MCsvFile::ErrorText(i));
    return true;
}

// Runs op on the reference table, then on the current one, and compares
// the results and both tables.
template <class Op>
void Both(std::string step, Reference& r, MCsvFile& c, Op op)
{
    g_step = std::move(step);
    const bool rr = op(r);
    const bool rc = op(c);
    SameNumber("the result", rr, rc);
    CompareTables(r, c);
}

// ------------------------------------------------------------------ files

// In the temporary folder the run was given (TMPDIR; the smoke run gives
// each run a private one, removed afterwards).
std::string TempPath(const char* tag)
{
    return (std::filesystem::temp_directory_path() / ("ryn-fuzz-diff-" + std::to_string(getpid()) + tag)).string();
}

bool WriteFile(const std::string& path, std::string_view bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb"))
    {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
            bytes.append(buf, n);
        std::fclose(f);
    }
    return bytes;
}

// MCsvFile_ReadTable is found in the namespace of the table's class.
template <class Table>
bool ReadTable(Table& t, const std::string& path, std::uint32_t flags, bool transposed, std::size_t block)
{
    return block ? MCsvFile_ReadTable(t, path, flags, transposed, block) : t.Read(path, flags, transposed);
}

// A file that PlainRows finds plain must read into the reference table with
// its headers and as many rows, and carrying its rows over with `extra`
// new, empty columns must give what the reference writes for the same.
void CheckPlainRows(const std::string& in, char sep, std::size_t extra, const std::string& out)
{
    g_step = "PlainRows::Scan";
    PlainRows plain;
    if (!plain.Scan(in, sep))
        return;
    Reference t;
    t.strSeparator = std::string(1, sep);
    if (!t.Read(in, Reference::READ_AS_STRING, false))
        Differ("the read of a plain file", "fails: " + Show(t.GetErrorText()), "plain");
    CompareNames("headers", t.vHeaders, plain.Headers());
    for (std::size_t c = 0; c < t.vStringColumns.size(); ++c)
        SameNumber(At("rows of column", c), t.vStringColumns[c].size(), plain.Rows());
    for (std::size_t k = 0; k < extra; ++k)
    {
        t.AddColumn("new" + std::to_string(k));
        t.vStringColumns.back().assign(plain.Rows(), "");
    }
    std::remove(out.c_str());
    t.Write(out, t.strSeparator);
    std::string carried;
    plain.AppendLine(carried, t.vHeaders.size(), [&](std::size_t c) { return std::string_view(t.vHeaders[c]); },
                     true);
    if (!plain.CopyRows(in, extra, [&](std::string_view b) { return carried.append(b), true; }))
        Differ("the carried-over rows", "written", "refused");
    SameText("the carried-over file", ReadBytes(out), carried);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool textsChecked = CompareErrorTexts();
    (void)textsChecked;
    Settings s;
    if (!Decode(data, size, s))
        return 0;
    static const std::string in = TempPath(".csv"), out = TempPath("-out.csv"),
                             uncreatable = TempPath("-none/out.csv");
    // A run that ends normally leaves nothing behind; after a crash the files stay to look at.
    static const int cleanup = std::atexit([] {
        std::remove(in.c_str());
        std::remove(out.c_str());
    });
    (void)cleanup;
    if (!WriteFile(in, s.file))
        return 0;

    if (s.readSep.size() == 1)
        CheckPlainRows(in, s.readSep[0], s.ops.size() % 3, out);

    Reference r;
    MCsvFile c;
    r.strSeparator = c.strSeparator = s.readSep;
    r.dwReserve = c.dwReserve = s.reserve;
    Both("Read", r, c, [&](auto& t) { return ReadTable(t, in, s.flags, s.transposed, s.block); });
    if (s.keep)
        Both("Read with RF_KEEP_DATA", r, c, [&](auto& t) {
            return ReadTable(t, in, s.flags | MCsvFile::RF_KEEP_DATA, s.keepTransposed, s.block);
        });

    for (std::size_t i = 0; i < s.ops.size(); ++i)
    {
        const auto [op, arg] = s.ops[i];
        if (op & 1)
        {
            const std::string& name = ColumnNames()[arg % ColumnNames().size()];
            Both("AddColumn(" + Show(name) + ")", r, c, [&](auto& t) { return t.AddColumn(name); });
        }
        else
        {
            // One past the last column and NO_COLUMN are invalid on purpose.
            const std::uint32_t column = (op >> 1) == 127
                                             ? Reference::NO_COLUMN
                                             : static_cast<std::uint32_t>((op >> 1) % (r.vStringColumns.size() + 1));
            const std::string& value = Values()[arg % Values().size()];
            Both("AddValue(" + std::to_string(column) + ", " + Show(value) + ")", r, c,
                 [&](auto& t) { return t.AddValue(column, value); });
        }
    }

    const std::string target = s.target == Target::File       ? out
                                : s.target == Target::DiskFull ? std::string("/dev/full")
                                                               : uncreatable;
    r.bTransposed = c.bTransposed = s.writeTransposed;
    std::vector<std::string> written;  // reference first, as Both runs them
    Both("Write", r, c, [&](auto& t) {
        std::remove(out.c_str());
        const bool ok = t.Write(target, s.writeSep);
        written.push_back(s.target == Target::File ? ReadBytes(out) : std::string());
        return ok;
    });
    SameText("the written file", written[0], written[1]);

    // Read back what was written; /dev/full never ends, so a folder stands in for it.
    const std::string back = s.target == Target::DiskFull ? std::string("/tmp") : target;
    Reference rb;
    MCsvFile cb;
    rb.strSeparator = cb.strSeparator = s.writeSep;
    rb.dwReserve = cb.dwReserve = s.reserve;
    Both("reading the written file back", rb, cb,
         [&](auto& t) { return ReadTable(t, back, s.readBackFlags, s.writeTransposed, s.block); });
    return 0;
}
