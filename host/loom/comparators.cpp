// Corvane stand-in for the host's wx helper library.
#include "loom/comparators.h"

#include <QChar>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// Each comparator orders by a key that is a function of one text, then falls back to the natural
// order, which ends in a comparison of the code units: a lexicographic chain of keys like that is
// a strict total order however the keys tie. Every key is computed in place on the wide
// characters, so the hot path neither allocates nor consults the locale.
namespace
{
constexpr std::size_t npos = static_cast<std::size_t>(-1);
constexpr long long exponentLimit = 1000000000000000LL;

class Text
{
public:
    explicit Text(const wxString& text)
        : m_data(text.wc_str())
        , m_size(text.length())
    {
    }

    std::size_t size() const { return m_size; }
    // wchar_t is signed on some platforms; code units are compared as unsigned values.
    std::uint32_t operator[](std::size_t i) const { return static_cast<std::make_unsigned_t<wchar_t>>(m_data[i]); }

private:
    const wchar_t* m_data;
    std::size_t m_size;
};

bool isUnicode(std::uint32_t c)
{
    return c <= QChar::LastValidCodePoint;
}

// The lookups beyond ASCII stay out of line, so that the ASCII tests inline into every loop.
int unicodeDigitValue(std::uint32_t c)
{
    // Only decimal digits: superscripts and circled numbers carry digit values too.
    if (!isUnicode(c) || QChar::category(c) != QChar::Number_DecimalDigit)
        return -1;
    return QChar::digitValue(c);
}

std::uint32_t unicodeFolded(std::uint32_t c)
{
    return isUnicode(c) ? QChar::toCaseFolded(c) : c;
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
    return unicodeFolded(c);
}

bool isSpace(std::uint32_t c)
{
    return isUnicode(c) && QChar::isSpace(c);
}

bool isMinus(std::uint32_t c)
{
    return c == '-' || c == 0x2212;
}

int compareInts(std::size_t a, std::size_t b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

inline std::size_t digitRunEnd(const Text& t, std::size_t i)
{
    while (i < t.size() && digitValue(t[i]) >= 0)
        ++i;
    return i;
}

inline std::size_t skipZeros(const Text& t, std::size_t i, std::size_t end)
{
    while (i < end && digitValue(t[i]) == 0)
        ++i;
    return i;
}

// Compares two digit runs [ai, ae) and [bi, be) by value.
int compareDigitRuns(const Text& a, std::size_t ai, std::size_t ae, const Text& b, std::size_t bi, std::size_t be)
{
    ai = skipZeros(a, ai, ae);
    bi = skipZeros(b, bi, be);
    if (const int byLength = compareInts(ae - ai, be - bi))
        return byLength;
    for (; ai < ae; ++ai, ++bi) {
        const int da = digitValue(a[ai]);
        const int db = digitValue(b[bi]);
        if (da != db)
            return da < db ? -1 : 1;
    }
    return 0;
}

// The primary key of a token: a digit run sorts as the character '0' would, apart from it.
std::uint64_t tokenKey(std::uint32_t c, bool digit)
{
    return digit ? std::uint64_t('0') * 2 : std::uint64_t(folded(c)) * 2 + 1;
}

int compareNatural(const Text& a, const Text& b)
{
    // Tokens of the same code units tie at every level, so each level starts at the first code
    // unit that differs, backed up to the start of a digit run it falls in: before that point
    // both texts have the same tokens.
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    std::size_t difference = 0;
    while (difference < common && a[difference] == b[difference])
        ++difference;
    std::size_t start = difference;
    while (start > 0 && digitValue(a[start - 1]) >= 0)
        --start;

    // Primary: tokens by value, case-insensitively.
    std::size_t i = start;
    std::size_t j = start;
    while (i < a.size() && j < b.size()) {
        const bool digitA = digitValue(a[i]) >= 0;
        const bool digitB = digitValue(b[j]) >= 0;
        if (digitA && digitB) {
            const std::size_t endA = digitRunEnd(a, i);
            const std::size_t endB = digitRunEnd(b, j);
            if (const int byValue = compareDigitRuns(a, i, endA, b, j, endB))
                return byValue;
            i = endA;
            j = endB;
            continue;
        }
        const std::uint64_t keyA = tokenKey(a[i], digitA);
        const std::uint64_t keyB = tokenKey(b[j], digitB);
        if (keyA != keyB)
            return keyA < keyB ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;

    // Secondary: the texts have the same tokens; fewer leading zeros first.
    i = start;
    j = start;
    while (i < a.size() && j < b.size()) {
        if (digitValue(a[i]) >= 0) {
            const std::size_t endA = digitRunEnd(a, i);
            const std::size_t endB = digitRunEnd(b, j);
            if (const int byLength = compareInts(endA - i, endB - j))
                return byLength;
            i = endA;
            j = endB;
        } else {
            ++i;
            ++j;
        }
    }

    // Last: the code units, which tells apart any two different texts.
    if (difference < common)
        return a[difference] < b[difference] ? -1 : 1;
    return compareInts(a.size(), b.size());
}

std::size_t skipSpaces(const Text& t, std::size_t i, std::size_t end)
{
    while (i < end && isSpace(t[i]))
        ++i;
    return i;
}

std::size_t trimmedEnd(const Text& t, std::size_t begin)
{
    std::size_t end = t.size();
    while (end > begin && isSpace(t[end - 1]))
        --end;
    return end;
}

// An exact decimal number: sign × 0.d1d2…dn × 10^scale, its significant digits d read in place.
struct Decimal
{
    int sign = 0;
    std::size_t first = 0; // first significant digit
    std::size_t last = 0; // one past the last significant digit
    std::size_t dot = npos;
    long long scale = 0;
};

// Reads a number starting at i, not beyond end; returns where it stopped, or npos when there is none.
std::size_t parseDecimal(const Text& t, std::size_t i, std::size_t end, Decimal* number)
{
    bool negative = false;
    if (i < end && (t[i] == '+' || isMinus(t[i]))) {
        negative = isMinus(t[i]);
        ++i;
    }
    const std::size_t mantissa = i;
    std::size_t dot = npos;
    std::size_t digits = 0;
    for (; i < end; ++i) {
        if (digitValue(t[i]) >= 0)
            ++digits;
        else if (t[i] == '.' && dot == npos)
            dot = i;
        else
            break;
    }
    if (digits == 0)
        return npos;
    const std::size_t mantissaEnd = i;

    long long exponent = 0;
    if (i < end && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t k = i + 1;
        bool negativeExponent = false;
        if (k < end && (t[k] == '+' || isMinus(t[k]))) {
            negativeExponent = isMinus(t[k]);
            ++k;
        }
        const std::size_t exponentDigits = k;
        for (; k < end && digitValue(t[k]) >= 0; ++k) {
            if (exponent < exponentLimit)
                exponent = exponent * 10 + digitValue(t[k]);
        }
        // "2e" or "2E" without digits leaves the 'e' to whatever follows the number.
        if (k > exponentDigits) {
            exponent = negativeExponent ? -exponent : exponent;
            i = k;
        }
    }

    Decimal result;
    result.dot = dot;
    long long leadingZeros = 0;
    std::size_t k = mantissa;
    for (; k < mantissaEnd; ++k) {
        if (k == dot)
            continue;
        if (digitValue(t[k]) != 0)
            break;
        ++leadingZeros;
    }
    if (k < mantissaEnd) {
        result.sign = negative ? -1 : 1;
        result.first = k;
        std::size_t last = mantissaEnd;
        while (last > k && (last - 1 == dot || digitValue(t[last - 1]) == 0))
            --last;
        result.last = last;
        const long long integerDigits = static_cast<long long>(dot == npos ? mantissaEnd - mantissa : dot - mantissa);
        result.scale = integerDigits - leadingZeros + exponent;
    }
    *number = result;
    return i;
}

int compareMagnitudes(const Text& a, const Decimal& x, const Text& b, const Decimal& y)
{
    if (x.scale != y.scale)
        return x.scale < y.scale ? -1 : 1;
    std::size_t i = x.first;
    std::size_t j = y.first;
    while (i < x.last && j < y.last) {
        if (i == x.dot) {
            ++i;
            continue;
        }
        if (j == y.dot) {
            ++j;
            continue;
        }
        const int da = digitValue(a[i]);
        const int db = digitValue(b[j]);
        if (da != db)
            return da < db ? -1 : 1;
        ++i;
        ++j;
    }
    // Neither range ends on the dot, so the longer one has a further non-zero digit.
    return i < x.last ? 1 : (j < y.last ? -1 : 0);
}

int compareDecimals(const Text& a, const Decimal& x, const Text& b, const Decimal& y)
{
    if (x.sign != y.sign)
        return x.sign < y.sign ? -1 : 1;
    if (x.sign == 0)
        return 0;
    const int magnitude = compareMagnitudes(a, x, b, y);
    return x.sign > 0 ? magnitude : -magnitude;
}

bool parseNumber(const Text& t, Decimal* number)
{
    const std::size_t begin = skipSpaces(t, 0, t.size());
    const std::size_t end = trimmedEnd(t, begin);
    return parseDecimal(t, begin, end, number) == end;
}

// Orders texts of a kind before all other texts; kindOrder compares two texts of the kind.
template <typename Key, typename Parse, typename KindOrder>
bool kindLessThan(const wxString& left, const wxString& right, Parse parse, KindOrder kindOrder)
{
    const Text a(left);
    const Text b(right);
    Key x;
    Key y;
    const bool isA = parse(a, &x);
    const bool isB = parse(b, &y);
    if (isA != isB)
        return isA;
    if (isA) {
        if (const int byKind = kindOrder(a, x, b, y))
            return byKind < 0;
    }
    return compareNatural(a, b) < 0;
}

bool numbersLessThan(const wxString& left, const wxString& right)
{
    return kindLessThan<Decimal>(left, right, parseNumber, compareDecimals);
}

// Matches the range [begin, end) against an ASCII word, case-insensitively.
bool equalsWord(const Text& t, std::size_t begin, std::size_t end, const char* word)
{
    std::size_t i = begin;
    for (; *word; ++word, ++i) {
        if (i >= end || folded(t[i]) != static_cast<std::uint32_t>(*word))
            return false;
    }
    return i == end;
}

// The index of the first listed word the trimmed text equals, or the number of words.
template <std::size_t N> int wordRank(const Text& t, const char* const (&words)[N])
{
    const std::size_t begin = skipSpaces(t, 0, t.size());
    const std::size_t end = trimmedEnd(t, begin);
    for (std::size_t k = 0; k < N; ++k) {
        if (equalsWord(t, begin, end, words[k]))
            return static_cast<int>(k);
    }
    return static_cast<int>(N);
}

bool rankedLessThan(const wxString& left, const wxString& right, int (*rank)(const Text&))
{
    const Text a(left);
    const Text b(right);
    const int rankA = rank(a);
    const int rankB = rank(b);
    if (rankA != rankB)
        return rankA < rankB;
    return compareNatural(a, b) < 0;
}

struct FileSize
{
    long double bytes = 0;
};

int unitPower(const Text& t, std::size_t begin, std::size_t end)
{
    static const char* const byteUnits[] = { "", "b", "byte", "bytes" };
    for (const char* unit : byteUnits) {
        if (equalsWord(t, begin, end, unit))
            return 0;
    }
    static const char prefixes[] = "kmgtpe";
    if (begin >= end)
        return -1;
    for (int power = 1; prefixes[power - 1]; ++power) {
        if (folded(t[begin]) != static_cast<std::uint32_t>(prefixes[power - 1]))
            continue;
        if (end - begin == 1 || equalsWord(t, begin + 1, end, "b") || equalsWord(t, begin + 1, end, "ib"))
            return power;
    }
    return -1;
}

// 10^exponent as std::pow gives it; the usual exponents come from a table of its own results,
// filled once, as pow is by far the slowest step of reading a size.
long double powerOfTen(long long exponent)
{
    constexpr long long tableLimit = 64;
    struct Table
    {
        long double values[2 * tableLimit + 1];
        Table()
        {
            for (long long k = -tableLimit; k <= tableLimit; ++k)
                values[k + tableLimit] = std::pow(10.0L, static_cast<long double>(k));
        }
    };
    if (exponent < -tableLimit || exponent > tableLimit)
        return std::pow(10.0L, static_cast<long double>(exponent));
    static const Table table;
    return table.values[exponent + tableLimit];
}

bool parseFileSize(const Text& t, FileSize* size)
{
    const std::size_t begin = skipSpaces(t, 0, t.size());
    const std::size_t end = trimmedEnd(t, begin);
    Decimal number;
    const std::size_t numberEnd = parseDecimal(t, begin, end, &number);
    if (numberEnd == npos)
        return false;
    const int power = unitPower(t, skipSpaces(t, numberEnd, end), end);
    if (power < 0)
        return false;
    if (number.sign == 0) {
        size->bytes = 0;
        return true;
    }
    // Up to 19 significant digits are exact in the mantissa of a long double; the rest only round.
    std::uint64_t mantissa = 0;
    long long taken = 0;
    for (std::size_t i = number.first; i < number.last && taken < 19; ++i) {
        if (i == number.dot)
            continue;
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(digitValue(t[i]));
        ++taken;
    }
    // Saturates to 0 or infinity, never to NaN: the mantissa is at least 1.
    // Scaling by an exact power of two rounds as ldexp does.
    static const long double units[] = { 1.0L, 0x1p10L, 0x1p20L, 0x1p30L, 0x1p40L, 0x1p50L, 0x1p60L };
    const long double value = static_cast<long double>(mantissa) * powerOfTen(number.scale - taken) * units[power];
    size->bytes = number.sign < 0 ? -value : value;
    return true;
}

int compareFileSizes(const Text&, const FileSize& x, const Text&, const FileSize& y)
{
    return x.bytes < y.bytes ? -1 : (y.bytes < x.bytes ? 1 : 0);
}

struct PixelSize
{
    std::size_t widthBegin = 0;
    std::size_t widthEnd = 0;
    std::size_t heightBegin = 0;
    std::size_t heightEnd = 0;
};

bool parsePixelSize(const Text& t, PixelSize* size)
{
    const std::size_t begin = skipSpaces(t, 0, t.size());
    const std::size_t end = trimmedEnd(t, begin);
    size->widthBegin = begin;
    size->widthEnd = digitRunEnd(t, begin);
    if (size->widthEnd == begin || size->widthEnd > end)
        return false;
    std::size_t i = skipSpaces(t, size->widthEnd, end);
    if (i >= end || (t[i] != 'x' && t[i] != 'X' && t[i] != 0xD7))
        return false;
    i = skipSpaces(t, i + 1, end);
    size->heightBegin = i;
    size->heightEnd = digitRunEnd(t, i);
    return size->heightEnd > i && size->heightEnd == end;
}

int comparePixelSizes(const Text& a, const PixelSize& x, const Text& b, const PixelSize& y)
{
    if (const int byWidth = compareDigitRuns(a, x.widthBegin, x.widthEnd, b, y.widthBegin, y.widthEnd))
        return byWidth;
    return compareDigitRuns(a, x.heightBegin, x.heightEnd, b, y.heightBegin, y.heightEnd);
}

int toggleRank(const Text& t)
{
    static const char* const states[] = { "on", "yes", "true", "enabled", "1", "off", "no", "disabled", "false", "0" };
    const int word = wordRank(t, states);
    return word < 5 ? 0 : (word < 10 ? 2 : 1);
}

int plotStyleRank(const Text& t)
{
    static const char* const names[] = { "bylayer", "byblock" };
    return wordRank(t, names);
}

int dimStyleRank(const Text& t)
{
    static const char* const names[] = { "standard" };
    return wordRank(t, names);
}
}

namespace lom
{
bool stringsLessThan(const wxString& left, const wxString& right)
{
    return compareNatural(Text(left), Text(right)) < 0;
}

bool integersLessThan(const wxString& left, const wxString& right)
{
    return numbersLessThan(left, right);
}

bool doublesLessThan(const wxString& left, const wxString& right)
{
    return numbersLessThan(left, right);
}

bool fileSizeLessThan(wxString& left, wxString& right)
{
    return kindLessThan<FileSize>(left, right, parseFileSize, compareFileSizes);
}

bool toggleDisabledLessThan(const wxString& left, const wxString& right)
{
    return rankedLessThan(left, right, toggleRank);
}

bool plotStylesLessThan(const wxString& left, const wxString& right)
{
    return rankedLessThan(left, right, plotStyleRank);
}

bool pixelSizeLessThan(const wxString& left, const wxString& right)
{
    return kindLessThan<PixelSize>(left, right, parsePixelSize, comparePixelSizes);
}

bool dimStylesLessThan(const wxString& left, const wxString& right)
{
    return rankedLessThan(left, right, dimStyleRank);
}
}
