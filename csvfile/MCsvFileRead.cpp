// Reading a table: the file is read in large blocks as a Windows text file
// (CR LF turns into LF), and entries are scanned out of the blocks into one
// fixed work buffer.
#include "MCsvFileRead.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "platform/sharedread.h"

namespace
{
[[noreturn]] void ThrowTableError(unsigned nNumber)
{
    throw MCsvFile::MCSVFileError("%s", MCsvFile::ErrorText(nNumber));
}

[[noreturn]] void ThrowSubscript()
{
    throw std::out_of_range("invalid vector subscript");
}

// First c in [s, e), or e. Entries are short, so eight bytes at a time
// beats a library call.
inline const char* FindByte(const char* s, const char* e, char c)
{
    if constexpr (std::endian::native == std::endian::little)
    {
        const std::uint64_t kOnes = 0x0101010101010101ull;
        const std::uint64_t kPattern = kOnes * static_cast<unsigned char>(c);
        while (e - s >= 8)
        {
            std::uint64_t x;
            std::memcpy(&x, s, 8);
            x ^= kPattern;
            // The lowest set bit marks the first byte equal to c.
            const std::uint64_t t = (x - kOnes) & ~x & (kOnes << 7);
            if (t)
                return s + (std::countr_zero(t) >> 3);
            s += 8;
        }
    }
    while (s != e && *s != c)
        ++s;
    return s;
}
struct FileCloser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// A file read whole, the way a text-mode stream on Windows reads it: CR LF
// becomes LF, a lone CR stays. The text is held in chunks of the read block
// size, and the chunk being parsed is exposed as [p, end). A table may adopt
// a chunk, so that the entries read from it stay where they are.
class TextInput
{
public:
    // Blocks never exceed what a chunk of an arena may address. The line
    // feeds are counted only for a reader that sizes columns by them.
    TextInput(std::FILE* file, std::size_t nBlock, bool bCountLineFeeds)
        : m_file(file), m_nBlock(std::clamp<std::size_t>(nBlock, 1, EntryArena::kChunkSpan - 1 - kSlack)),
          m_bCountLineFeeds(bCountLineFeeds)
    {
    }

    // Reads the file; false when it cannot be read at all (a directory
    // opened on POSIX, for instance). A later read error ends the text.
    bool Open()
    {
        bool bFileDone = false, bPendingCR = false, bReadError = false, bOpenFailed = false;
        // Blocks start small and double up to the full size, so that a small
        // file never costs a big allocation.
        std::size_t nBlock = std::min(m_nBlock, kFirstBlock);
        for (; !bFileDone; nBlock = std::min(2 * nBlock, m_nBlock))
        {
            std::unique_ptr<char[]> data(new char[1 + nBlock + kSlack]);
            char* const pRaw = data.get() + 1;
            const std::size_t nGot = std::fread(pRaw, 1, nBlock, m_file);
            if (nGot < nBlock)
            {
                bFileDone = true;
                bReadError = std::ferror(m_file) != 0;
            }
            char* pBegin = pRaw;
            // A CR held back from the previous block goes in front, so it can
            // meet the LF that may open this one.
            if (bPendingCR)
            {
                *--pBegin = '\r';
                bPendingCR = false;
            }
            char* pEnd = Translate(pBegin, pRaw + nGot, bFileDone, bPendingCR);
            if (m_chunks.empty() && bReadError)
                bOpenFailed = true;
            if (pEnd == pBegin)
                continue;
            if (nGot < nBlock)
                data = Shrunk(std::move(data), pBegin, pEnd);
            if (m_bCountLineFeeds)
                m_nLineFeeds += static_cast<std::size_t>(std::count(pBegin, pEnd, '\n'));
            char* const base = data.get();
            m_chunks.push_back({std::move(data), base, pBegin, pEnd, nullptr, kNoIndex});
        }
        return !bOpenFailed;
    }

