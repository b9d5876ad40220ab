// Corvane.Core tests.
#include "models/naturalsortkey_p.h"
#include "support/reliability_random.h"

#include <loom/comparators.h>
#include <lumen/strings.h>

#include <QtTest>

#include <map>

namespace
{
using LessThan = std::function<bool(const wxString&, const wxString&)>;

// The comparator of every sort code the module hands to the host.
const std::map<QString, LessThan> comparators { { "strings", lom::stringsLessThan },
    { "integers", lom::integersLessThan }, { "doubles", lom::doublesLessThan },
    { "toggleDisabled", lom::toggleDisabledLessThan }, { "plotStyles", lom::plotStylesLessThan },
    { "pixelSize", lom::pixelSizeLessThan }, { "dimStyles", lom::dimStylesLessThan },
    { "fileSize", [](const wxString& left, const wxString& right) {
         wxString l = left, r = right; // a sort's cached texts: the comparator must leave them as they were
         const bool less = lom::fileSizeLessThan(l, r);
         return l == left && r == right ? less : !less;
     } } };

// Texts where the comparators' rules meet: digit runs of several scripts and lengths, signs,
// units, special names, case pairs, code units that are not characters, and variants of earlier texts.
wxString generatedText(cvtest::RandomRun& run, const std::vector<wxString>& earlier)
{
    static const char* const pieces[]
        = { "+", "-", "−", ".", "e", "E", "e-", "x", "×", " ", "\t", " ", "B", "KB", "kib", "MB", "bytes", "NaN", "inf",
              "1e999", "-0", "00", "1.0", "ByLayer", "BYBLOCK", "Standard", "On", "off", "Disabled", "true", "a", "A",
              "z", "_", "Layer ", "16x16", "32 x 24", "ß", "Σ", "σ", "ς", "é", "É", "中", "𐐀", "𐐨", "K", "²", "①" };
    static const wchar_t zeros[] = { L'0', L'0', 0x660, 0x966, 0xFF10 };
    static const wchar_t units[] = { 0, wchar_t(0xD800), wchar_t(0x110000), wchar_t(0xFFFFFFFF) };
    wxString text;
    if (!earlier.empty() && run.chance(25)) {
        // An earlier text in other case and other digits, which ties with it on the leading rules
        text = earlier[std::size_t(run.below(int(earlier.size())))];
        text = run.chance(50) ? text.Upper() : text.Lower();
        for (wchar_t digit = L'0'; digit <= L'9' && run.chance(70); ++digit)
            text.Replace(wxString(digit), wxString(wchar_t(digit + 0x630)));
    }
    for (int piece = run.below(5); piece > 0; --piece) {
        if (run.chance(40)) {
            const wchar_t zero = zeros[run.below(5)];
            for (int i = run.chance(10) ? 20 + run.below(60) : 1 + run.below(3); i > 0; --i)
                text.append(1, wchar_t(zero + (run.chance(33) ? 0 : run.below(10))));
        } else if (run.chance(80))
            text += wxString::FromUTF8(pieces[run.below(int(std::size(pieces)))]);
        else
            text.append(1, run.chance(50) ? wchar_t(run.below(0x10000)) : units[run.below(4)]);
    }
    return text;
}

// The module's natural sort keys against the natural comparator, for every ordered pair, and the
// stable orders they give.
void compareNaturalKeys(const QStringList& texts, const QString& where)
{
    core::NaturalSortKeys keys;
    std::vector<wxString> wide;
    std::vector<std::uint32_t> byKeys;
    for (const QString& text : texts) {
        byKeys.push_back(std::uint32_t(wide.size()));
        keys.append(text);
        wide.push_back(lum::wxFromQt(text));
    }
    const auto less = [&](std::uint32_t a, std::uint32_t b) { return lom::stringsLessThan(wide[a], wide[b]); };
    for (std::uint32_t i = 0; i < wide.size() * wide.size(); ++i) {
        if (keys.less(i / wide.size(), i % wide.size()) != less(i / wide.size(), i % wide.size()))
            QFAIL(qPrintable(where + ": " + texts[int(i / wide.size())] + " | " + texts[int(i % wide.size())]));
    }
    std::vector<std::uint32_t> byComparator = byKeys;
    std::stable_sort(byKeys.begin(), byKeys.end(), [&](std::uint32_t a, std::uint32_t b) { return keys.less(a, b); });
    std::stable_sort(byComparator.begin(), byComparator.end(), less);
    QVERIFY2(byKeys == byComparator, qPrintable(where));
    // A column's sort of its keys, each key twice: from the order added, sorted, and reversed. Equal
    // texts may come in any order but must share a rank.
    std::vector<int> added(wide.size() * 2);
    for (std::size_t i = 0; i < added.size(); ++i)
        added[i] = int(i % wide.size());
    std::vector<int> sorted = added;
    std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) { return less(std::uint32_t(a), std::uint32_t(b)); });
    for (std::vector<int> order : {added, sorted, std::vector<int>(sorted.rbegin(), sorted.rend())}) {
        std::vector<char> startsRank;
        keys.sort(order, startsRank);
        for (std::size_t i = 0; i < order.size(); ++i) {
            const bool newText = i == 0 || wide[std::size_t(order[i - 1])] != wide[std::size_t(order[i])];
            if (wide[std::size_t(order[i])] != wide[std::size_t(sorted[i])] || bool(startsRank[i]) != newText)
                QFAIL(qPrintable(where + ": sorted keys at " + QString::number(i)));
        }
    }
}
}

