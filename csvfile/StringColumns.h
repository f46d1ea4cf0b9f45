// The text columns of a table, held compactly: the bytes of all entries in
// large shared chunks, each column a list of 4-byte references to them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Append-only store of entry texts. An entry is addressed by a reference
// (chunk index in the high bits, offset in the low ones) to its first byte;
// its length sits in the byte in front of it, or, from 255 on, in the four
// bytes before that. Chunks read from a file are adopted whole, so that an
// entry read from it stays where it was read. References end the arena at
// 4,096 chunks of at most 1 MiB each: up to 4 GiB of entries.
class EntryArena
{
public:
    using Ref = std::uint32_t;
    static constexpr unsigned kOffsetBits = 20;
    static constexpr std::size_t kChunkSpan = std::size_t(1) << kOffsetBits;  // bytes a chunk may address
    static constexpr std::size_t kMaxChunks = std::size_t(1) << (32 - kOffsetBits);
    static constexpr std::uint8_t kLongLength = 255;

    // More entries than references can reach.
    struct Full : std::length_error
    {
        Full() : std::length_error("more entries than one table can hold") {}
    };

    EntryArena();

    // The empty entry, stored once.
    static constexpr Ref kEmpty = 1;

    // Copies the text in.
    Ref Add(std::string_view text);

    // Takes over a chunk of `bytes` bytes, at most kChunkSpan; returns its index.
    Ref Adopt(std::unique_ptr<char[]> chunk, std::size_t bytes);

    // An entry that already sits in an adopted chunk, at `offset` with a
    // free byte in front for its length (below kLongLength).
    static Ref InPlace(Ref chunkIndex, char* chunk, std::size_t offset, std::uint8_t length)
    {
        if (offset == 0 || offset >= kChunkSpan || chunkIndex >= kMaxChunks)
            throw std::out_of_range("entry outside the chunks a reference can address");
        chunk[offset - 1] = static_cast<char>(length);
        return (chunkIndex << kOffsetBits) | static_cast<Ref>(offset);
    }

    std::string_view Get(Ref ref) const
    {
        const char* p = m_bases[ref >> kOffsetBits] + (ref & (kChunkSpan - 1));
        const auto length = static_cast<std::uint8_t>(p[-1]);
        if (length != kLongLength)
            return {p, length};
        std::uint32_t n;
        std::memcpy(&n, p - 5, 4);
        return {p, n};
    }

private:
    friend struct EntryArenaTestAccess;
    Ref NewChunk(std::size_t bytes);

    std::size_t m_maxChunks = kMaxChunks;
    std::vector<std::unique_ptr<char[]>> m_chunks;  // owners; null for the indices a big chunk spans
    std::vector<const char*> m_bases;               // chunk starts, for Get
    Ref m_addChunk = 0;  // the chunk Add writes to
    std::size_t m_used = 0;
    std::size_t m_room = 0;
    std::size_t m_nextAddChunk;
};

// One text column: the entries in order, as views into the arena.
class StringColumn
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        const_iterator(const StringColumn* column, std::size_t at) : m_column(column), m_at(at) {}
        std::string_view operator*() const { return (*m_column)[m_at]; }
        const_iterator& operator++()
        {
            ++m_at;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator old = *this;
            ++m_at;
            return old;
        }
        bool operator==(const const_iterator& other) const { return m_at == other.m_at; }

    private:
        const StringColumn* m_column = nullptr;
        std::size_t m_at = 0;
    };
    using value_type = std::string_view;

    StringColumn() = default;
    explicit StringColumn(std::shared_ptr<EntryArena> arena) : m_arena(std::move(arena)) {}

    std::size_t size() const { return m_refs.size(); }
    bool empty() const { return m_refs.empty(); }
    std::size_t capacity() const { return m_refs.capacity(); }
    void reserve(std::size_t n) { m_refs.reserve(n); }
    void clear() { m_refs.clear(); }

    std::string_view operator[](std::size_t row) const { return m_arena->Get(m_refs[row]); }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, m_refs.size()}; }

    void push_back(std::string_view text);
    void assign(std::size_t n, std::string_view text);
    // An entry already in this column's arena.
    void push_back_ref(EntryArena::Ref ref) { m_refs.push_back(ref); }

    EntryArena& Arena();

    friend bool operator==(const StringColumn& a, const std::vector<std::string>& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }
    friend bool operator==(const StringColumn& a, const StringColumn& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    std::shared_ptr<EntryArena> m_arena;
    std::vector<EntryArena::Ref> m_refs;
};

// The list of text columns, with the vector operations the table's users
// need. Columns made here share one arena; copies share it too, which is
// safe because entries never change once stored.
class StringColumns
{
public:
    StringColumns() = default;
    explicit StringColumns(const std::vector<std::vector<std::string>>& columns) { *this = columns; }
    StringColumns& operator=(const std::vector<std::vector<std::string>>& columns);

    std::size_t size() const { return m_columns.size(); }
    bool empty() const { return m_columns.empty(); }
    StringColumn& operator[](std::size_t i) { return m_columns[i]; }
    const StringColumn& operator[](std::size_t i) const { return m_columns[i]; }
    StringColumn& back() { return m_columns.back(); }
    auto begin() const { return m_columns.begin(); }
    auto end() const { return m_columns.end(); }

    StringColumn& emplace_back();
    // Drops the columns and, once no copy holds them, their entries.
    void clear();

    std::shared_ptr<EntryArena> SharedArena();

    friend bool operator==(const StringColumns& a, const std::vector<std::vector<std::string>>& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](const StringColumn& x, const std::vector<std::string>& y) { return x == y; });
    }
    friend bool operator==(const StringColumns& a, const StringColumns& b)
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    std::shared_ptr<EntryArena> m_arena;
    std::vector<StringColumn> m_columns;
};
