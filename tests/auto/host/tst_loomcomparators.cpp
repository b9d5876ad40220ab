// Corvane.Core tests.
#include <loom/comparators.h>
#include <lumen/strings.h>

#include <QRandomGenerator>
#include <QtTest>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <vector>

// Counts the allocations made while a test watches, to hold the comparators to their promise
// of comparing in place.
namespace
{
std::atomic<bool> watchingAllocations { false };
std::atomic<int> allocations { 0 };
}

void* operator new(std::size_t size)
{
    if (watchingAllocations.load(std::memory_order_relaxed))
        ++allocations;
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

// The default array forms end in these.
void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace
{
using LessThan = std::function<bool(const wxString&, const wxString&)>;

struct Comparator
{
    const char* name;
    LessThan lessThan;
};

const std::vector<Comparator>& comparators()
{
    static const std::vector<Comparator> all {
        { "strings", lom::stringsLessThan },
        { "integers", lom::integersLessThan },
        { "doubles", lom::doublesLessThan },
        { "fileSize",
            [](const wxString& left, const wxString& right) {
                wxString l = left;
                wxString r = right;
                return lom::fileSizeLessThan(l, r);
            } },
        { "toggleDisabled", lom::toggleDisabledLessThan },
        { "plotStyles", lom::plotStylesLessThan },
        { "pixelSize", lom::pixelSizeLessThan },
        { "dimStyles", lom::dimStylesLessThan },
    };
    return all;
}

LessThan comparator(const QString& name)
{
    for (const Comparator& entry : comparators()) {
        if (name == QLatin1String(entry.name))
            return entry.lessThan;
    }
    return {};
}

wxString codeUnits(std::initializer_list<std::uint32_t> units)
{
    wxString text;
    for (const std::uint32_t unit : units)
        text.append(1, static_cast<wchar_t>(unit));
    return text;
}

QString show(const wxString& text)
{
    QString result;
    for (wxString::const_iterator it = text.begin(); it != text.end(); ++it) {
        const auto unit = static_cast<std::make_unsigned_t<wchar_t>>(static_cast<wchar_t>(*it));
        if (unit >= 0x20 && unit < 0x7f)
            result += QChar(static_cast<ushort>(unit));
        else
            result += QStringLiteral("\\x{%1}").arg(unit, 0, 16);
    }
    return QLatin1Char('"') + result + QLatin1Char('"');
}

QStringList repeated(const QString& head, QChar digit, int count, const QString& tail = QString())
{
    return { head + QString(count, digit) + tail };
}

// Texts built from the pieces that make the comparators' rules meet: digit runs of several
// scripts and lengths, signs, separators, units, special names, case pairs, code units that
// are not characters, and plain random UTF-16.
class TextGenerator
{
public:
    explicit TextGenerator(quint32 seed)
        : m_random(seed)
    {
    }

    wxString next(const std::vector<wxString>& earlier)
    {
        if (!earlier.empty() && m_random.bounded(4) == 0) {
            const wxString& model = earlier[m_random.bounded(static_cast<quint32>(earlier.size()))];
            return m_random.bounded(3) == 0 ? model : variant(model);
        }
        wxString text;
        const int pieces = static_cast<int>(m_random.bounded(5));
        for (int piece = 0; piece < pieces; ++piece)
            text += nextPiece();
        return text;
    }

private:
    // A text that ties with the model on the leading rules: other case, other digit script,
    // extra leading zeros, an equal value or surrounding space.
    wxString variant(const wxString& model)
    {
        wxString text;
        for (wxString::const_iterator it = model.begin(); it != model.end(); ++it) {
            const wchar_t c = static_cast<wchar_t>(*it);
            const bool change = m_random.bounded(2) == 0;
            if (change && c >= L'a' && c <= L'z')
                text.append(1, static_cast<wchar_t>(c - L'a' + L'A'));
            else if (change && c >= L'A' && c <= L'Z')
                text.append(1, static_cast<wchar_t>(c - L'A' + L'a'));
            else if (change && c >= L'0' && c <= L'9')
                text.append(1, static_cast<wchar_t>(c - L'0' + 0x660));
            else if (change && c == 0x3C3)
                text.append(1, static_cast<wchar_t>(0x3A3));
            else
                text.append(1, c);
        }
        switch (m_random.bounded(5)) {
        case 0:
            return wxT("0") + text;
        case 1:
            return text + wxT(".0");
        case 2:
            return wxT(" ") + text;
        case 3:
            return wxT("+") + text;
        default:
            return text;
        }
    }

    wxString digits()
    {
        static const std::uint32_t zeros[] = { '0', '0', '0', 0x660, 0x966, 0xFF10 };
        const std::uint32_t zero = zeros[m_random.bounded(6)];
        const int length = m_random.bounded(10) == 0 ? 20 + static_cast<int>(m_random.bounded(60))
                                                     : 1 + static_cast<int>(m_random.bounded(3));
        wxString run;
        for (int i = 0; i < length; ++i) {
            const quint32 digit = m_random.bounded(3) == 0 ? 0 : m_random.bounded(10);
            run.append(1, static_cast<wchar_t>(zero + digit));
        }
        return run;
    }

    wxString nextPiece()
    {
        static const char* const fragments[] = { "+", "-", ".", "e", "E", "e-", "e+", "x", "X", " ", "\t", "B", "KB",
            "kb", "KiB", "MB", "mib", "G", "bytes", "EB", "NaN", "inf", "1e999", "-0", "0", "00", "1.0", "ByLayer",
            "bylayer", "BYBLOCK", "Standard", "standard", "On", "off", "Yes", "Disabled", "true", "a", "A", "b", "z",
            "Z", "_", "!", "Layer ", "16x16", "32 x 24" };
        static const std::uint32_t characters[] = { 0x2212, 0xD7, 0xA0, 0xDF, 0x3A3, 0x3C3, 0x3C2, 0x3C9, 0x3A9, 0xE9,
            0xC9, 0x4E2D, 0xD800, 0xDFFF, 0x110000, 0x0, 0xFFFD, 0xFFFFFFFF, 0x10400, 0x10428, 0x212A, 0xB2, 0x2460 };
        switch (m_random.bounded(5)) {
        case 0:
        case 1:
            return digits();
        case 2:
            return wxString::FromUTF8(fragments[m_random.bounded(static_cast<quint32>(std::size(fragments)))]);
        case 3:
            return codeUnits({ characters[m_random.bounded(static_cast<quint32>(std::size(characters)))] });
        default: {
            wxString noise;
            const int length = 1 + static_cast<int>(m_random.bounded(4));
            for (int i = 0; i < length; ++i)
                noise.append(1, static_cast<wchar_t>(m_random.bounded(0x10000)));
            return noise;
        }
        }
    }

    QRandomGenerator m_random;
};

quint32 propertySeed()
{
    bool ok = false;
    const quint32 fixed = qEnvironmentVariable("LOOM_COMPARATOR_SEED").toUInt(&ok);
    return ok ? fixed : QRandomGenerator::global()->generate();
}
}

class tst_LoomComparators : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldOrderAscending_data()
    {
        QTest::addColumn<QString>("comparator");
        QTest::addColumn<QStringList>("ascending");

        const auto row = [](const char* name, const char* comparator, const QStringList& texts) {
            QTest::newRow(name) << QString::fromLatin1(comparator) << texts;
        };

        row("strings: digit runs by value", "strings", { "Layer 1", "Layer 2", "Layer 10", "Layer 100" });
        row("strings: case-insensitive", "strings", { "a9", "A10", "b", "B2" });
        row("strings: case breaks ties", "strings", { "ABC", "AbC", "abc", "abd" });
        row("strings: leading zeros break ties", "strings", { "x1", "x01", "x001", "x2", "x02" });
        row("strings: digits after punctuation, before letters", "strings", { "a", "a b", "a-b", "a1", "a9", "aa" });
        row("strings: empty first", "strings", { "", " ", "0", "a" });
        row("strings: huge digit runs", "strings",
            repeated("", QLatin1Char('9'), 30) + repeated("1", QLatin1Char('0'), 30)
                + repeated("1", QLatin1Char('0'), 29, "1") + repeated("2", QLatin1Char('0'), 30));
        row("strings: digits of other scripts by value", "strings", { "٣", "10", "١١", "١٢", "13" });
        row("strings: same value in two scripts", "strings", { "1", "١" });
        row("strings: non-Latin case folding", "strings", { "Äpfel", "äpfel", "äpfeL2", "Ωa", "ωb", "ΩC" });

        row("integers: by value", "integers", { "-1e3", "-10", "-2", "-1.5", "0", "0.25", "1", "2", "10", "1e3", "1e999" });
        row("integers: equal values in natural order", "integers", { " 1", "+1", "1", "1.0", "1e0", "10e-1" });
        row("integers: zero in every spelling", "integers", { "-0", "0", "00", "0.0", "1" });
        row("integers: texts after numbers", "integers", { "99999", "", "-", "abc", "inf", "NaN" });
        row("doubles: exact at any length", "doubles",
            { "100000000000000000000", "1.00000000000000000001e20", "100000000000000000001" });
        row("doubles: exponents", "doubles", { "-1e999", "1e-999", "0.001", "1e-2", "1E2", "1e+3", "1e999", "1e1000" });
        row("doubles: spaces and minus sign", "doubles", { "−5", " -3 ", "\t2\n", "x" });
        row("doubles: digits of other scripts", "doubles", { "٥", "10", "١١" });
        row("doubles: partial numbers are texts", "doubles", { ".5", "5.", "7", "1 2", "1,5", "1.2.3", "2e" });

        row("fileSize: by bytes", "fileSize",
            { "0", "512 B", "1023", "1 KB", "1025 bytes", "2KB", "1.5 MB", "3 GB", "1 TB", "1 EB" });
        row("fileSize: units case-insensitive", "fileSize", { "1 KB", "1 kb", "1 KiB", "1K", "1024", "1025" });
        row("fileSize: unparsable after sizes", "fileSize", { "999 GB", "", "1.5 XB", "big", "KB" });
        row("fileSize: fractions and exponents", "fileSize", { "0.5 KB", "1e3", "0.9766 KB", "1000.5", "1e-3 MB" });

        row("pixelSize: width then height", "pixelSize",
            { "8x8", "16x9", "16x16", "16 x 100", "32 x 24", "100X1", "200×200" });
        row("pixelSize: equal sizes in natural order", "pixelSize", { "16 x 16", "16x16", "016x16" });
        row("pixelSize: not sizes after sizes", "pixelSize", { "1x1", "", "16", "16x", "axb", "x16" });

        row("toggleDisabled: enabled, others, disabled", "toggleDisabled",
            { " yes ", "1", "enabled", "On", "on", "TRUE", "", "Frozen", "maybe", "0", "Disabled", "false", "No", "OFF" });
        row("plotStyles: ByLayer, ByBlock, the rest", "plotStyles",
            { " bylayer", "ByLayer", "BYBLOCK", "byblock", "", "ByLayer2", "Color_1", "Normal", "Style 2", "Style 10" });
        row("dimStyles: Standard first", "dimStyles", { "Standard", "standard", "", "Annotative", "ISO-25", "Standard 2" });
    }

    void shouldOrderAscending()
    {
        QFETCH(QString, comparator);
        QFETCH(QStringList, ascending);
        const LessThan lessThan = ::comparator(comparator);
        QVERIFY(lessThan);

        for (int i = 0; i < ascending.size(); ++i) {
            for (int j = 0; j < ascending.size(); ++j) {
                const wxString left = lum::wxFromQt(ascending[i]);
                const wxString right = lum::wxFromQt(ascending[j]);
                QVERIFY2(lessThan(left, right) == (i < j),
                    qPrintable(
                        QStringLiteral("%1 < %2 should be %3")
                            .arg(show(left), show(right), i < j ? QStringLiteral("true") : QStringLiteral("false"))));
            }
        }
    }

    void shouldLeaveFileSizeTextsUnchanged()
    {
        wxString left = wxT(" 1.5 MB ");
        wxString right = wxT("2 kb");
        QVERIFY(!lom::fileSizeLessThan(left, right));
        QVERIFY(lom::fileSizeLessThan(right, left));
        QCOMPARE(lum::toQt(left), QStringLiteral(" 1.5 MB "));
        QCOMPARE(lum::toQt(right), QStringLiteral("2 kb"));
    }

    void shouldCompareWithoutAllocating()
    {
        std::vector<wxString> texts;
        for (const char* text : { "", "Layer 10", "layer 9", "1.5e3", " -0 ", "2 KB", "1.5 MiB", "16 x 16", "ByLayer",
                 "Standard", "On", "Disabled", "00000000000000000000000000000042", "١٢٣", "NaN" })
            texts.push_back(wxString::FromUTF8(text));

        int comparisons = 0;
        allocations = 0;
        watchingAllocations = true;
        for (wxString& left : texts) {
            for (wxString& right : texts) {
                comparisons += lom::stringsLessThan(left, right) + lom::integersLessThan(left, right)
                    + lom::doublesLessThan(left, right) + lom::fileSizeLessThan(left, right)
                    + lom::toggleDisabledLessThan(left, right) + lom::plotStylesLessThan(left, right)
                    + lom::pixelSizeLessThan(left, right) + lom::dimStylesLessThan(left, right);
            }
        }
        watchingAllocations = false;

        QVERIFY(comparisons > 0);
        QCOMPARE(allocations.load(), 0);
    }

    void shouldBeStrictTotalOrder_data()
    {
        QTest::addColumn<QString>("comparator");
        for (const Comparator& entry : comparators())
            QTest::newRow(entry.name) << QString::fromLatin1(entry.name);
    }

    void shouldBeStrictTotalOrder()
    {
        QFETCH(QString, comparator);
        const LessThan lessThan = ::comparator(comparator);
        const quint32 seed = propertySeed();
        const auto failure = [seed](const QString& what, std::initializer_list<wxString> texts) {
            QString message = what + QStringLiteral(" (replay with LOOM_COMPARATOR_SEED=%1):").arg(seed);
            for (const wxString& text : texts)
                message += QLatin1Char(' ') + show(text);
            return message;
        };

        // Every pair of each round is compared, and every triple checked on the answers.
        constexpr int rounds = 5;
        constexpr int textsPerRound = 200;
        TextGenerator generator(seed);
        for (int round = 0; round < rounds; ++round) {
            std::vector<wxString> texts;
            while (texts.size() < textsPerRound)
                texts.push_back(generator.next(texts));
            const std::size_t n = texts.size();
            std::vector<char> less(n * n);
            for (std::size_t i = 0; i < n; ++i) {
                for (std::size_t j = 0; j < n; ++j)
                    less[i * n + j] = lessThan(texts[i], texts[j]);
            }
            const auto lt = [&less, n](std::size_t i, std::size_t j) { return less[i * n + j] != 0; };
            const auto equivalent = [&lt](std::size_t i, std::size_t j) { return !lt(i, j) && !lt(j, i); };

            // QFAIL only on failure: the messages are costly to build for every pair.
            for (std::size_t i = 0; i < n; ++i) {
                if (lt(i, i))
                    QFAIL(qPrintable(failure(QStringLiteral("not irreflexive"), { texts[i] })));
                for (std::size_t j = 0; j < n; ++j) {
                    if (lt(i, j) && lt(j, i))
                        QFAIL(qPrintable(failure(QStringLiteral("not asymmetric"), { texts[i], texts[j] })));
                    if (equivalent(i, j) != (texts[i] == texts[j]))
                        QFAIL(qPrintable(failure(
                            QStringLiteral("different texts equivalent or equal texts ordered"), { texts[i], texts[j] })));
                    if (lt(j, i))
                        continue;
                    for (std::size_t k = 0; k < n; ++k) {
                        if (lt(i, j) && lt(j, k) && !lt(i, k))
                            QFAIL(qPrintable(failure(QStringLiteral("not transitive"), { texts[i], texts[j], texts[k] })));
                        if (equivalent(i, j) && equivalent(j, k) && !equivalent(i, k))
                            QFAIL(qPrintable(failure(
                                QStringLiteral("incomparability not transitive"), { texts[i], texts[j], texts[k] })));
                    }
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_LoomComparators)

#include "tst_loomcomparators.moc"
