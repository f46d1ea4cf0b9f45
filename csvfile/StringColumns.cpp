#include "StringColumns.h"

#include <new>
#include <stdexcept>

namespace
{
// Chunks for added entries start small, for tables of a few entries, and
// double up to the full span, so that the chunk indices reach the 4 GiB.
constexpr std::size_t kFirstAddChunk = std::size_t(1) << 12;
constexpr std::size_t kLastAddChunk = EntryArena::kChunkSpan;
}  // namespace

EntryArena::EntryArena()
{
    m_nextAddChunk = kFirstAddChunk;
    NewChunk(kEmpty);
    m_chunks[0][0] = 0;  // the length of kEmpty
}

EntryArena::Ref EntryArena::NewChunk(std::size_t bytes)
{
    const std::size_t spans = (bytes + kChunkSpan - 1) / kChunkSpan;
    if (m_chunks.size() + spans > m_maxChunks)
        throw Full();
    const Ref index = static_cast<Ref>(m_chunks.size());
    m_chunks.emplace_back(new char[bytes]);
    m_bases.push_back(m_chunks.back().get());
    for (std::size_t i = 1; i < spans; ++i)
    {
        m_chunks.emplace_back();
        m_bases.push_back(nullptr);
    }
    return index;
}

EntryArena::Ref EntryArena::Add(std::string_view text)
{
    const std::size_t n = text.size();
    if (n == 0)
        return kEmpty;
    if (n > 0xFFFFFFFFu)
        throw std::length_error("entry too long");
    const std::size_t header = n < kLongLength ? 1 : 5;
    if (header + n > m_room)
    {
        const std::size_t bytes = std::max(m_nextAddChunk, header + n);
        m_nextAddChunk = std::min(2 * m_nextAddChunk, kLastAddChunk);
        m_addChunk = NewChunk(bytes);
        m_used = 0;
        m_room = bytes;
    }
    char* const base = m_chunks[m_addChunk].get();
    const std::size_t offset = m_used + header;
    if (header == 1)
    {
        base[m_used] = static_cast<char>(n);
    }
    else
    {
        const auto n32 = static_cast<std::uint32_t>(n);
        std::memcpy(base + m_used, &n32, 4);
        base[m_used + 4] = static_cast<char>(kLongLength);
    }
    std::memcpy(base + offset, text.data(), n);
    m_used = offset + n;
    m_room -= header + n;
    // A chunk bigger than its span is used by this one entry only.
    if (m_used >= kChunkSpan)
        m_room = 0;
    return (m_addChunk << kOffsetBits) | static_cast<Ref>(offset);
}

EntryArena::Ref EntryArena::Adopt(std::unique_ptr<char[]> chunk, std::size_t bytes)
{
    if (bytes > kChunkSpan)
        throw std::out_of_range("chunk larger than a reference can address");
    if (m_chunks.size() >= m_maxChunks)
        throw Full();
    m_bases.push_back(chunk.get());
    m_chunks.push_back(std::move(chunk));
    return static_cast<Ref>(m_chunks.size() - 1);
}

void StringColumn::push_back(std::string_view text)
{
    m_refs.push_back(Arena().Add(text));
}

void StringColumn::assign(std::size_t n, std::string_view text)
{
    const EntryArena::Ref ref = Arena().Add(text);
    m_refs.assign(n, ref);
}

EntryArena& StringColumn::Arena()
{
    if (!m_arena)
        m_arena = std::make_shared<EntryArena>();
    return *m_arena;
}

StringColumns& StringColumns::operator=(const std::vector<std::vector<std::string>>& columns)
{
    clear();
    for (const auto& column : columns)
    {
        StringColumn& added = emplace_back();
        added.reserve(column.size());
        for (const std::string& entry : column)
            added.push_back(entry);
    }
    return *this;
}

StringColumn& StringColumns::emplace_back()
{
    m_columns.emplace_back(SharedArena());
    return m_columns.back();
}

void StringColumns::clear()
{
    m_columns.clear();
    m_arena.reset();
}

std::shared_ptr<EntryArena> StringColumns::SharedArena()
{
    if (!m_arena)
        m_arena = std::make_shared<EntryArena>();
    return m_arena;
}
