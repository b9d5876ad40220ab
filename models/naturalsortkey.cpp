// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/naturalsortkey_p.h"

#include <QChar>

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

void putBigEndian32(std::vector<unsigned char>& out, std::uint32_t value)
{
    out.push_back(static_cast<unsigned char>(value >> 24));
    out.push_back(static_cast<unsigned char>(value >> 16));
    out.push_back(static_cast<unsigned char>(value >> 8));
    out.push_back(static_cast<unsigned char>(value));
}

// A number in 1, 2, 3 or 5 bytes, the first byte telling how many: byte strings order as the
// numbers do, and none is the start of another. ASCII takes one byte, the rest of the BMP three.
void putOrdered(std::vector<unsigned char>& out, std::uint64_t value)
{
    if (value < 0xF0) {
        out.push_back(static_cast<unsigned char>(value));
        return;
    }
    value -= 0xF0;
    if (value < 0x800) {
        out.push_back(static_cast<unsigned char>(0xF0 + (value >> 8)));
        out.push_back(static_cast<unsigned char>(value));
        return;
    }
    value -= 0x800;
    if (value < 0x70000) {
        out.push_back(static_cast<unsigned char>(0xF8 + (value >> 16)));
        out.push_back(static_cast<unsigned char>(value >> 8));
        out.push_back(static_cast<unsigned char>(value));
        return;
    }
    out.push_back(0xFF);
    putBigEndian32(out, static_cast<std::uint32_t>(value - 0x70000));
}

// A code unit that differs from its token's plain form. At the first position where two texts of
// the same tokens differ, one of them may have no entry: the entries nest so that an entry below
// the plain form sorts before every later entry and the end, and one above it after them.
void putUnit(std::vector<unsigned char>& out, std::size_t position, std::uint32_t c, std::uint32_t plain)
{
    const auto at = static_cast<std::uint32_t>(position);
    if (c < plain) {
        if (at < 0x7B) {
            out.push_back(static_cast<unsigned char>(0x01 + at));
        } else {
            out.push_back(0x7C);
            putBigEndian32(out, at);
        }
    } else if (at < 0x7B) {
        out.push_back(static_cast<unsigned char>(0xFF - at));
    } else {
        out.push_back(0x84);
        putBigEndian32(out, std::numeric_limits<std::uint32_t>::max() - at);
    }
    putOrdered(out, c);
}

void appendKey(const QString& text, std::vector<unsigned char>& key)
{
    // Converted as lum::wxFromQt converts, so that the key sees the code units the comparator sees.
    thread_local std::vector<wchar_t> wide;
    thread_local std::vector<unsigned char> zeros;
    thread_local std::vector<unsigned char> units;
    wide.resize(std::size_t(text.size()));
    const std::size_t size = text.isEmpty() ? 0 : std::size_t(text.toWCharArray(wide.data()));
    zeros.clear();
    units.clear();
    std::size_t zerosKept = 0;
    for (std::size_t i = 0; i < size;) {
        const std::uint32_t c = unit(wide[i]);
        if (digitValue(c) < 0) {
            const std::uint32_t plain = folded(c);
            putOrdered(key, std::uint64_t(plain) + (plain < '0' ? 1 : 2));
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
        key.push_back(digitRun);
        putOrdered(key, significant);
        for (std::size_t k = first; k < end; k += 2) {
            const int high = digitValue(unit(wide[k]));
            const int low = k + 1 < end ? digitValue(unit(wide[k + 1])) : 0;
            key.push_back(static_cast<unsigned char>(high << 4 | low));
        }
        // Zeros beyond the one a zero value keeps; the same count means the same length.
        const std::size_t extraZeros = end - i - (significant > 0 ? significant : 1);
        putOrdered(zeros, std::uint64_t(extraZeros) + 1);
        if (extraZeros > 0)
            zerosKept = zeros.size();
        for (std::size_t k = i; k < end; ++k) {
            const std::uint32_t digit = unit(wide[k]);
            const std::uint32_t plain = '0' + std::uint32_t(digitValue(digit));
            if (digit != plain)
                putUnit(units, k, digit, plain);
        }
        i = end;
    }
    key.push_back(levelEnd);
    // Runs without extra zeros at the end are left out: the level's end sorts below any entry.
    key.insert(key.end(), zeros.begin(), zeros.begin() + std::ptrdiff_t(zerosKept));
    key.push_back(levelEnd);
    key.insert(key.end(), units.begin(), units.end());
    key.push_back(unitsEnd);
}
}

bool NaturalSortKeys::append(const QString& text)
{
    appendKey(text, m_bytes);
    if (m_bytes.size() > std::numeric_limits<std::uint32_t>::max())
        return false;
    m_ends.push_back(static_cast<std::uint32_t>(m_bytes.size()));
    return true;
}
}
