// MCsvFile: construction, error texts and the column operations.
#include "MCsvFile.h"

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

namespace
{
const char* const g_aszErrorTexts[MCsvFile::ERR_COUNT] = {
    "ERROR 0000: UNKNOWN ERROR",
    "ERROR 0001: An unknown error occurred in GetString()!",
    "ERROR 0002: An unknown error occurred in GetData()!",
    "ERROR 0003: GetString() was called while the dwReadFlags was not READ_AS_STRING.",
    "ERROR 0004: GetData() was called while the dwReadFlags was not RF_READ_AS_DOUBLE.",
    "ERROR 0005: Variable name not found!",
    "ERROR 0006: Filename name not found!",
    "ERROR 0007: File not found!",
    "ERROR 0008: The Number of Headers is different than the Number of Data Columns!",
    "ERROR 0009: Empty file!",
    "ERROR 0010: Read error!",
    "ERROR 0011: Write error!",
    "ERROR 0012: Parse error! Quotation marks incorrect.",
    "ERROR 0013: Parse error! Entry too long.",
};
}  // namespace

MCsvFile::MCSVFileError::MCSVFileError(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    // vsnprintf cuts and terminates; the rest of the buffer is zeroed so that
    // a copy never carries stale bytes.
    int n = std::vsnprintf(m_szMessage, sizeof m_szMessage, pszFormat, args);
    va_end(args);
    if (n < 0)
        n = 0;
    for (std::size_t i = static_cast<std::size_t>(n) + 1; i < sizeof m_szMessage; ++i)
        m_szMessage[i] = '\0';
}

const char* MCsvFile::ErrorText(unsigned nNumber)
{
    return nNumber < ERR_COUNT ? g_aszErrorTexts[nNumber] : g_aszErrorTexts[ERR_UNKNOWN];
}

std::string MCsvFile::TooLargeText(const std::string& strFile)
{
    return "The file " + strFile + " is too large for the table.";
}

MCsvFile::MCsvFile()
    : strSeparator(","), dwReadFlags(RF_READ_AS_DOUBLE), dwReserve(65535), bTransposed(false), bByteOrderMark(false)
{
}

void MCsvFile::Clear()
{
    strError.clear();
    vHeaders.clear();
    vSourceFiles.clear();
    vStringColumns.clear();
    vDoubleColumns.clear();
}

bool MCsvFile::AddColumn(const std::string& strName)
{
    try
    {
        vHeaders.push_back(strName);
        vSourceFiles.emplace_back();
        vStringColumns.emplace_back();
        return true;
    }
    catch (const std::exception& e)
    {
        strError = e.what();
    }
    catch (...)
    {
        strError = ErrorText(ERR_UNKNOWN);
    }
    return false;
}

bool MCsvFile::AddValue(std::uint32_t nColumn, const std::string& strValue)
{
    try
    {
        if (nColumn >= vStringColumns.size())
            throw std::out_of_range("invalid vector subscript");
        vStringColumns[nColumn].push_back(strValue);
        return true;
    }
    catch (const EntryArena::Full&)
    {
        strError = TooLargeText(strFileName);
    }
    catch (const std::exception& e)
    {
        strError = e.what();
    }
    catch (...)
    {
        strError = ErrorText(ERR_UNKNOWN);
    }
    return false;
}

std::uint32_t MCsvFile::FindColumn(const std::string& strName, std::uint32_t nStart) const
{
    for (std::size_t i = nStart; i < vHeaders.size(); ++i)
        if (vHeaders[i] == strName)
            return static_cast<std::uint32_t>(i);
    return NO_COLUMN;
}

std::size_t MCsvFile::GetNumberOfEntries(std::uint32_t nColumn) const
{
    if (dwReadFlags & RF_READ_AS_DOUBLE)
    {
        if (nColumn >= vDoubleColumns.size())
            throw std::out_of_range("invalid vector subscript");
        return vDoubleColumns[nColumn].size();
    }
    if (nColumn >= vStringColumns.size())
        throw std::out_of_range("invalid vector subscript");
    return vStringColumns[nColumn].size();
}