class tst_LoomComparators : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Rows are named after the comparator of their sort code.
    void shouldOrderAscending_data()
    {
        QTest::addColumn<QStringList>("ascending");
        const auto row = [](const char* tag, const QStringList& texts) { QTest::newRow(tag) << texts; };
        row("strings: digit runs by value", { "", "a9", "A10", "b", "B2", "Layer 2", "layer 10" });
        row("strings: case, then fewer zeros", { "ABC", "AbC", "abc", "abd", "x1", "x01", "x2" });
        row("strings: digits before letters", { "a", "a b", "a-b", "a1", "a9", "aa" });
        row("strings: long digit runs", { QString(30, '9'), "1" + QString(30, '0'), "2" + QString(30, '0') });
        row("strings: every script's digits", { "1", "١", "٣", "10", "١١", "١٢", "13" });
        row("strings: case folding", { "Äpfel", "äpfel", "äpfeL2", "Ωa", "ωb", "ΩC" });
        row("integers: values, texts", { "-1e3", "-2", "-1.5", "0", "0.25", "2", "10", "", "-", "NaN" });
        row("integers: ties", { "-0", "0", "00", "0.0", " 1", "+1", "1", "1.0", "1e0", "10e-1" });
        row("doubles: exact", { "1" + QString(20, '0'), "1.00000000000000000001e20", "1" + QString(19, '0') + "1" });
        row("doubles: exponents", { "-1e999", "1e-999", "0.001", "1e-2", "1E2", "1e+3", "1e999", "1e1000" });
        row("doubles: spaces, signs, scripts", { "−5", " -3 ", "\t2\n", "٥", "10", "١١", "x" });
        row("doubles: partial numbers", { ".5", "5.", "7", "1 2", "1,5", "1.2.3", "2e" });
        row("fileSize: bytes", { "0", "512 B", "1023", "1 KB", "1025 bytes", "1.5 MB", "3 GB", "1 EB" });
        row("fileSize: units", { "1 KB", "1 kb", "1 KiB", "1K", "1024", "1025", "1 TB" });
        row("fileSize: fractions", { "-1 KB", "0.5 KB", "1e3", "0.9766 KB", "1000.5", "1e-3 MB" });
        row("fileSize: not sizes", { "999 GB", "", "1 Kx", "1.5 XB", "big", "KB" });
        row("pixelSize: sizes", { "8x8", "16x9", "16 x 16", "16x16", "016x16", "16 x 100", "200×200" });
        row("pixelSize: not sizes", { "1x1", "", "16", "16x", "16x1a", "axb", "x16" });
        row("toggleDisabled", { " yes ", "1", "enabled", "On", "TRUE", "", "Frozen", "0", "No", "OFF" });
        row("plotStyles", { " bylayer", "ByLayer", "BYBLOCK", "", "ByLayer2", "Style 2", "Style 10" });
        row("dimStyles", { "Standard", "standard", "", "Annotative", "ISO-25", "Standard 2" });
    }

    void shouldOrderAscending()
    {
        QFETCH(QStringList, ascending);
        const LessThan lessThan = comparators.at(QString::fromLatin1(QTest::currentDataTag()).section(':', 0, 0));
        for (int i = 0; i < ascending.size() * ascending.size(); ++i) {
            const int l = i / ascending.size(), r = i % ascending.size();
            QVERIFY2(lessThan(lum::wxFromQt(ascending[l]), lum::wxFromQt(ascending[r])) == (l < r),
                qPrintable(ascending[l] + " < " + ascending[r]));
        }
    }

    // At every step, texts where the keys change width or meet the comparator's rules (digit runs with
    // zeros, of every length and script; case, accents, combining marks, surrogates; texts that differ
    // only beyond the positions that fit in one byte), then generated ones.
    void shouldKeyNaturalOrderExactly()
    {
        const QString far(130, 'x');
        const QStringList table { "", "0", "00", "007", "7", "07", "a0", "a00", "a", "1٢", "١2", "٠١", "-1", "+1",
            QString(300, '9'), "1" + QString(299, '0'), QString(25, '1'), QString(24, '1') + "2", "Äb", "äb", "AB",
            "ab", "e\u0301", "é", "E\u0301", "ß", "ss", "Σ", "σ", "ς", "中文", "𐐀x", "𐐨", "\U000E0041", "\U0010FFFD",
            "\uFFFD", QString(QChar(0xD800)), QString(QChar(0xDC00)) + "x", " ", " a", "a ", "-", "_", far + "a",
            far + "A", far + "1", far + "١", far + "01", far + "00٠", far, far + far + "B", far + far + "b",
            "X" + far };
        cvtest::RandomRun run(20261207, 30);
        qInfo("%s", qPrintable(run.where("natural keys")));
        while (run.next() && !QTest::currentTestFailed()) {
            std::vector<wxString> earlier;
            QStringList texts = table;
            while (texts.size() < 200) {
                earlier.push_back(generatedText(run, earlier));
                // Now and then a lone surrogate, which only a QString holds
                const QString loneSurrogate(run.chance(10), QChar(0xDC00));
                texts.append(lum::toQt(earlier.back()).insert(run.below(3), loneSurrogate));
            }
            compareNaturalKeys(texts, run.where("natural keys"));
        }
    }

    // Transitive, and only equal texts equivalent (so irreflexive, and with that asymmetric).
    void shouldBeStrictTotalOrder()
    {
        cvtest::RandomRun run(20261207, 3);
        while (run.next()) {
            std::vector<wxString> texts;
            const std::size_t n = 150;
            while (texts.size() < n)
                texts.push_back(generatedText(run, texts));
            for (const auto& [name, lessThan] : comparators) {
                std::vector<char> lt(n * n);
                for (std::size_t i = 0; i < n * n; ++i)
                    lt[i] = lessThan(texts[i / n], texts[i % n]);
                // i < j < k for every triple, and i, j equivalent exactly when equal
                for (std::size_t t = 0; t < n * n * n; ++t) {
                    const std::size_t i = t / n / n, j = t / n % n, k = t % n;
                    if ((k == 0 && (!lt[i * n + j] && !lt[j * n + i]) != (texts[i] == texts[j]))
                        || (lt[i * n + j] && lt[j * n + k] && !lt[i * n + k]))
                        QFAIL(qPrintable(run.where(name + ": not a strict total order: ") + lum::toQt(texts[i])
                            + " | " + lum::toQt(texts[j]) + " | " + lum::toQt(texts[k])));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_LoomComparators)

#include "tst_loomcomparators.moc"