    // Next character, or -1 at the end, which marks the stream as ended the
    // way a failed get() sets eof and fail.
    int Get()
    {
        if (p == end && !Fill())
        {
            m_bEnded = true;
            return -1;
        }
        return static_cast<unsigned char>(*p++);
    }

    // Like Get at the end: the caller found p == end and no more data.
    bool More()
    {
        if (p != end || Fill())
            return true;
        m_bEnded = true;
        return false;
    }

    bool Ended() const { return m_bEnded; }

    void Rewind()
    {
        m_nNext = 0;
        p = end = kNothing;
        m_bEnded = false;
    }

    std::size_t LineFeeds() const { return m_nLineFeeds; }

    // A reference in `arena` to the text [at, at + length) of the chunk
    // being parsed, which the arena adopts on first use; false when the text
    // has no byte in front of it for its length, or the chunk went to
    // another arena.
    bool PlaceIn(EntryArena& arena, const char* at, std::uint8_t length, EntryArena::Ref& ref)
    {
        Chunk& chunk = m_chunks[m_nNext - 1];
        if (at == chunk.base)
            return false;
        if (chunk.arena != &arena)
        {
            if (chunk.arena)
                return false;
            chunk.index = arena.Adopt(std::move(chunk.owner), static_cast<std::size_t>(chunk.end - chunk.base));
            chunk.arena = &arena;
        }
        ref = EntryArena::InPlace(chunk.index, chunk.base, static_cast<std::size_t>(at - chunk.base), length);
        return true;
    }

    const char* p = kNothing;
    const char* end = kNothing;

    // Bytes behind the text that may be read (never used) by fixed-size copies.
    static constexpr std::size_t kSlack = 16;
    static constexpr std::size_t kFirstBlock = std::size_t(1) << 16;

private:
    static constexpr EntryArena::Ref kNoIndex = ~EntryArena::Ref(0);
    static constexpr const char* kNothing = "";

    struct Chunk
    {
        std::unique_ptr<char[]> owner;  // empty once an arena took it
        char* base;                     // the allocation, whoever owns it
        const char* begin;              // the text
        const char* end;
        EntryArena* arena;     // that took it, or null
        EntryArena::Ref index;  // in that arena
    };

    // CR LF to LF in place in [r, pEnd); returns the new end. A CR that ends
    // the block is held back unless the file is done.
    static char* Translate(char* r, char* const pEnd, bool bFileDone, bool& bPendingCR)
    {
        char* w = r;
        for (;;)
        {
            char* q = static_cast<char*>(std::memchr(r, '\r', static_cast<std::size_t>(pEnd - r)));
            const std::size_t n = static_cast<std::size_t>((q ? q : pEnd) - r);
            if (w != r)
                std::memmove(w, r, n);
            w += n;
            if (!q)
                return w;
            if (q + 1 == pEnd)
            {
                if (bFileDone)
                    *w++ = '\r';
                else
                    bPendingCR = true;
                return w;
            }
            if (q[1] != '\n')
                *w++ = '\r';
            r = q + 1;
        }
    }

    // The last block, copied into an allocation of its own size.
    static std::unique_ptr<char[]> Shrunk(std::unique_ptr<char[]> data, char*& pBegin, char*& pEnd)
    {
        const std::size_t nFront = static_cast<std::size_t>(pBegin - data.get());
        const std::size_t n = static_cast<std::size_t>(pEnd - pBegin);
        std::unique_ptr<char[]> fit(new char[nFront + n + kSlack]);
        std::memcpy(fit.get() + nFront, pBegin, n);
        pBegin = fit.get() + nFront;
        pEnd = pBegin + n;
        return fit;
    }

    // Moves to the next chunk; false at the end of the text.
    bool Fill()
    {
        if (m_nNext == m_chunks.size())
        {
            p = end = kNothing;
            return false;
        }
        const Chunk& chunk = m_chunks[m_nNext++];
        p = chunk.begin;
        end = chunk.end;
        return true;
    }

