// Reference copy of csvfile/MCsvFileWrite.cpp (commit d7ef79e) that csv_diff_fuzzer compares the current MCsvFile against.
// Writing a table through one large buffer. Every LF written becomes CR LF,
// as a text-mode stream on Windows does, on every platform.
#include "OracleCsvFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/fs.h"
#include "platform/handle.h"

namespace csv_oracle
{

namespace
{
struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};

class TextOutput
{
public:
    explicit TextOutput(std::FILE* file) : m_file(file), m_data(new char[kSize]) {}

    // errno of the stream call that failed, 0 while none has.
    int SystemError() const { return m_nErrno; }

    // Bytes that hold no LF, or are already translated.
    void Raw(const char* s, std::size_t n)
    {
        if (n > kSize - m_nUsed)
        {
            Flush();
            if (n > kSize)
            {
                Put(s, n);
                return;
            }
        }
        std::memcpy(m_data.get() + m_nUsed, s, n);
        m_nUsed += n;
    }

    void Text(const char* s, std::size_t n)
    {
        // Short entries: check and copy in one pass.
        if (n <= 16 && kSize - m_nUsed >= n)
        {
            char* d = m_data.get() + m_nUsed;
            std::size_t i = 0;
            for (; i < n && s[i] != '\n'; ++i)
                d[i] = s[i];
            if (i == n)
            {
                m_nUsed += n;
                return;
            }
        }
        while (const char* q = static_cast<const char*>(std::memchr(s, '\n', n)))
        {
            const std::size_t nPart = static_cast<std::size_t>(q - s);
            Raw(s, nPart);
            Raw("\r\n", 2);
            s = q + 1;
            n -= nPart + 1;
        }
        Raw(s, n);
    }

    void Char(char c)
    {
        if (m_nUsed == kSize)
            Flush();
        m_data[m_nUsed++] = c;
    }

    void Text(const std::string& str) { Text(str.data(), str.size()); }

    void Flush()
    {
        const std::size_t n = m_nUsed;
        m_nUsed = 0;
        Put(m_data.get(), n);
    }

    // Flushes the stream and closes it; a failure is a write error too.
    void Close()
    {
        std::FILE* file = m_file;
        m_file = nullptr;
        errno = 0;
        if (std::fclose(file) != 0)
            Fail();
    }

private:
    void Put(const char* s, std::size_t n)
    {
        errno = 0;
        if (n && std::fwrite(s, 1, n, m_file) != n)
            Fail();
    }

    [[noreturn]] void Fail()
    {
        m_nErrno = errno ? errno : EIO;
        throw MCsvFile::MCSVFileError("%s", MCsvFile::ErrorText(MCsvFile::ERR_WRITE));
    }

    static constexpr std::size_t kSize = std::size_t(1) << 20;
    std::FILE* m_file;
    std::unique_ptr<char[]> m_data;
    std::size_t m_nUsed = 0;
    int m_nErrno = 0;
};

class TableWriter
{
public:
    TableWriter(const MCsvFile& table, TextOutput& out) : m_t(table), m_out(out)
    {
        if (table.dwReadFlags & MCsvFile::RF_READ_AS_DOUBLE)
            m_pDoubles = &table.vDoubleColumns;
        else if (table.dwReadFlags & MCsvFile::READ_AS_STRING)
            m_pStrings = &table.vStringColumns;
        for (char c : table.strSeparator)
        {
            if (c == '\n')
                m_strSep += '\r';
            m_strSep += c;
        }
    }

    void Run()
    {
        std::size_t nRows = 0;
        if (m_pDoubles)
            for (const auto& col : *m_pDoubles)
                nRows = std::max(nRows, col.size());
        else if (m_pStrings)
            for (const auto& col : *m_pStrings)
                nRows = std::max(nRows, col.size());

        try
        {
            if (m_t.bTransposed)
                WriteTransposed(nRows);
            else
                WriteRows(nRows);
        }
        catch (const MCsvFile::MCSVFileError&)
        {
            throw;
        }
        catch (const std::exception& e)
        {
            throw MCsvFile::MCSVFileError("%s", e.what());
        }
        catch (...)
        {
            throw MCsvFile::MCSVFileError("%s", MCsvFile::ErrorText(MCsvFile::ERR_WRITE));
        }
    }

private:
    void WriteRows(std::size_t nRows)
    {
        const std::size_t nColumns = m_t.vHeaders.size();
        for (std::size_t i = 0; i < nColumns; ++i)
        {
            Header(i);
            EndField(i + 1 < nColumns);
        }
        for (std::size_t r = 0; r < nRows; ++r)
            for (std::size_t i = 0; i < nColumns; ++i)
            {
                Entry(i, r);
                EndField(i + 1 < nColumns);
            }
    }

