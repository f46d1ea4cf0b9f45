// MCsvFile: a delimited text table held in memory column by column, read
// from and written to text files (CR LF line ends on disk, LF in memory).
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "StringColumns.h"

// Takes a row-layout table's entries as a read finds them, in place of the
// table's columns: a reader that turns each entry into something smaller at
// once never holds the whole table.
class MCsvEntrySink
{
public:
    virtual ~MCsvEntrySink() = default;
    // The headers, once read; false ends the read there.
    virtual bool Headers(const std::vector<std::string>& headers) = 0;
    // An entry the table would keep in `column`; `text` lives for the call only.
    virtual void Entry(std::size_t column, std::string_view text) = 0;
    // The end of a row that gave at least one entry.
    virtual void EndRow() = 0;
};

class MCsvFile
{
public:
    // Bits of dwReadFlags.
    enum : std::uint32_t
    {
        RF_READ_AS_DOUBLE = 1,  // entries through atof into vDoubleColumns; wins over READ_AS_STRING
        READ_AS_STRING = 2,     // entries as text into vStringColumns
        RF_KEEP_DATA = 4,       // Read appends the file's columns to those held
        // A UTF-8 byte-order mark that opens the file is no text: Read skips
        // it and sets bByteOrderMark, so that Write puts it back.
        RF_BYTE_ORDER_MARK = 8,
    };

    // The UTF-8 byte-order mark a spreadsheet's "CSV UTF-8" file opens with.
    static constexpr char BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";

    // Numbers of the fixed error texts (see ErrorText).
    enum ErrorNumber : unsigned
    {
        ERR_UNKNOWN = 0,
        ERR_GETSTRING_UNKNOWN = 1,
        ERR_GETDATA_UNKNOWN = 2,
        ERR_GETSTRING_NOT_STRING = 3,
        ERR_GETDATA_NOT_DOUBLE = 4,
        ERR_VARIABLE_NOT_FOUND = 5,
        ERR_FILENAME_NOT_FOUND = 6,
        ERR_FILE_NOT_FOUND = 7,
        ERR_HEADER_COUNT = 8,
        ERR_EMPTY_FILE = 9,
        ERR_READ = 10,
        ERR_WRITE = 11,
        ERR_QUOTES = 12,
        ERR_ENTRY_TOO_LONG = 13,
        ERR_COUNT = 14
    };

    // Thrown inside the class only; the public operations turn it into a
    // bool result plus strError.
    class MCSVFileError : public std::exception
    {
    public:
        // printf-style; text longer than the buffer is cut.
        explicit MCSVFileError(const char* pszFormat, ...)
#if defined(__GNUC__)
            __attribute__((format(printf, 2, 3)))
#endif
            ;
        const char* what() const noexcept override { return m_szMessage; }

    private:
        char m_szMessage[1024];
    };

    // Text of an error number; numbers out of range give the text of 0.
    static const char* ErrorText(unsigned nNumber);
    // The text for a file whose entries exceed what one table can hold.
    static std::string TooLargeText(const std::string& strFile);

    MCsvFile();

    // Empties strError, headers, source files and both column lists;
    // separator, flags, reserve count, layout and file name stay.
    void Clear();

    // Reads a table. False with strError set when the file cannot be opened
    // or parsed; what was parsed before a failure stays in the object.
    bool Read(const std::string& strFile, std::uint32_t dwFlags = RF_READ_AS_DOUBLE, bool bTransposedLayout = false);
    // Reads a row-layout table as Read does with READ_AS_STRING, handing
    // its headers and entries to `sink` instead of keeping them.
    bool ReadEntries(const std::string& strFile, MCsvEntrySink& sink, std::uint32_t dwFlags = 0);

    // Writes the table in the layout of bTransposed, fields joined by
    // strSep, and flushes it to the device. A file that cannot be created
    // and a failed write, flush or close are ERR_WRITE, the system's error
    // code (as Win32 numbers it) in GetSystemError.
    bool Write(const std::string& strFile, const std::string& strSep);

    // Appends a text column (whatever dwReadFlags says).
    bool AddColumn(const std::string& strName);

    // Appends a text entry to a text column.
    bool AddValue(std::uint32_t nColumn, const std::string& strValue);

    // First column at or after nStart whose header equals strName exactly;
    // NO_COLUMN when there is none.
    std::uint32_t FindColumn(const std::string& strName, std::uint32_t nStart = 0) const;

    // Entries of a column of the active list; throws std::out_of_range
    // ("invalid vector subscript") for an invalid index.
    std::size_t GetNumberOfEntries(std::uint32_t nColumn) const;

    const std::string& GetErrorText() const { return strError; }
    // The system's error code of the call that failed the last Write; 0 when none did.
    std::uint32_t GetSystemError() const { return nSystemError; }

    static constexpr std::uint32_t NO_COLUMN = 0xFFFFFFFFu;

    std::string strSeparator;
    std::uint32_t dwReadFlags;
    std::uint32_t dwReserve;  // entries reserved per column created while reading, never more than the file can fill
    bool bTransposed;         // false: header line, then one line per row; true: one line per column
    bool bByteOrderMark;      // the file starts with BYTE_ORDER_MARK (read with RF_BYTE_ORDER_MARK; written first)
    std::string strFileName;  // file of the last Read
    std::string strError;     // text of the last error
    std::vector<std::string> vHeaders;      // their count is the number of columns
    std::vector<std::string> vSourceFiles;  // per column, the file it was read from
    StringColumns vStringColumns;
    std::vector<std::vector<double>> vDoubleColumns;

private:
    std::uint32_t nSystemError = 0;
};
