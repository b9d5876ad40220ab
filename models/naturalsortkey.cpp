// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/naturalsortkey_p.h"

#include <QChar>
#include <QtEndian>

#include <algorithm>
#include <limits>
#include <type_traits>

namespace core
{
namespace
{
// The character tests of the host comparator, on the same code units (wide characters, compared as
// unsigned values): any difference here would order some texts differently.
inline std::uint32_t unit(wchar_t c)
{
    return static_cast<std::make_unsigned_t<wchar_t>>(c);
}

int unicodeDigitValue(std::uint32_t c)
{
    if (c > QChar::LastValidCodePoint || QChar::category(c) != QChar::Number_DecimalDigit)
        return -1;
    return QChar::digitValue(c);
}

inline int digitValue(std::uint32_t c)
{
    if (c < 0x80)
        return c - '0' < 10 ? static_cast<int>(c - '0') : -1;
    return unicodeDigitValue(c);
}

inline std::uint32_t folded(std::uint32_t c)
{
    if (c < 0x80)
        return c - 'A' < 26 ? c + ('a' - 'A') : c;
    return c <= QChar::LastValidCodePoint ? QChar::toCaseFolded(c) : c;
}

constexpr unsigned char levelEnd = 0;
constexpr unsigned char unitsEnd = 0x80;
// A digit run sorts where the character '0' would: after the characters below it, which take
// their value + 1, and before the others, which take their value + 2.
constexpr unsigned char digitRun = '0' + 1;

// Writes into room made beforehand: a key's length has a bound, and growing a vector byte by byte
// would cost more than the rest of the key's work.
struct Writer
{
    unsigned char* at;
    void put(std::uint64_t byte) { *at++ = static_cast<unsigned char>(byte); }
};

// Room for one code unit, at most, in each level.
constexpr std::size_t tokenRoom = 6; // a one-digit run: 1 + 1 + 1; a character: up to 5
constexpr std::size_t zerosRoom = 5;
constexpr std::size_t unitRoom = 10;

void putBigEndian32(Writer& out, std::uint32_t value)
{
    out.put(value >> 24);
    out.put((value >> 16) & 0xFF);
    out.put((value >> 8) & 0xFF);
    out.put(value & 0xFF);
}

// A number in 1, 2, 3 or 5 bytes, the first byte telling how many: byte strings order as the
// numbers do, and none is the start of another. ASCII takes one byte, the rest of the BMP three.
void putOrdered(Writer& out, std::uint64_t value)
{
    if (value < 0xF0) {
        out.put(value);
        return;
    }
    value -= 0xF0;
    if (value < 0x800) {
        out.put(0xF0 + (value >> 8));
        out.put(value & 0xFF);
        return;
    }
    value -= 0x800;
    if (value < 0x70000) {
        out.put(0xF8 + (value >> 16));
        out.put((value >> 8) & 0xFF);
        out.put(value & 0xFF);
        return;
    }
    out.put(0xFF);
    putBigEndian32(out, static_cast<std::uint32_t>(value - 0x70000));
}

// A code unit that differs from its token's plain form. At the first position where two texts of
// the same tokens differ, one of them may have no entry: the entries nest so that an entry below
// the plain form sorts before every later entry and the end, and one above it after them.
void putUnit(Writer& out, std::size_t position, std::uint32_t c, std::uint32_t plain)
{
    const auto at = static_cast<std::uint32_t>(position);
    if (c < plain) {
        if (at < 0x7B) {
            out.put(0x01 + at);
        } else {
            out.put(0x7C);
            putBigEndian32(out, at);
        }
    } else if (at < 0x7B) {
        out.put(0xFF - at);
    } else {
        out.put(0x84);
        putBigEndian32(out, std::numeric_limits<std::uint32_t>::max() - at);
    }
    putOrdered(out, c);
}

// The largest key of a text of `size` code units.
std::size_t keyRoom(std::size_t size)
{
    return size * (tokenRoom + zerosRoom + unitRoom) + 3;
}

// Writes the key of the `size` code units of `wide` at `key`; returns its length.
std::size_t writeKey(const wchar_t* wide, std::size_t size, unsigned char* key)
{
    // The tokens go straight to the key, the other levels wait in room of their own.
    thread_local std::vector<unsigned char> room;
    if (room.size() <= size * (zerosRoom + unitRoom))
        room.resize(size * (zerosRoom + unitRoom) + 1);
    Writer tokens { key };
    Writer zeros { room.data() };
    Writer units { zeros.at + size * zerosRoom };
    const unsigned char* const zerosBegin = zeros.at;
    const unsigned char* const unitsBegin = units.at;
    const unsigned char* zerosKept = zeros.at;
    for (std::size_t i = 0; i < size;) {
        const std::uint32_t c = unit(wide[i]);
        if (digitValue(c) < 0) {
            const std::uint32_t plain = folded(c);
            putOrdered(tokens, std::uint64_t(plain) + (plain < '0' ? 1 : 2));
            if (c != plain)
                putUnit(units, i, c, plain);
            ++i;
            continue;
        }
        constexpr std::size_t none = std::numeric_limits<std::size_t>::max();
        std::size_t first = none;
        std::size_t end = i;
        for (int d; end < size && (d = digitValue(unit(wide[end]))) >= 0; ++end) {
            if (d > 0 && first == none)
                first = end;
        }
        if (first == none)
            first = end;
        const std::size_t significant = end - first;
        tokens.put(digitRun);
        putOrdered(tokens, significant);
        for (std::size_t k = first; k < end; k += 2) {
            const int high = digitValue(unit(wide[k]));
            const int low = k + 1 < end ? digitValue(unit(wide[k + 1])) : 0;
            tokens.put(std::uint64_t(high << 4 | low));
        }
        // Zeros beyond the one a zero value keeps; the same count means the same length.
        const std::size_t extraZeros = end - i - (significant > 0 ? significant : 1);
        putOrdered(zeros, std::uint64_t(extraZeros) + 1);
        if (extraZeros > 0)
            zerosKept = zeros.at;
        for (std::size_t k = i; k < end; ++k) {
            const std::uint32_t digit = unit(wide[k]);
            const std::uint32_t plain = '0' + std::uint32_t(digitValue(digit));
            if (digit != plain)
                putUnit(units, k, digit, plain);
        }
        i = end;
    }
    tokens.put(levelEnd);
    // Runs without extra zeros at the end are left out: the level's end sorts below any entry.
    for (const unsigned char* at = zerosBegin; at != zerosKept; ++at)
        tokens.put(*at);
    tokens.put(levelEnd);
    for (const unsigned char* at = unitsBegin; at != units.at; ++at)
        tokens.put(*at);
    tokens.put(unitsEnd);
    return std::size_t(tokens.at - key);
}
}

bool NaturalSortKeys::append(const QString& text)
{
    // Converted as lum::wxFromQt converts, so that the key sees the code units the comparator sees.
    thread_local std::vector<wchar_t> wide;
    wide.resize(std::size_t(text.size()));
    const std::size_t size = text.isEmpty() ? 0 : std::size_t(text.toWCharArray(wide.data()));
    const std::size_t room = keyRoom(size);
    if (m_capacity - m_size < room) {
        std::size_t capacity = std::max(2 * m_capacity, m_size + room);
        // Room for the texts still to come at twice the average so far, which spares large columns
        // the copies of growing step by step: the pages never written cost no memory.
        const std::size_t count = m_ends.size();
        if (count > 0 && count < m_expected)
            capacity = std::max(capacity, m_size + room + 2 * (m_size / count + 1) * (m_expected - count));
        std::unique_ptr<unsigned char[]> bytes(new unsigned char[capacity]);
        if (m_size > 0)
            std::memcpy(bytes.get(), m_bytes.get(), m_size);
        m_bytes = std::move(bytes);
        m_capacity = capacity;
    }
    m_size += writeKey(wide.data(), size, m_bytes.get() + m_size);
    if (m_size > std::numeric_limits<std::uint32_t>::max())
        return false;
    m_ends.push_back(static_cast<std::uint32_t>(m_size));
    return true;
}

namespace
{
// Eight bytes of a key from some depth on, as one number, and how much of the key is left there.
struct Chunk
{
    std::uint64_t bytes;
    std::uint32_t key;
    std::uint32_t size;
};
}

void NaturalSortKeys::sort(std::vector<int>& order, std::vector<char>& startsRank) const
{
    const std::size_t n = order.size();
    startsRank.assign(n, 0);
    if (n == 0)
        return;
    startsRank[0] = 1;
    constexpr std::size_t ahead = 8;
    // Keys come in the order their rows are shown: a column sorted before, either way round, is
    // ordered in one pass. Reversing the order is what a second click on a header does.
    bool up = true;
    bool down = true;
    for (std::size_t i = 1; i < n && (up || down); ++i) {
        if (i + ahead < n)
            prefetch(bytes(std::uint32_t(order[i + ahead])));
        const int sign = compare(std::uint32_t(order[i - 1]), std::uint32_t(order[i]));
        up = up && sign <= 0;
        down = down && sign >= 0;
        startsRank[i] = sign != 0;
    }
    if (up || down) {
        if (!up) {
            std::reverse(order.begin(), order.end());
            std::reverse(startsRank.begin() + 1, startsRank.end());
        }
        return;
    }
    // Sorted eight key bytes at a time from the front, and each run of equal bytes again by the
    // next eight: the passes read the keys in the order of the entries, which fetching ahead makes
    // cheap on tables far larger than the caches, and the sorts compare plain numbers. Equal keys
    // need no stable order: they share a rank.
    std::fill(startsRank.begin() + 1, startsRank.end(), 0);
    std::vector<Chunk> chunks(n);
    for (std::size_t i = 0; i < n; ++i)
        chunks[i] = {0, std::uint32_t(order[i]), size(std::uint32_t(order[i]))};
    struct Range
    {
        std::size_t begin;
        std::size_t end;
        std::uint32_t depth;
    };
    std::vector<Range> ranges{{0, n, 0}};
    while (!ranges.empty()) {
        const Range range = ranges.back();
        ranges.pop_back();
        const std::uint32_t depth = range.depth;
        for (std::size_t i = range.begin; i < range.end; ++i) {
            if (i + ahead < range.end)
                prefetch(bytes(chunks[i + ahead].key) + depth);
            unsigned char eight[8] = {};
            std::memcpy(eight, bytes(chunks[i].key) + depth, std::min<std::uint32_t>(8, chunks[i].size - depth));
            chunks[i].bytes = qFromBigEndian<quint64>(eight);
        }
        // Past its end a key reads as zeros: of two keys equal so far the shorter comes first.
        const auto left = [depth](const Chunk& c) { return std::min<std::uint32_t>(c.size - depth, 9); };
        const auto first = chunks.begin() + std::ptrdiff_t(range.begin);
        std::sort(first, chunks.begin() + std::ptrdiff_t(range.end), [&left](const Chunk& a, const Chunk& b) {
            return a.bytes != b.bytes ? a.bytes < b.bytes : left(a) < left(b);
        });
        std::size_t run = range.begin;
        for (std::size_t i = range.begin + 1; i <= range.end; ++i) {
            if (i < range.end && chunks[i].bytes == chunks[i - 1].bytes && left(chunks[i]) == left(chunks[i - 1]))
                continue;
            if (i < range.end)
                startsRank[i] = 1;
            // Keys that go on past these eight bytes are told apart by the next ones.
            if (i - run > 1 && left(chunks[run]) > 8)
                ranges.push_back({run, i, depth + 8});
            run = i;
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        order[i] = int(chunks[i].key);
}
}