    void WriteTransposed(std::size_t nRows)
    {
        const std::size_t nColumns = m_t.vHeaders.size();
        for (std::size_t i = 0; i < nColumns; ++i)
        {
            Header(i);
            Separator();
            for (std::size_t r = 0; r < nRows; ++r)
            {
                Entry(i, r);
                if (r + 1 < nRows)
                    Separator();
            }
            m_out.Raw("\r\n", 2);
        }
    }

    void Header(std::size_t i)
    {
        m_out.Raw("\"", 1);
        m_out.Text(m_t.vHeaders[i]);
        m_out.Raw("\"", 1);
    }

    void Separator()
    {
        if (m_strSep.size() == 1)
            m_out.Char(m_strSep[0]);
        else
            m_out.Raw(m_strSep.data(), m_strSep.size());
    }

    void EndField(bool bMore)
    {
        if (bMore)
            Separator();
        else
            m_out.Raw("\r\n", 2);
    }

    void Entry(std::size_t i, std::size_t r)
    {
        if (m_pDoubles)
        {
            const double d = At(*m_pDoubles, i, r);
            // As a stream writes a double by default: %g with 6 digits.
            char sz[32];
            const auto res = std::to_chars(sz, sz + sizeof sz, d, std::chars_format::general, 6);
            m_out.Raw(sz, static_cast<std::size_t>(res.ptr - sz));
        }
        else if (m_pStrings)
        {
            m_out.Text(At(*m_pStrings, i, r));
        }
    }

    template <class T>
    static const T& At(const std::vector<std::vector<T>>& columns, std::size_t i, std::size_t r)
    {
        if (i >= columns.size() || r >= columns[i].size())
            throw std::out_of_range("invalid vector subscript");
        return columns[i][r];
    }

    const MCsvFile& m_t;
    TextOutput& m_out;
    const std::vector<std::vector<double>>* m_pDoubles = nullptr;
    const std::vector<std::vector<std::string>>* m_pStrings = nullptr;
    std::string m_strSep;  // with CR in front of every LF
};
}  // namespace

bool MCsvFile::Write(const std::string& strFile, const std::string& strSep)
{
    strSeparator = strSep;
    nSystemError = 0;
    std::FILE* file = std::fopen(strFile.c_str(), "wb");
    if (!file)
    {
        // Since the table writes through the platform's handles: a file that
        // cannot be created is a write error, with the code the platform
        // gives for that name (a missing folder is not a missing file).
        const int openError = errno;
        HANDLE probe = CreateFileA(strFile.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                   nullptr);
        const bool refused = probe == INVALID_HANDLE_VALUE;
        nSystemError = static_cast<int>(refused ? GetLastError() : Plat_ErrorFromErrno(openError));
        if (!refused) CloseHandle(probe);
        strError = ErrorText(ERR_WRITE);
        return false;
    }
    TextOutput out(file);
    bool bDone = false;
    try
    {
        TableWriter(*this, out).Run();
        bDone = true;
    }
    catch (const MCSVFileError& e)
    {
        strError = e.what();
    }
    catch (...)
    {
        strError = ErrorText(ERR_UNKNOWN);
    }
    // What was written before a failure stays in the file; the stream is
    // closed on every path, and a failed flush or close fails the write.
    // The first failure names the write's error: a table that failed is
    // not reported as the full disk its last bytes then met.
    try
    {
        if (!out.SystemError())
            out.Flush();
    }
    catch (const MCSVFileError& e)
    {
        if (bDone)
            strError = e.what();
        bDone = false;
    }
    try
    {
        out.Close();
    }
    catch (const MCSVFileError& e)
    {
        if (bDone)
            strError = e.what();
        bDone = false;
    }
    nSystemError = static_cast<int>(Plat_ErrorFromErrno(out.SystemError()));
    return bDone;
}
}  // namespace csv_oracle
