// Corvane.Core tests.
#include "items/qtfontutils.h"

#include <QAbstractItemModelTester>
#include <QStandardItemModel>
#include <QtTest>

class tst_QtFontUtils : public QObject
{
    Q_OBJECT

    QtFontUtils utils;

private Q_SLOTS:
    void shouldEstimateColumnWidthFromAverageCharWidth()
    {
        // Given column 0 holding, for the user role, at most 10 characters (a number counts by its
        // text), and longer texts elsewhere
        QStandardItemModel model(0, 2);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        for (const QVariant& text : QVariantList{QStringLiteral("abc"), 1234567890, QStringLiteral("wide")}) {
            auto* first = new QStandardItem(QStringLiteral("a display text longer than ten"));
            first->setData(text, Qt::UserRole);
            model.appendRow({first, new QStandardItem(QStringLiteral("a second column longer than ten"))});
        }
        const QString family = QStringLiteral("DejaVu Serif");
        const int average = QFontMetrics(QFont(family, 14)).averageCharWidth();
        // Then the estimate is ten average characters, below the cap and capped
        QCOMPARE(utils.maxColumnTextWidth(family, 14, &model, Qt::UserRole, 10 * average), 10 * average);
        QCOMPARE(utils.maxColumnTextWidth(family, 14, &model, Qt::UserRole, 10 * average - 1), 10 * average - 1);
        // A role the model lacks reads as empty text; no model or no rows answer -1
        QCOMPARE(utils.maxColumnTextWidth(family, 14, &model, Qt::UserRole + 7), 0);
        QCOMPARE(utils.maxColumnTextWidth(family, 14, nullptr, Qt::DisplayRole), -1);
        model.setRowCount(0);
        QCOMPARE(utils.maxColumnTextWidth(family, 14, &model, Qt::UserRole, 100), -1);
    }

    void shouldWidenUntilLabelFitsOnTwoLines_data()
    {
        // Widths in advances of a monospace font: a word of n letters is n wide, a space 1.
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("expected");
        // Widest word 8 needs three lines; the smallest overflow 6+1+8 keeps two.
        QTest::newRow("three words widen to smallest overflow") << QString("aaaaaa bbbbbbbb cccccc") << 4 << 100
                                                        << 15;
        QTest::newRow("overflow past the cap") << QString("aaaaaa bbbbbbbb cccccc") << 4 << 12 << 12;
        QTest::newRow("widest word at the cap") << QString("aaaaaa bbbbbbbb cccccc") << 4 << 8 << 8;
        QTest::newRow("two lines at the widest word") << QString("aaaaaaaa bbb cccc") << 4 << 100 << 8;
        QTest::newRow("fits the minimum on one line") << QString("aa bb cc") << 8 << 100 << 8;
        // One or two words stack, clamped to the range; a reversed range answers the minimum
        QTest::newRow("one word clamped") << QString("aaaa") << 2 << 3 << 3;
        QTest::newRow("two words stack") << QString("aaaa bbbbbbbb") << 2 << 100 << 8;
        QTest::newRow("widest word below minimum") << QString("aaaa bbbbbbbb") << 10 << 100 << 10;
        QTest::newRow("reversed range") << QString("aaaa bbbbbbbb") << 6 << 3 << 6;
        QTest::newRow("empty label") << QString() << 3 << 100 << 3;
        QTest::newRow("blanks around and between") << QStringLiteral("  aaaa   bb cc ") << 1 << 100 << 5;
        // One-letter words: k per line need 2k-1, and 2k lines fit in two lines only at k = n/2,
        // one round per k: 40 words take 20 rounds, 42 words would take a 21st.
        QTest::newRow("last allowed round") << QStringLiteral("a ").repeated(40).trimmed() << 1 << 1000 << 39;
        QTest::newRow("gives up after 20 rounds") << QStringLiteral("a ").repeated(42).trimmed() << 1 << 1000 << 1;
    }
    void shouldWidenUntilLabelFitsOnTwoLines()
    {
        QFETCH(QString, label);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, expected);
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPixelSize(10);
        font.setHintingPreference(QFont::PreferFullHinting);
        const int advance = QFontMetrics(font).horizontalAdvance(QLatin1Char(' '));
        QVERIFY(advance > 0);
        QCOMPARE(utils.preferredRibbonLabelWidth(font, label, minimum * advance, maximum * advance), expected * advance);
    }

    void shouldConvertLinesToParagraphs()
    {
        // Lines become paragraphs unless the text is markup already
        for (const auto& [text, html] : {std::pair<QString, QString>{"a\nb", "<p>a</p><p>b</p>"}, {"a\n", "<p>a</p><p></p>"},
                 {"<b>x</b>\ny", "<b>x</b>\ny"}, {" <b>x</b>", "<p> <b>x</b></p>"}, {"", ""}})
            QCOMPARE(utils.addHtmlParagraphs(text), html);
    }
};

QTEST_MAIN(tst_QtFontUtils)
#include "tst_qtfontutils.moc"