    std::FILE* m_file;
    std::size_t m_nBlock;
    std::vector<Chunk> m_chunks;
    std::size_t m_nNext = 0;  // the chunk after the one being parsed
    bool m_bCountLineFeeds;
    std::size_t m_nLineFeeds = 0;
    bool m_bEnded = false;  // a read found the end (eof and fail)
};

class Parser
{
public:
    Parser(MCsvFile& table, TextInput& in, MCsvEntrySink* pSink) : m_t(table), m_in(in), m_pSink(pSink) {}

    void Run()
    {
        if (!(m_t.dwReadFlags & MCsvFile::RF_KEEP_DATA))
            m_t.Clear();
        const std::size_t nFirst = m_t.vHeaders.size();
        if (m_t.strSeparator.empty())
            throw std::out_of_range("invalid string position");
        m_cSep = m_t.strSeparator[0];
        if (m_t.bTransposed)
            ReadTransposed(nFirst);
        else
            ReadRows(nFirst);
        if (!m_t.vHeaders.empty())
            DropLastIfLineFeed(m_t.vHeaders.back());
    }

private:
    void ReadRows(std::size_t nFirst)
    {
        const std::size_t n = FieldCount();
        if (n == 0)
            ThrowTableError(MCsvFile::ERR_EMPTY_FILE);
        if (FieldCount() != n)
            ThrowTableError(MCsvFile::ERR_HEADER_COUNT);
        m_in.Rewind();
        m_nEntriesPerColumn = m_in.LineFeeds() + 1;

        for (std::size_t c = 0; c < n; ++c)
        {
            if (!ReadEntry(c + 1 == n))
                break;
            AddHeader();
            if (!m_pSink)
                CreateColumn();
        }
        if (m_pSink && !m_pSink->Headers(FinalHeaders()))
            return;
        do
        {
            bool bStored = false;
            for (std::size_t c = 0; c < n; ++c)
            {
                if (!ReadEntry(c + 1 == n))
                    break;
                // A line feed in front is the end of a blank line.
                if (FirstChar() != '\n')
                {
                    Store(nFirst + c);
                    bStored = true;
                }
            }
            if (m_pSink && bStored)
                m_pSink->EndRow();
        } while (!m_in.Ended());
    }

    void ReadTransposed(std::size_t nFirst)
    {
        const std::size_t nLines = LineCount();
        m_in.Rewind();
        const std::size_t n = FieldCount();
        m_in.Rewind();
        if (nLines == 0 || n == 0)
            ThrowTableError(MCsvFile::ERR_EMPTY_FILE);
        m_nEntriesPerColumn = n;
        for (std::size_t i = 0; i < nLines; ++i)
        {
            if (!ReadEntry(false))
                ThrowTableError(MCsvFile::ERR_HEADER_COUNT);
            CreateColumn();
        }
        m_in.Rewind();

        while (!m_in.Ended())
        {
            for (std::size_t r = 0; r < nLines; ++r)
            {
                for (std::size_t f = 0; f < n; ++f)
                {
                    if (!ReadEntry(f + 1 == n))
                        break;
                    if (FirstChar() == '\n')
                        continue;
                    if (f == 0)
                    {
                        AddHeader();
                        DropLastIfLineFeed(m_t.vHeaders.back());
                    }
                    else
                    {
                        Store(nFirst + r);
                    }
                }
            }
        }
    }

    // The headers as Run leaves them once done.
    std::vector<std::string> FinalHeaders() const
    {
        std::vector<std::string> headers = m_t.vHeaders;
        if (!headers.empty())
            DropLastIfLineFeed(headers.back());
        return headers;
    }

    static void DropLastIfLineFeed(std::string& str)
    {
        if (str.find('\n') != std::string::npos)
            str.pop_back();
    }

