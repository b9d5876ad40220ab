// Corvane.Core tests.
#include "support/reliability_random.h"

#include <loom/comparators.h>
#include <lumen/strings.h>

#include <QtTest>

#include <functional>
#include <map>
#include <vector>

namespace
{
using LessThan = std::function<bool(const wxString&, const wxString&)>;

// The comparator of every sort code the module hands to the host.
const std::map<QString, LessThan> comparators {
    { "strings", lom::stringsLessThan },
    { "integers", lom::integersLessThan },
    { "doubles", lom::doublesLessThan },
    { "fileSize",
        [](const wxString& left, const wxString& right) {
            wxString l = left; // a sort's cached texts: the comparator must leave them as they were
            wxString r = right;
            const bool less = lom::fileSizeLessThan(l, r);
            return l == left && r == right ? less : !less;
        } },
    { "toggleDisabled", lom::toggleDisabledLessThan },
    { "plotStyles", lom::plotStylesLessThan },
    { "pixelSize", lom::pixelSizeLessThan },
    { "dimStyles", lom::dimStylesLessThan },
};

QString show(const wxString& text)
{
    QString units;
    for (const wxUniChar c : text)
        units += QString::number(static_cast<std::make_unsigned_t<wchar_t>>(static_cast<wchar_t>(c)), 16) + ' ';
    return QStringLiteral("\"%1\" (%2)").arg(lum::toQt(text), units.trimmed());
}

// Texts where the comparators' rules meet: digit runs of several scripts and lengths, signs,
// units, special names, case pairs, code units that are not characters, and variants of earlier
// texts that tie with them on the leading rules (other case, other script, equal value).
wxString generatedText(cvtest::RandomRun& run, const std::vector<wxString>& earlier)
{
    static const char* const pieces[] = { "+", "-", "−", ".", "e", "E", "e-", "x", "×", " ", "\t", " ", "B", "KB",
        "kib", "MB", "bytes", "NaN", "inf", "1e999", "-0", "00", "1.0", "ByLayer", "BYBLOCK", "Standard", "On", "off",
        "Disabled", "true", "a", "A", "z", "_", "Layer ", "16x16", "32 x 24", "ß", "Σ", "σ", "ς", "é", "É", "中",
        "𐐀", "𐐨", "K", "²", "①" };
    static const wchar_t zeros[] = { L'0', L'0', 0x660, 0x966, 0xFF10 };
    static const wchar_t units[] = { 0, wchar_t(0xD800), wchar_t(0x110000), wchar_t(0xFFFFFFFF) };
    wxString text;
    if (!earlier.empty() && run.chance(25)) {
        for (const wxUniChar c : earlier[std::size_t(run.below(int(earlier.size())))]) {
            const wchar_t u = static_cast<wchar_t>(c);
            const bool letter = (u | 0x20) >= L'a' && (u | 0x20) <= L'z';
            text.append(1, !run.chance(50) ? u : letter ? wchar_t(u ^ 0x20) : u >= L'0' && u <= L'9' ? wchar_t(u + 0x630) : u);
        }
        return run.chance(50) ? text : wxT("0") + text + wxT(".0");
    }
    for (int piece = run.below(5); piece > 0; --piece) {
        if (run.chance(40)) {
            const wchar_t zero = zeros[run.below(5)];
            for (int i = run.chance(10) ? 20 + run.below(60) : 1 + run.below(3); i > 0; --i)
                text.append(1, wchar_t(zero + (run.chance(33) ? 0 : run.below(10))));
        } else if (run.chance(80)) {
            text += wxString::FromUTF8(pieces[run.below(int(std::size(pieces)))]);
        } else {
            text.append(1, run.chance(50) ? wchar_t(run.below(0x10000)) : units[run.below(4)]);
        }
    }
    return text;
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
        const auto row = [](const char* comparator, const char* name, const QStringList& texts) {
            QTest::addRow("%s: %s", comparator, name) << QString::fromLatin1(comparator) << texts;
        };
        row("strings", "digit runs by value, case-insensitive", { "", "a9", "A10", "b", "B2", "Layer 2", "layer 10" });
        row("strings", "ties by case, then fewer leading zeros", { "ABC", "AbC", "abc", "abd", "x1", "x01", "x001", "x2" });
        row("strings", "digits after punctuation, before letters", { "a", "a b", "a-b", "a1", "a9", "aa" });
        row("strings", "huge digit runs", { QString(30, '9'), "1" + QString(30, '0'), "1" + QString(29, '0') + "1", "2" + QString(30, '0') });
        row("strings", "digits of every script by value", { "1", "١", "٣", "10", "١١", "١٢", "13" });
        row("strings", "non-Latin case folding", { "Äpfel", "äpfel", "äpfeL2", "Ωa", "ωb", "ΩC" });
        row("integers", "by value", { "-1e3", "-10", "-2", "-1.5", "0", "0.25", "1", "2", "10", "1e3", "1e999" });
        row("integers", "equal values in natural order", { "-0", "0", "00", "0.0", " 1", "+1", "1", "1.0", "1e0", "10e-1" });
        row("integers", "texts after numbers", { "99999", "", "-", "abc", "inf", "NaN" });
        row("doubles", "exact at any length",
            { "100000000000000000000", "1.00000000000000000001e20", "100000000000000000001" });
        row("doubles", "exponents", { "-1e999", "1e-999", "0.001", "1e-2", "1E2", "1e+3", "1e999", "1e1000" });
        row("doubles", "spaces, minus sign and other scripts", { "−5", " -3 ", "\t2\n", "٥", "10", "١١", "x" });
        row("doubles", "partial numbers are texts", { ".5", "5.", "7", "1 2", "1,5", "1.2.3", "2e" });
        row("fileSize", "by bytes", { "0", "512 B", "1023", "1 KB", "1025 bytes", "2KB", "1.5 MB", "3 GB", "1 TB", "1 EB" });
        row("fileSize", "units case-insensitive", { "1 KB", "1 kb", "1 KiB", "1K", "1024", "1025" });
        row("fileSize", "fractions and exponents", { "-1 KB", "0.5 KB", "1e3", "0.9766 KB", "1000.5", "1e-3 MB" });
        row("fileSize", "not sizes after sizes", { "999 GB", "", "1 Kx", "1.5 XB", "big", "KB" });
        row("pixelSize", "width then height", { "8x8", "16x9", "16x16", "16 x 100", "32 x 24", "100X1", "200×200" });
        row("pixelSize", "equal sizes in natural order", { "16 x 16", "16x16", "016x16" });
        row("pixelSize", "not sizes after sizes", { "1x1", "", "16", "16x", "16x1a", "axb", "x16" });
        row("toggleDisabled", "enabled, others, disabled",
            { " yes ", "1", "enabled", "On", "on", "TRUE", "", "Frozen", "maybe", "0", "Disabled", "false", "No", "OFF" });
        row("plotStyles", "ByLayer, ByBlock, the rest",
            { " bylayer", "ByLayer", "BYBLOCK", "byblock", "", "ByLayer2", "Normal", "Style 2", "Style 10" });
        row("dimStyles", "Standard first", { "Standard", "standard", "", "Annotative", "ISO-25", "Standard 2" });
    }

