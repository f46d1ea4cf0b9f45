// A table file exactly as MCsvFile writes it in row layout (quoted headers,
// unquoted entries, CR LF line ends, maybe a byte-order mark first): such a
// file can be appended to by carrying its rows over line by line instead of
// reading it into a table.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class PlainRows
{
public:
    // Takes the file's headers and counts its rows; false when the file is
    // not plain for `separator` (or cannot be read). A plain file reads into
    // an MCsvFile (READ_AS_STRING, row layout) with these headers and as
    // many entries in every column, and that table writes back the same
    // bytes with the same separator.
    bool Scan(const std::string& file, char separator);

    // What Scan found, as text, and back (false when the text is not such):
    // kept beside the file, it spares the next run the scan of a file that
    // nobody touched since.
    std::string Memo() const;
    bool Recall(const std::string& memo, char separator);
    // The file took `rows` more rows at its end.
    void AddRows(std::size_t rows) { m_rows += rows; }

    const std::vector<std::string>& Headers() const { return m_headers; }
    // The header line opens with a byte-order mark, which a rewrite keeps.
    bool ByteOrderMark() const;
    std::size_t Rows() const { return m_rows; }

    // Hands the scanned file's data lines to `sink` in large blocks, each
    // line with `extraFields` empty fields added in front of its CR LF.
    // False when the file cannot be read or is no longer what Scan found;
    // the sink's false stops the copy too.
    bool CopyRows(const std::string& file, std::size_t extraFields,
                  const std::function<bool(std::string_view)>& sink) const;

    // Appends a line as MCsvFile writes it: the `count` entries that
    // `entry(i)` gives (quoted when `quoted`), every LF in them as CR LF,
    // the separator between, CR LF at the end.
    template <class Entry>
    void AppendLine(std::string& out, std::size_t count, Entry entry, bool quoted) const
    {
        for (std::size_t i = 0; i < count; ++i)
        {
            if (i)
                out += m_separator;
            if (quoted)
                out += '"';
            AppendText(out, entry(i));
            if (quoted)
                out += '"';
        }
        out += "\r\n";
    }

private:
    static void AppendText(std::string& out, std::string_view text);

    char m_separator = ';';
    std::vector<std::string> m_headers;
    std::size_t m_rows = 0;
    std::string m_headerLine;  // CR LF included
};
