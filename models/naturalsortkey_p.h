// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QString>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace core
{
// A hint only: compilers without it lose speed, never answers.
inline void prefetch(const void* address)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// Byte keys of the host's natural text order (lom::stringsLessThan on the text as lum::wxFromQt
// converts it). Compared as unsigned bytes, the shorter first when one is a prefix of the other,
// two keys order exactly as the comparator orders their texts, and are equal only for equal texts:
// a sort builds each row's key once and then compares bytes instead of walking the texts.
//
// A key has three levels, each ordered and prefix-free on its own, so that the first level decides
// before the second is reached:
// - the tokens: each other character as its case folding, each digit run as its number of
//   significant digits and then the digits, two to a byte; a 0 byte ends the level;
// - the leading zeros of each digit run beyond the fewest its value needs (trailing runs without
//   any left out); a 0 byte ends the level;
// - the code units that differ from their token's plain form (the folded character, the ASCII
//   digit), by position and by which side of the plain form they are on, then the unit itself;
//   texts equal so far have their tokens at the same positions. The byte 0x80 ends the level.
//
// The keys of a column's texts are kept in one block, numbered in the order they were added.
class NaturalSortKeys
{
public:
    void reserve(std::size_t texts)
    {
        m_ends.reserve(texts);
        m_expected = texts;
    }
    /// Adds the key of the next text; false when the block has outgrown its 32-bit offsets.
    bool append(const QString& text);
    std::size_t size() const { return m_ends.size(); }
    /// Below, at or above 0 as key a orders before, with or after key b.
    int compare(std::uint32_t a, std::uint32_t b) const
    {
        const std::uint32_t aSize = size(a);
        const std::uint32_t bSize = size(b);
        const int byBytes = std::memcmp(bytes(a), bytes(b), aSize < bSize ? aSize : bSize);
        return byBytes != 0 ? byBytes : int(aSize > bSize) - int(aSize < bSize);
    }
    bool less(std::uint32_t a, std::uint32_t b) const { return compare(a, b) < 0; }
    const unsigned char* bytes(std::uint32_t k) const { return m_bytes.get() + (k ? m_ends[k - 1] : 0); }
    std::uint32_t size(std::uint32_t k) const { return m_ends[k] - (k ? m_ends[k - 1] : 0); }
    /// Orders the key numbers in `order` by their keys; `startsRank` tells, for each place, whether
    /// its key differs from the one before it (equal keys share a rank).
    void sort(std::vector<int>& order, std::vector<char>& startsRank) const;

private:
    // Grown by hand: a vector would clear the room each key is written into.
    std::unique_ptr<unsigned char[]> m_bytes;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::size_t m_expected = 0;
    std::vector<std::uint32_t> m_ends; // one past each key's last byte
};
}
