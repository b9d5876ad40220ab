// Corvane.Core tests.
#include "items/qtfontutils.h"

#include <QAbstractItemModelTester>
#include <QFontDatabase>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QtTest>

namespace
{
// Remembers which rows' texts were read.
class ReadRecordingModel : public QStringListModel
{
public:
    using QStringListModel::QStringListModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        rowsRead.append(index.row());
        return QStringListModel::data(index, role);
    }

    mutable QVector<int> rowsRead;
};

int lineWidth(const QFont& font, const QString& text)
{
    return QFontMetrics(font).size(Qt::TextSingleLine, text).width();
}

// A monospace font whose space and letters are all `advance` pixels wide, so that a word of n
// letters is n advances wide: word widths are chosen through their lengths.
QFont monospaceFont(int* advance)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(10);
    font.setHintingPreference(QFont::PreferFullHinting);
    *advance = lineWidth(font, QStringLiteral(" "));
    return font;
}

QString words(std::initializer_list<int> lengths)
{
    QStringList list;
    char letter = 'a';
    for (int length : lengths)
        list.append(QString(length, QLatin1Char(letter++)));
    return list.join(QLatin1Char(' '));
}
}

class tst_QtFontUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldEstimateColumnWidthFromAverageCharWidth_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pointSize");
        QTest::newRow("sans 10") << "DejaVu Sans" << 10;
        QTest::newRow("serif 14") << "DejaVu Serif" << 14;
        QTest::newRow("mono 8") << "DejaVu Sans Mono" << 8;
    }

    void shouldEstimateColumnWidthFromAverageCharWidth()
    {
        QFETCH(QString, family);
        QFETCH(int, pointSize);

        // Given a model whose column 0 holds, for the user role, at most 10 characters (a number
        // counts by its text), and longer texts elsewhere
        QStandardItemModel model(0, 2);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        const QVariantList userTexts { QStringLiteral("abc"), 1234567890, QStringLiteral("wide") };
        for (const QVariant& text : userTexts) {
            auto* first = new QStandardItem(QStringLiteral("a display text longer than ten"));
            first->setData(text, Qt::UserRole);
            model.appendRow({ first, new QStandardItem(QStringLiteral("a second column longer than ten")) });
        }
        const int average = QFontMetrics(QFont(family, pointSize)).averageCharWidth();
        QVERIFY(average > 0);

        // Then the estimate is ten average characters, below the cap and capped
        QtFontUtils utils;
        QCOMPARE(utils.maxColumnTextWidth(family, pointSize, &model, Qt::UserRole), 10 * average);
        QCOMPARE(utils.maxColumnTextWidth(family, pointSize, &model, Qt::UserRole, 10 * average), 10 * average);
        QCOMPARE(utils.maxColumnTextWidth(family, pointSize, &model, Qt::UserRole, 10 * average - 1), 10 * average - 1);
        // A role the model lacks reads as empty text.
        QCOMPARE(utils.maxColumnTextWidth(family, pointSize, &model, Qt::UserRole + 7), 0);
    }

    void shouldStopReadingAtCap()
    {
        // Given a column whose second row alone passes the default cap of 500
        ReadRecordingModel model(
            { QStringLiteral("short"), QString(600, QLatin1Char('m')), QStringLiteral("x"), QStringLiteral("y") });
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        model.rowsRead.clear();

        // When its width is estimated
        QtFontUtils utils;
        const int width = utils.maxColumnTextWidth(QStringLiteral("DejaVu Sans"), 10, &model, Qt::DisplayRole);

        // Then the answer is the cap and the rows after it are never read
        QCOMPARE(width, 500);
        QCOMPARE(model.rowsRead, (QVector<int> { 0, 1 }));
    }

    void shouldAnswerMinusOneWithoutRows()
    {
        QtFontUtils utils;
        QCOMPARE(utils.maxColumnTextWidth(QStringLiteral("DejaVu Sans"), 10, nullptr, Qt::DisplayRole), -1);
        QStringListModel empty;
        QAbstractItemModelTester tester(&empty, QAbstractItemModelTester::FailureReportingMode::Fatal);
        QCOMPARE(utils.maxColumnTextWidth(QStringLiteral("DejaVu Sans"), 10, &empty, Qt::DisplayRole, 100), -1);
    }

    void shouldGiveSingleWordsTheirWidth_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("minimumOffset"); // added to the widest word's width
        QTest::addColumn<int>("maximumOffset");
        QTest::addColumn<int>("expectedOffset");
        QTest::addColumn<bool>("expectMinimum"); // the answer is the minimum itself
        QTest::newRow("one word") << "Open" << -20 << 100 << 0 << false;
        QTest::newRow("one word clamped") << "Open" << -20 << -5 << -5 << false;
        QTest::newRow("two words stack") << "Open Drawings" << -20 << 100 << 0 << false;
        QTest::newRow("two words clamped") << "Open Drawings" << -20 << -3 << -3 << false;
        QTest::newRow("widest word below minimum") << "Open Drawings" << 3 << 500 << 0 << true;
        QTest::newRow("reversed range") << "Open Drawings" << -20 << -30 << 0 << true;
        QTest::newRow("empty label") << "" << 0 << 100 << 0 << true;
        QTest::newRow("only spaces") << "      " << 2 << 100 << 0 << true;
    }

    void shouldGiveSingleWordsTheirWidth()
    {
        QFETCH(QString, label);
        QFETCH(int, minimumOffset);
        QFETCH(int, maximumOffset);
        QFETCH(int, expectedOffset);
        QFETCH(bool, expectMinimum);

        const QFont font(QStringLiteral("DejaVu Sans"), 11);
        int widest = 1;
        for (const QString& word : label.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            widest = std::max(widest, lineWidth(font, word));
        const int minimum = widest + minimumOffset;
        const int maximum = widest + maximumOffset;

        QtFontUtils utils;
        QCOMPARE(utils.preferredRibbonLabelWidth(font, label, minimum, maximum),
            expectMinimum ? minimum : widest + expectedOffset);
    }

    void shouldWidenUntilLabelFitsOnTwoLines_data()
    {
        // Widths in advances of a monospace font: a word of n letters is n wide, a space 1.
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("expected"); // 0 for the minimum

        // Widest word 8 needs three lines; the smallest overflow 6+1+8 keeps two.
        QTest::newRow("three words widen to smallest overflow") << words({ 6, 8, 6 }) << 4 << 100 << 15;
        QTest::newRow("overflow past the cap") << words({ 6, 8, 6 }) << 4 << 12 << 12;
        QTest::newRow("widest word at the cap") << words({ 6, 8, 6 }) << 4 << 8 << 8;
        QTest::newRow("two lines at the widest word") << words({ 8, 3, 4 }) << 4 << 100 << 8;
        QTest::newRow("fits the minimum on one line") << words({ 2, 2, 2 }) << 8 << 100 << 0;
        QTest::newRow("blanks around and between") << QStringLiteral("  aaaa   bb cc ") << 1 << 100 << 5;
        // One-letter words: k per line need 2k-1, and 2k lines fit in two lines only at k = n/2,
        // one round per k: 40 words take 20 rounds, 42 words would take a 21st.
        QTest::newRow("last allowed round") << QStringLiteral("a ").repeated(40).trimmed() << 1 << 1000 << 39;
        QTest::newRow("gives up after 20 rounds") << QStringLiteral("a ").repeated(42).trimmed() << 1 << 1000 << 0;
    }

    void shouldWidenUntilLabelFitsOnTwoLines()
    {
        QFETCH(QString, label);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, expected);

        int advance = 0;
        const QFont font = monospaceFont(&advance);
        QVERIFY(advance > 0);
        for (const QString& word : label.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            QCOMPARE(lineWidth(font, word), word.size() * advance);

        QtFontUtils utils;
        QCOMPARE(utils.preferredRibbonLabelWidth(font, label, minimum * advance, maximum * advance),
            (expected ? expected : minimum) * advance);
    }

    void shouldConvertLinesToParagraphs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("html");
        QTest::newRow("two lines") << "a\nb"
                                   << "<p>a</p><p>b</p>";
        QTest::newRow("one line") << "a & b"
                                  << "<p>a & b</p>";
        QTest::newRow("trailing line feed") << "a\n"
                                            << "<p>a</p><p></p>";
        QTest::newRow("carriage return stays") << "a\r\nb"
                                               << "<p>a\r</p><p>b</p>";
        QTest::newRow("markup unchanged") << "<b>x</b>\ny"
                                          << "<b>x</b>\ny";
        QTest::newRow("leading blank is not markup") << " <b>x</b>"
                                                     << "<p> <b>x</b></p>";
        QTest::newRow("empty") << ""
                               << "";
    }

    void shouldConvertLinesToParagraphs()
    {
        QFETCH(QString, text);
        QFETCH(QString, html);
        QtFontUtils utils;
        QCOMPARE(utils.addHtmlParagraphs(text), html);
    }
};

QTEST_MAIN(tst_QtFontUtils)
#include "tst_qtfontutils.moc"
