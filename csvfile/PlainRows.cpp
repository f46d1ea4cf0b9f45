#include "PlainRows.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "MCsvFile.h"
#include "platform/sharedread.h"

namespace
{
// Well below the reader's limits (1022 characters unquoted, 1021 quoted),
// so that a plain file never meets them.
constexpr std::size_t kLongestEntry = 1000;
constexpr std::size_t kBlock = std::size_t(1) << 20;

struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Whole lines of a file, LF included, a block at a time; the file is shared
// with other programs as the table's read shares it.
class LineBlocks
{
public:
    explicit LineBlocks(const std::string& file) : m_file(Plat_OpenSharedRead(file.c_str())), m_data(kBlock) {}

    bool Opened() const { return m_file != nullptr; }

    // The next run of whole lines; empty at the end. A line that does not
    // end in LF fails, as does a read error.
    bool Next(std::string_view& lines)
    {
        std::memmove(m_data.data(), m_data.data() + m_used, m_held - m_used);
        m_held -= m_used;
        m_used = 0;
        for (;;)
        {
            if (m_held == m_data.size())
                m_data.resize(2 * m_data.size());  // one line longer than a block
            const std::size_t got = std::fread(m_data.data() + m_held, 1, m_data.size() - m_held, m_file.get());
            m_held += got;
            const char* const begin = m_data.data();
            const char* last = nullptr;
            for (const char* p = begin + m_held; p != begin;)
                if (*--p == '\n')
                {
                    last = p;
                    break;
                }
            if (last)
            {
                m_used = static_cast<std::size_t>(last + 1 - begin);
                lines = {begin, m_used};
                return true;
            }
            if (got == 0)
            {
                lines = {};
                return m_held == 0 && !std::ferror(m_file.get());
            }
        }
    }

private:
    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::vector<char> m_data;
    std::size_t m_held = 0;  // bytes in m_data
    std::size_t m_used = 0;  // of them handed out
};

// The line [s, e), LF excluded, ends in CR and holds `fields` entries with
// no quote, CR or LF, none of them long.
bool IsPlainLine(const char* s, const char* e, char separator, std::size_t fields)
{
    if (e == s || e[-1] != '\r')
        return false;
    --e;
    std::size_t separators = 0;
    const char* entry = s;
    for (const char* p = s; p != e; ++p)
    {
        const char c = *p;
        if (c == separator)
        {
            if (static_cast<std::size_t>(p - entry) > kLongestEntry)
                return false;
            ++separators;
            entry = p + 1;
        }
        else if (c == '"' || c == '\r')
        {
            return false;
        }
    }
    return separators + 1 == fields && static_cast<std::size_t>(e - entry) <= kLongestEntry;
}

// The quoted names of a header line [s, e), LF excluded; false unless each
// is quoted, holds no quote, CR or separator, and the line ends in CR.
bool ParseHeaderLine(const char* s, const char* e, char separator, std::vector<std::string>& headers)
{
    if (e == s || e[-1] != '\r')
        return false;
    --e;
    for (;;)
    {
        if (s == e || *s != '"')
            return false;
        const char* name = ++s;
        while (s != e && *s != '"' && *s != '\r' && *s != separator)
            ++s;
        if (s == e || *s != '"' || static_cast<std::size_t>(s - name) > kLongestEntry)
            return false;
        headers.emplace_back(name, s);
        if (++s == e)
            return true;
        if (*s++ != separator)
            return false;
    }
}

// Past the byte-order mark that may open the header line [s, e).
const char* AfterByteOrderMark(const char* s, const char* e)
{
    const std::string_view mark = MCsvFile::BYTE_ORDER_MARK;
    return std::string_view(s, static_cast<std::size_t>(e - s)).substr(0, mark.size()) == mark ? s + mark.size() : s;
}

// Calls `block` with each run of whole lines of the file; false when the
// file cannot be read, ends inside a line, or `block` says false.
template <class Block>
bool ForEachBlock(const std::string& file, Block block)
{
    LineBlocks in(file);
    if (!in.Opened())
        return false;
    for (std::string_view lines;;)
    {
        if (!in.Next(lines))
            return false;
        if (lines.empty())
            return true;
        if (!block(lines))
            return false;
    }
}

// Calls `line(s, lf)` with each line of the file, [s, lf) without its LF.
template <class Line>
bool ForEachLine(const std::string& file, Line line)
{
    return ForEachBlock(file, [&](std::string_view lines) {
        const char* const end = lines.data() + lines.size();
        for (const char* s = lines.data(); s != end;)
        {
            const char* lf = static_cast<const char*>(std::memchr(s, '\n', static_cast<std::size_t>(end - s)));
            if (!line(s, lf))
                return false;
            s = lf + 1;
        }
        return true;
    });
}
}  // namespace