    // 1 plus the separators outside double quotes up to the line feed, which
    // is consumed; 0 when the end of the file was already met.
    std::size_t FieldCount()
    {
        if (m_in.Ended())
            return 0;
        std::size_t n = 1;
        bool bQuoted = false;
        while (m_in.More())
        {
            const char* s = m_in.p;
            const char* const e = m_in.end;
            for (; s != e; ++s)
            {
                const char c = *s;
                if (c == '\n')
                {
                    m_in.p = s + 1;
                    return n;
                }
                if (c == '"')
                    bQuoted = !bQuoted;
                else if (c == m_cSep && !bQuoted)
                    ++n;
            }
            m_in.p = e;
        }
        return n;
    }

    // Lines holding at least one character, a last line without line feed
    // included.
    std::size_t LineCount()
    {
        std::size_t n = 0;
        bool bOpenLine = false;
        while (m_in.More())
        {
            const char* s = m_in.p;
            const char* const e = m_in.end;
            while (const char* q = static_cast<const char*>(std::memchr(s, '\n', static_cast<std::size_t>(e - s))))
            {
                if (q != s || bOpenLine)
                    ++n;
                bOpenLine = false;
                s = q + 1;
            }
            if (s != e)
                bOpenLine = true;
            m_in.p = e;
        }
        return bOpenLine ? n + 1 : n;
    }

    // One entry into m_szEntry; false at the end of the file. `last` makes
    // the line feed the delimiter of an unquoted entry instead of the
    // separator.
    bool ReadEntry(bool bLast)
    {
        const char* p = m_in.p;
        if (p == m_in.end)
        {
            if (!m_in.More())
                return false;
            p = m_in.p;
        }
        const char* const end = m_in.end;
        const char c = *p;
        if (c == '"')
        {
            m_in.p = p + 1;
            ReadQuoted();
            m_in.Get();  // the separator or line feed behind the closing quote
            return true;
        }
        const char cDelim = bLast ? '\n' : m_cSep;
        if (c == cDelim)
        {
            m_in.p = p + 1;
            SetEntryLength(0);
            return true;
        }
        // The entry (n characters) and its delimiter: the characters taken
        // after the first one, delimiter included, may not reach 1022.
        // Usually all of it is in this block.
        const std::size_t nWindow = std::min(static_cast<std::size_t>(end - p), kStepLimit + 1);
        const char* q = FindByte(p + 1, p + nWindow, cDelim);
        if (q != p + nWindow)
        {
            const std::size_t n = static_cast<std::size_t>(q - p);
            if (n >= kStepLimit)
                ThrowTableError(MCsvFile::ERR_ENTRY_TOO_LONG);
            m_in.p = q + 1;
            m_entry = {p, n};
            m_bEntryInChunk = true;
            return true;
        }

        m_szEntry[0] = c;
        m_in.p = p + 1;
        std::size_t n = 1;
        while (m_in.More())
        {
            const char* const s = m_in.p;
            const char* const e = s + std::min(static_cast<std::size_t>(m_in.end - s), kStepLimit + 1 - n);
            q = FindByte(s, e, cDelim);
            std::memcpy(m_szEntry + n, s, static_cast<std::size_t>(q - s));
            n += static_cast<std::size_t>(q - s);
            m_in.p = q;
            if (q != e)
            {
                ++m_in.p;
                if (n >= kStepLimit)
                    ThrowTableError(MCsvFile::ERR_ENTRY_TOO_LONG);
                break;
            }
            if (n > kStepLimit)
                ThrowTableError(MCsvFile::ERR_ENTRY_TOO_LONG);
        }
        SetEntryLength(n);
        return true;
    }

