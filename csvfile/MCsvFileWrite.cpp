// Writing a table through one large buffer and the platform's file handle.
// Every LF written becomes CR LF, as a text-mode stream on Windows does.
#include "MCsvFile.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/handle.h"

namespace
{
class TextOutput
{
public:
    explicit TextOutput(HANDLE file) : m_file(file), m_data(new char[kSize]) {}
    ~TextOutput()
    {
        if (m_file != INVALID_HANDLE_VALUE)
            CloseHandle(m_file);
    }

    // The system's error code of the call that failed, 0 while none has.
    DWORD SystemError() const { return m_nError; }

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

    void Text(std::string_view str) { Text(str.data(), str.size()); }

    void Flush()
    {
        const std::size_t n = m_nUsed;
        m_nUsed = 0;
        Put(m_data.get(), n);
    }

    // Flushes the file to the device and closes it; a failure is a write
    // error too.
    void Close()
    {
        const bool bFlushed = FlushFileBuffers(m_file);
        const DWORD nError = GetLastError();
        const bool bClosed = CloseHandle(m_file);
        m_file = INVALID_HANDLE_VALUE;
        if (!bFlushed)
            Fail(nError);
        if (!bClosed)
            Fail(GetLastError());
    }

    [[noreturn]] void Fail(DWORD nError)
    {
        if (!m_nError)
            m_nError = nError ? nError : ERROR_IO_DEVICE;
        throw MCsvFile::MCSVFileError("%s", MCsvFile::ErrorText(MCsvFile::ERR_WRITE));
    }

private:
    void Put(const char* s, std::size_t n)
    {
        while (n)
        {
            const DWORD nChunk = n > kSize ? static_cast<DWORD>(kSize) : static_cast<DWORD>(n);
            DWORD nWritten = 0;
            if (!WriteFile(m_file, s, nChunk, &nWritten, nullptr))
                Fail(GetLastError());
            if (nWritten != nChunk)
                Fail(ERROR_DISK_FULL);
            s += nChunk;
            n -= nChunk;
        }
    }

    static constexpr std::size_t kSize = std::size_t(1) << 20;
    HANDLE m_file;
    std::unique_ptr<char[]> m_data;
    std::size_t m_nUsed = 0;
    DWORD m_nError = 0;
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
            if (m_t.bByteOrderMark)
                m_out.Raw(MCsvFile::BYTE_ORDER_MARK, sizeof MCsvFile::BYTE_ORDER_MARK - 1);
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
            if (i >= m_pStrings->size() || r >= (*m_pStrings)[i].size())
                throw std::out_of_range("invalid vector subscript");
            m_out.Text((*m_pStrings)[i][r]);
        }
    }

    static double At(const std::vector<std::vector<double>>& columns, std::size_t i, std::size_t r)
    {
        if (i >= columns.size() || r >= columns[i].size())
            throw std::out_of_range("invalid vector subscript");
        return columns[i][r];
    }

    const MCsvFile& m_t;
    TextOutput& m_out;
    const std::vector<std::vector<double>>* m_pDoubles = nullptr;
    const StringColumns* m_pStrings = nullptr;
    std::string m_strSep;  // with CR in front of every LF
};
}  // namespace

bool MCsvFile::Write(const std::string& strFile, const std::string& strSep)
{
    strSeparator = strSep;
    nSystemError = 0;
    // Shared as a C runtime stream shares it: the caller may hold the file
    // open too (a temporary it flushes and puts in place).
    HANDLE file = CreateFileA(strFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        nSystemError = GetLastError();
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
    // What was written before a failure stays in the file; the file is
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
    nSystemError = out.SystemError();
    return bDone;
}