bool PlainRows::Scan(const std::string& file, char separator)
{
    m_separator = separator;
    m_headers.clear();
    m_headerLine.clear();
    m_rows = 0;
    if (separator == '"' || separator == '\r' || separator == '\n')
        return false;
    const bool plain = ForEachLine(file, [&](const char* s, const char* lf) {
        if (!m_headerLine.empty())
        {
            if (!IsPlainLine(s, lf, separator, m_headers.size()))
                return false;
            ++m_rows;
            return true;
        }
        m_headerLine.assign(s, lf + 1);
        return ParseHeaderLine(AfterByteOrderMark(s, lf), lf, separator, m_headers);
    });
    // Without a row, the reader finds the header count different from the
    // second line's; the table path gives that error.
    return plain && m_rows > 0;
}

std::string PlainRows::Memo() const
{
    return std::to_string(m_rows) + "\n" + m_headerLine;
}

bool PlainRows::Recall(const std::string& memo, char separator)
{
    m_separator = separator;
    m_headers.clear();
    const std::size_t lf = memo.find('\n');
    if (lf == std::string::npos || lf == 0 || memo.size() < lf + 3 || memo.back() != '\n')
        return false;
    m_rows = std::strtoull(memo.c_str(), nullptr, 10);
    m_headerLine = memo.substr(lf + 1);
    const char* s = m_headerLine.data();
    const char* const end = s + m_headerLine.size() - 1;
    return m_rows > 0 && m_headerLine.find('\n') == m_headerLine.size() - 1 &&
           ParseHeaderLine(AfterByteOrderMark(s, end), end, separator, m_headers);
}

bool PlainRows::ByteOrderMark() const
{
    const char* const s = m_headerLine.data();
    return AfterByteOrderMark(s, s + m_headerLine.size()) != s;
}

bool PlainRows::CopyRows(const std::string& file, std::size_t extraFields,
                         const std::function<bool(std::string_view)>& sink) const
{
    const std::string padding(extraFields, m_separator);
    std::string out;
    std::size_t rows = 0;
    bool header = true;
    const bool same = ForEachBlock(file, [&](std::string_view lines) {
        const char* s = lines.data();
        const char* const end = s + lines.size();
        if (header)
        {
            if (lines.substr(0, m_headerLine.size()) != m_headerLine)
                return false;
            s += m_headerLine.size();
            header = false;
        }
        out.clear();
        const char* copied = s;
        for (; s != end; ++rows)
        {
            const char* lf = static_cast<const char*>(std::memchr(s, '\n', static_cast<std::size_t>(end - s)));
            if (!IsPlainLine(s, lf, m_separator, m_headers.size()))
                return false;
            if (extraFields)
            {
                out.append(s, lf - 1);
                out += padding;
                out += "\r\n";
            }
            s = lf + 1;
        }
        return extraFields ? sink(out) : sink({copied, static_cast<std::size_t>(end - copied)});
    });
    return same && rows == m_rows;
}

void PlainRows::AppendText(std::string& out, std::string_view text)
{
    for (std::size_t lf; (lf = text.find('\n')) != std::string_view::npos; text.remove_prefix(lf + 1))
    {
        out.append(text.data(), lf);
        out += "\r\n";
    }
    out += text;
}