    void shouldOrderAscending()
    {
        QFETCH(QString, comparator);
        QFETCH(QStringList, ascending);
        const LessThan lessThan = comparators.at(comparator);
        for (int i = 0; i < ascending.size(); ++i) {
            for (int j = 0; j < ascending.size(); ++j) {
                const wxString left = lum::wxFromQt(ascending[i]);
                const wxString right = lum::wxFromQt(ascending[j]);
                QVERIFY2(lessThan(left, right) == (i < j),
                    qPrintable(show(left) + (i < j ? " < " : " !< ") + show(right)));
            }
        }
    }

    void shouldBeStrictTotalOrder_data()
    {
        QTest::addColumn<QString>("comparator");
        for (const auto& entry : comparators)
            QTest::newRow(qPrintable(entry.first)) << entry.first;
    }

    // Transitive, and only equal texts equivalent (so irreflexive, and with that asymmetric).
    void shouldBeStrictTotalOrder()
    {
        QFETCH(QString, comparator);
        const LessThan lessThan = comparators.at(comparator);
        cvtest::RandomRun run(20261207, 3);
        while (run.next()) {
            std::vector<wxString> texts;
            while (texts.size() < 150)
                texts.push_back(generatedText(run, texts));
            const std::size_t n = texts.size();
            std::vector<char> less(n * n);
            for (std::size_t i = 0; i < n * n; ++i)
                less[i] = lessThan(texts[i / n], texts[i % n]);
            const auto lt = [&less, n](std::size_t i, std::size_t j) { return less[i * n + j] != 0; };
            const auto fail = [&](const char* what, std::initializer_list<std::size_t> which) {
                QString message = run.where(QString::fromLatin1(what));
                for (const std::size_t i : which)
                    message += QLatin1Char(' ') + show(texts[i]);
                QFAIL(qPrintable(message));
            };
            for (std::size_t i = 0; i < n; ++i) {
                for (std::size_t j = 0; j < n; ++j) {
                    if ((!lt(i, j) && !lt(j, i)) != (texts[i] == texts[j]))
                        return fail("different texts equivalent or equal texts ordered", { i, j });
                    for (std::size_t k = 0; lt(i, j) && k < n; ++k) {
                        if (lt(j, k) && !lt(i, k))
                            return fail("not transitive", { i, j, k });
                    }
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_LoomComparators)

#include "tst_loomcomparators.moc"
