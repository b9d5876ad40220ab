// Corvane.Core tests.
#include "models/sortfilterselectmodel.h"

#include "support/tableproxy_testmodel.h"

#include <loom/comparators.h>
#include <lumen/rowfilter.h>
#include <lumen/strings.h>

#include <QAbstractItemModelTester>
#include <QDate>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <functional>
#include <vector>

using core::SortFilterSelectModel;
using cvtest::TableProxyTestModel;

namespace
{
using Less = std::function<bool(const QVariant&, const QVariant&)>;

// Holds two rows of three, or one row of four: enough rows, or too few, to order them all up front.
class RowFilter : public lum::RowFilter
{
public:
    explicit RowFilter(int modulus)
        : m_modulus(modulus)
    {
    }
    bool acceptRow(QAbstractItemModel*, int sourceRow, const QModelIndex&) override { return accepts(sourceRow); }
    bool accepts(int sourceRow) const { return m_modulus == 3 ? sourceRow % 3 != 1 : sourceRow % m_modulus == 0; }

private:
    int m_modulus;
};

enum Values
{
    Texts,
    Mixed,
    Ints,
    IntsAndEmpty,
    TextsAndEmpty
};

// Texts meant to tie and to differ in every way the comparators look at.
QString randomText(QRandomGenerator& random)
{
    static const char* const words[] = { "Layer ", "layer ", "LAYER", "a", "A-", "", " ", "x", "1.5 ", "On", "off" };
    static const char* const units[] = { "", " B", "KB", " mb", " GiB", "byte", " x 20", "e3", "." };
    QString text = QLatin1String(words[random.bounded(int(std::size(words)))]);
    if (random.bounded(4) != 0)
        text += QString(random.bounded(3), QLatin1Char('0')) + QString::number(random.bounded(40));
    if (random.bounded(3) == 0)
        text += QChar(0x0660 + random.bounded(10)); // an Arabic-Indic digit
    text += QLatin1String(units[random.bounded(int(std::size(units)))]);
    return text;
}

// Ints, doubles, texts, dates, 64-bit ints and empty values mixed in one column.
QVariant randomValue(QRandomGenerator& random)
{
    switch (random.bounded(7)) {
    case 0:
        return QVariant();
    case 1:
    case 2:
        return random.bounded(-20, 20);
    case 3:
        return random.bounded(-40, 40) / 4.0;
    case 4:
        return QVariant(qlonglong(random.bounded(-20, 20)));
    case 5:
        return QDate(2020, 1, 1).addDays(random.bounded(30));
    default:
        return randomText(random);
    }
}

wxString wx(const QVariant& value)
{
    return lum::wxFromQt(value.toString());
}

// The order of a column without comparator code: by the left value's type, empty values last.
bool valueLess(const QVariant& l, const QVariant& r)
{
    if (!l.isValid())
        return false;
    if (!r.isValid())
        return true;
    switch (l.userType()) {
    case QMetaType::Int:
        return l.toInt() < r.toInt();
    case QMetaType::LongLong:
        return l.toLongLong() < r.toLongLong();
    case QMetaType::Double:
        return l.toDouble() < r.toDouble();
    case QMetaType::QDate:
        return l.toDate() < r.toDate();
    default:
        return lom::stringsLessThan(wx(l), wx(r));
    }
}
}

class TestSortFilterSelectModelSortKeys : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

    void shouldOrderRowsAsTheComparatorOrdersTheirValues_data();
    void shouldOrderRowsAsTheComparatorOrdersTheirValues();
};

void TestSortFilterSelectModelSortKeys::shouldOrderRowsAsTheComparatorOrdersTheirValues_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("values");
    QTest::addColumn<int>("filterModulus");
    QTest::addColumn<bool>("ascending");

    for (const int modulus : { 0, 3, 4 }) {
        for (const bool ascending : { true, false }) {
            const QByteArray suffix = (modulus == 3 ? QByteArray(", two rows of three")
                                          : modulus == 4 ? QByteArray(", one row of four")
                                                         : QByteArray())
                + (ascending ? ", ascending" : ", descending");
            QTest::newRow("0 natural" + suffix) << 0 << int(Texts) << modulus << ascending;
            QTest::newRow("1 case-insensitive" + suffix) << 1 << int(Texts) << modulus << ascending;
            QTest::newRow("4 mixed types" + suffix) << 4 << int(Mixed) << modulus << ascending;
            QTest::newRow("4 ints" + suffix) << 4 << int(Ints) << modulus << ascending;
            QTest::newRow("4 ints and empty cells" + suffix) << 4 << int(IntsAndEmpty) << modulus << ascending;
            QTest::newRow("4 texts and empty cells" + suffix) << 4 << int(TextsAndEmpty) << modulus << ascending;
            QTest::newRow("6 integers" + suffix) << 6 << int(Texts) << modulus << ascending;
            QTest::newRow("8 file sizes" + suffix) << 8 << int(Texts) << modulus << ascending;
            QTest::newRow("9 toggles" + suffix) << 9 << int(Texts) << modulus << ascending;
        }
    }
}