    // Text up to the next double quote, which ends the entry (a doubled
    // quote is no escape). The characters taken, closing quote included,
    // may not reach 1023.
    void ReadQuoted()
    {
        std::size_t n = 0;
        for (;;)
        {
            if (!m_in.More())
                ThrowTableError(MCsvFile::ERR_QUOTES);
            const std::size_t nAvail = static_cast<std::size_t>(m_in.end - m_in.p);
            const std::size_t nWindow = std::min(nAvail, kQuotedLimit - n);
            const char* q = static_cast<const char*>(std::memchr(m_in.p, '"', nWindow));
            const std::size_t nTake = q ? static_cast<std::size_t>(q - m_in.p) : nWindow;
            std::memcpy(m_szEntry + n, m_in.p, nTake);
            n += nTake;
            m_in.p += nTake;
            if (q)
            {
                ++m_in.p;
                if (n + 1 >= kQuotedLimit)
                    ThrowTableError(MCsvFile::ERR_ENTRY_TOO_LONG);
                break;
            }
            if (n >= kQuotedLimit)
                ThrowTableError(MCsvFile::ERR_ENTRY_TOO_LONG);
        }
        SetEntryLength(n);
    }

    void SetEntryLength(std::size_t n)
    {
        m_szEntry[n] = '\0';
        m_entry = {m_szEntry, n};
        m_bEntryInChunk = false;
    }

    char FirstChar() const { return m_entry.empty() ? '\0' : m_entry[0]; }

    // The entry as a C string, for atof.
    const char* TerminatedEntry()
    {
        if (m_bEntryInChunk)
        {
            const std::size_t n = m_entry.size();
            if (n <= kShortEntry)
                std::memcpy(m_szEntry, m_entry.data(), kShortEntry);  // fixed size: no library call; chunks have slack
            else
                std::memcpy(m_szEntry, m_entry.data(), n);
            SetEntryLength(n);
        }
        return m_szEntry;
    }

    void AddHeader()
    {
        m_t.vHeaders.emplace_back(m_entry);
        m_t.vSourceFiles.push_back(m_t.strFileName);
    }

    void CreateColumn()
    {
        if (m_t.dwReadFlags & MCsvFile::RF_READ_AS_DOUBLE)
        {
            m_t.vDoubleColumns.emplace_back();
            m_t.vDoubleColumns.back().reserve(Reserve());
        }
        else if (m_t.dwReadFlags & MCsvFile::READ_AS_STRING)
        {
            m_t.vStringColumns.emplace_back().reserve(Reserve());
        }
    }

    void Store(std::size_t nColumn)
    {
        if (m_pSink)
            return m_pSink->Entry(nColumn, m_entry);
        if (m_t.dwReadFlags & MCsvFile::RF_READ_AS_DOUBLE)
        {
            if (nColumn >= m_t.vDoubleColumns.size())
                ThrowSubscript();
            m_t.vDoubleColumns[nColumn].push_back(std::atof(TerminatedEntry()));
        }
        else if (m_t.dwReadFlags & MCsvFile::READ_AS_STRING)
        {
            if (nColumn >= m_t.vStringColumns.size())
                ThrowSubscript();
            StoreText(m_t.vStringColumns[nColumn]);
        }
    }

    // Entries read whole from one chunk stay there; the rest are copied.
    void StoreText(StringColumn& column)
    {
        const std::size_t n = m_entry.size();
        EntryArena::Ref ref;
        if (n == 0)
            column.push_back_ref(EntryArena::kEmpty);
        else if (m_bEntryInChunk && n < EntryArena::kLongLength &&
                 m_in.PlaceIn(column.Arena(), m_entry.data(), static_cast<std::uint8_t>(n), ref))
            column.push_back_ref(ref);
        else
            column.push_back(m_entry);
    }

    // Never more entries per column than the file has room for.
    std::size_t Reserve() const { return std::min<std::size_t>(m_t.dwReserve, m_nEntriesPerColumn); }

    static constexpr std::size_t kShortEntry = TextInput::kSlack;
    // Unquoted: 1022 characters taken after the first one fail.
    static constexpr std::size_t kStepLimit = 1022;
    // Quoted: 1023 characters taken, closing quote included, fail.
    static constexpr std::size_t kQuotedLimit = 1023;