void TestSortFilterSelectModelSortKeys::shouldOrderRowsAsTheComparatorOrdersTheirValues()
{
    QFETCH(int, code);
    QFETCH(int, values);
    QFETCH(int, filterModulus);
    QFETCH(bool, ascending);

    Less less;
    switch (code) {
    case 0:
        less = [](const QVariant& l, const QVariant& r) { return lom::stringsLessThan(wx(l), wx(r)); };
        break;
    case 1:
        less = [](const QVariant& l, const QVariant& r) {
            return QString::compare(l.toString(), r.toString(), Qt::CaseInsensitive) < 0;
        };
        break;
    case 6:
        less = [](const QVariant& l, const QVariant& r) { return lom::integersLessThan(wx(l), wx(r)); };
        break;
    case 8:
        less = [](const QVariant& l, const QVariant& r) {
            wxString a = wx(l);
            wxString b = wx(r);
            return lom::fileSizeLessThan(a, b);
        };
        break;
    case 9:
        less = [](const QVariant& l, const QVariant& r) { return lom::toggleDisabledLessThan(wx(l), wx(r)); };
        break;
    default:
        less = valueLess;
        break;
    }

    // Given a column of random values, many of them tied, with the comparator code
    QRandomGenerator random(quint32(code * 64 + values * 8 + filterModulus * 2 + ascending));
    QList<QVariantList> rows;
    std::vector<QVariant> cells;
    for (int row = 0; row < 600; ++row) {
        QVariant value;
        switch (values) {
        case Mixed:
            value = randomValue(random);
            break;
        case Ints:
            value = random.bounded(-50, 50);
            break;
        case IntsAndEmpty:
            value = random.bounded(4) == 0 ? QVariant() : QVariant(random.bounded(-50, 50));
            break;
        case TextsAndEmpty:
            value = random.bounded(4) == 0 ? QVariant() : QVariant(randomText(random));
            break;
        default:
            value = randomText(random);
            break;
        }
        cells.push_back(value);
        rows.append(QVariantList { value });
    }
    cvtest::HeaderRoles header = TableProxyTestModel::column(QStringLiteral("V"), QStringLiteral("v"));
    header.insert(cvtest::SortTypeRole, code);
    TableProxyTestModel source;
    source.reset({ header }, rows);
    RowFilter filter(filterModulus);
    SortFilterSelectModel proxy;
    if (filterModulus)
        proxy.setFilter(&filter);
    proxy.setSourceModel(&source);
    new QAbstractItemModelTester(&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest, &proxy);
    auto proxyOrder = [&proxy] {
        std::vector<int> order;
        for (int row = 0; row < proxy.rowCount(); ++row)
            order.push_back(proxy.mapProxyRowToSource(row));
        return order;
    };
    auto sorted = [&](std::vector<int> order, bool up) {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return up ? less(cells[std::size_t(a)], cells[std::size_t(b)]) : less(cells[std::size_t(b)], cells[std::size_t(a)]);
        });
        return order;
    };

    // When it is sorted
    proxy.doSort(0, ascending, true);

    // Then the rows come in the order a stable sort with the comparator on the values gives
    std::vector<int> expected;
    for (int row = 0; row < int(cells.size()); ++row) {
        if (!filterModulus || filter.accepts(row))
            expected.push_back(row);
    }
    expected = sorted(expected, ascending);
    QCOMPARE(proxyOrder(), expected);

    // And sorting the other way round keeps tied rows in the order they had
    proxy.doSort(0, !ascending, true);
    QCOMPARE(proxyOrder(), sorted(expected, !ascending));
}

QTEST_MAIN(TestSortFilterSelectModelSortKeys)
#include "tst_sortfilterselectmodel_sortkeys.moc"