    MCsvFile& m_t;
    TextInput& m_in;
    MCsvEntrySink* m_pSink;  // takes the entries in place of the columns
    char m_cSep = ',';
    std::size_t m_nEntriesPerColumn = 0;
    std::string_view m_entry;     // the entry read last, in its chunk or in m_szEntry
    bool m_bEntryInChunk = false;
    char m_szEntry[1024];
};

// The file's input; null when the file is missing or cannot be read.
std::unique_ptr<TextInput> OpenInput(std::FILE* file, std::size_t nBlockSize, bool bCountLineFeeds)
{
    if (!file)
        return nullptr;
    auto in = std::make_unique<TextInput>(file, nBlockSize, bCountLineFeeds);
    if (!in->Open())
        return nullptr;
    return in;
}

// Whether the file opens with a byte-order mark, read past it; else the
// file is read from its start.
bool SkipByteOrderMark(std::FILE* file)
{
    char head[sizeof MCsvFile::BYTE_ORDER_MARK - 1];
    if (std::fread(head, 1, sizeof head, file) == sizeof head &&
        std::memcmp(head, MCsvFile::BYTE_ORDER_MARK, sizeof head) == 0)
        return true;
    std::rewind(file);
    return false;
}

// The error of a read that threw (call inside a catch block): the table's
// own as it stands, anything else put into one, cut to its buffer alike.
MCsvFile::MCSVFileError ReadError(const std::string& strFile)
{
    try
    {
        throw;
    }
    catch (const MCsvFile::MCSVFileError& e)
    {
        return e;
    }
    catch (const EntryArena::Full&)
    {
        return MCsvFile::MCSVFileError("%s", MCsvFile::TooLargeText(strFile).c_str());
    }
    catch (const std::exception& e)
    {
        return MCsvFile::MCSVFileError("%s", e.what());
    }
    catch (...)
    {
        return MCsvFile::MCSVFileError("%s", MCsvFile::ErrorText(MCsvFile::ERR_UNKNOWN));
    }
}
}  // namespace

bool MCsvFile_ReadTable(MCsvFile& table, const std::string& strFile, std::uint32_t dwFlags, bool bTransposedLayout,
                        std::size_t nBlockSize, MCsvEntrySink* pSink)
{
    table.strFileName = strFile;
    table.dwReadFlags = dwFlags;
    table.bTransposed = bTransposedLayout;

    // Other programs may write or delete the file while it is read.
    std::unique_ptr<std::FILE, FileCloser> file(Plat_OpenSharedRead(strFile.c_str()));
    table.bByteOrderMark = file && (dwFlags & MCsvFile::RF_BYTE_ORDER_MARK) && SkipByteOrderMark(file.get());
    // A sink keeps no columns to size.
    std::unique_ptr<TextInput> in = OpenInput(file.get(), nBlockSize, pSink == nullptr);
    if (!in)
    {
        table.strError = std::string(MCsvFile::ErrorText(MCsvFile::ERR_FILE_NOT_FOUND)) + "\nDetails: " + strFile;
        return false;
    }

    try
    {
        Parser(table, *in, pSink).Run();
    }
    catch (...)
    {
        table.strError = ReadError(strFile).what();
        return false;
    }
    return true;
}

bool MCsvFile::Read(const std::string& strFile, std::uint32_t dwFlags, bool bTransposedLayout)
{
    return MCsvFile_ReadTable(*this, strFile, dwFlags, bTransposedLayout, MCSVFILE_READ_BLOCK);
}

bool MCsvFile::ReadEntries(const std::string& strFile, MCsvEntrySink& sink, std::uint32_t dwFlags)
{
    return MCsvFile_ReadTable(*this, strFile, dwFlags | READ_AS_STRING, false, MCSVFILE_READ_BLOCK, &sink);
}
