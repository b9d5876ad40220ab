// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/sortfilterselectmodel_p.h"

#include "models/naturalsortkey_p.h"

#include <loom/comparators.h>

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QTime>

#include <climits>
#include <limits>
#include <numeric>

namespace core
{
namespace
{
void prefetchText(const wxString& text)
{
    prefetch(text.wx_str());
}

void prefetchText(const QString& text)
{
    prefetch(compat::textStorage(text));
}

bool fileSizeLess(const wxString& left, const wxString& right)
{
    // The host comparator leaves its texts as they are; its references are not const only to keep
    // the host's signature.
    return lom::fileSizeLessThan(const_cast<wxString&>(left), const_cast<wxString&>(right));
}
}

void SortFilterSelectModel::Pimpl::sortBase(int column, Qt::SortOrder order)
{
    if (baseColumnsStale)
        invalidateColumns();
    sortCache = SortCache();
    sortCache.active = column >= 0;
    sortCache.model = owner->sourceModel();
    sortCache.column = column >= 0 && validSourceColumn(sortColumn) ? sortColumn : -1;
    sortCache.role = owner->sortRole();
    sortCache.flat = qobject_cast<const QAbstractTableModel*>(sortCache.model)
        || qobject_cast<const QAbstractListModel*>(sortCache.model);
    sortCache.rows = sortCache.active && sortCache.model ? std::size_t(std::max(0, sortCache.model->rowCount())) : 0;
    owner->QSortFilterProxyModel::sort(column, order);
    sortCache = SortCache();
}

namespace
{
// Bottom-up stable merge sort of handles to texts or keys, fetching what they refer to a few steps
// before the merge reaches it: on large tables nearly every comparison would otherwise wait for
// memory. `fetchFar` fetches what a handle points at, `fetchNear` what that in turn refers to.
template <typename Item, typename Less, typename FetchFar, typename FetchNear>
void mergeSortOrder(std::vector<Item>& order, Less less, FetchFar fetchFar, FetchNear fetchNear)
{
    constexpr std::size_t run = 16;
    constexpr std::size_t ahead = 8;
    const std::size_t n = order.size();
    // Rows come in the order they are shown. A table sorted before, either way round, is ordered
    // in one pass: reversing the order is what a second click on a header does.
    bool up = true;
    bool down = true;
    for (std::size_t i = 1; i < n && (up || down); ++i) {
        if (i + 2 * ahead < n)
            fetchFar(order[i + 2 * ahead]);
        if (i + ahead < n)
            fetchNear(order[i + ahead]);
        up = up && !less(order[i], order[i - 1]);
        down = down && !less(order[i - 1], order[i]);
    }
    if (up || down) {
        if (!up)
            std::reverse(order.begin(), order.end());
        return;
    }
    auto ordered = [&less](Item a, Item b) { return !less(b, a); };
    for (std::size_t begin = 0; begin < n; begin += run) {
        const auto first = order.begin() + std::ptrdiff_t(begin);
        std::stable_sort(first, first + std::ptrdiff_t(std::min(run, n - begin)), less);
    }
    std::vector<Item> buffer(n);
    std::vector<Item>* from = &order;
    std::vector<Item>* to = &buffer;
    for (std::size_t width = run; width < n; width *= 2) {
        for (std::size_t begin = 0; begin < n; begin += 2 * width) {
            const std::size_t middle = std::min(begin + width, n);
            const std::size_t end = std::min(begin + 2 * width, n);
            const Item* a = from->data() + begin;
            const Item* aEnd = from->data() + middle;
            const Item* b = aEnd;
            const Item* bEnd = from->data() + end;
            Item* out = to->data() + begin;
            while (a != aEnd && b != bEnd) {
                if (aEnd - a > std::ptrdiff_t(2 * ahead))
                    fetchFar(a[2 * ahead]);
                if (bEnd - b > std::ptrdiff_t(2 * ahead))
                    fetchFar(b[2 * ahead]);
                if (aEnd - a > std::ptrdiff_t(ahead))
                    fetchNear(a[ahead]);
                if (bEnd - b > std::ptrdiff_t(ahead))
                    fetchNear(b[ahead]);
                // Ties take the left run first, which keeps the sort stable.
                if (ordered(*a, *b))
                    *out++ = *a++;
                else
                    *out++ = *b++;
            }
            out = std::copy(a, aEnd, out);
            std::copy(b, bEnd, out);
        }
        std::swap(from, to);
    }
    if (from != &order)
        order.swap(*from);
}

// The place of each listed row's text in the order of `less`, equal texts sharing one; rows not
// listed get -1.
template <typename Text, typename Less>
std::vector<int> rankTexts(const std::vector<Text>& texts, const std::vector<int>& rows, Less less)
{
    std::vector<const Text*> order;
    order.reserve(rows.size());
    for (int row : rows)
        order.push_back(&texts[std::size_t(row)]);
    mergeSortOrder(
        order, [&less](const Text* a, const Text* b) { return less(*a, *b); }, [](const Text* text) { prefetch(text); },
        [](const Text* text) { prefetchText(*text); });
    std::vector<int> ranks(texts.size(), -1);
    int rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && less(*order[i - 1], *order[i]))
            ++rank;
        ranks[std::size_t(order[i] - texts.data())] = rank;
    }
    return ranks;
}
}

bool SortFilterSelectModel::Pimpl::prepareSortCache() const
{
    if (sortCache.prepared)
        return sortCache.ranked;
    sortCache.prepared = true;
    if (sorter || sortCache.column < 0)
        return false;
    const QAbstractItemModel* model = sortCache.model;
    const int column = sortCache.column;
    const int role = sortCache.role;
    const bool byValueType = comparator == &valueTypeLessThan;
    if (byValueType) {
        // Compared by value type, only a column of texts (empty cells among them) is ordered up
        // front, in the natural order; values of other types compare in place, as fast as from a
        // cache of them and without its memory.
        QVariant value;
        for (std::size_t row = 0; row < sortCache.rows && !value.isValid(); ++row)
            value = model->index(int(row), column).data(role);
        if (value.userType() != QMetaType::QString)
            return false;
    }
    std::vector<int> held = heldRootRows();
    // Without the rows the base proxy holds, every row is read and ordered: worth it only when it
    // holds most of them.
    if (held.empty() && std::size_t(owner->QSortFilterProxyModel::rowCount()) * 2 < sortCache.rows)
        return false;
    if (held.empty()) {
        held.resize(sortCache.rows);
        std::iota(held.begin(), held.end(), 0);
    }
    if (byValueType || textLess == &lom::stringsLessThan) {
        if (!rankNaturally(held, byValueType))
            return false;
    } else if (comparator == &caseInsensitiveLessThan) {
        std::vector<QString> strings(sortCache.rows);
        for (int row : held)
            strings[std::size_t(row)] = model->index(row, column).data(role).toString();
        sortCache.ranks = rankTexts(strings, held, [](const QString& left, const QString& right) {
            return QString::compare(left, right, Qt::CaseInsensitive) < 0;
        });
    } else if (textLess) {
        std::vector<wxString> texts(sortCache.rows);
        for (int row : held)
            texts[std::size_t(row)] = lum::wxFromQt(model->index(row, column).data(role).toString());
        sortCache.ranks = rankTexts(texts, held, textLess);
    } else {
        return false;
    }
    sortCache.ranked = true;
    return true;
}

bool SortFilterSelectModel::Pimpl::rankNaturally(std::vector<int>& held, bool byValueType) const
{
    const QAbstractItemModel* model = sortCache.model;
    const int column = sortCache.column;
    const int role = sortCache.role;
    // Until ranked, each held row's entry holds the number of its key.
    std::vector<int>& slots = sortCache.ranks;
    slots.assign(sortCache.rows, -1);
    for (int row : held)
        slots[std::size_t(row)] = 0;
    // Read in source order, the order models usually keep their values in: far faster than the
    // shown order on large tables.
    NaturalSortKeys keys;
    keys.reserve(held.size());
    // The row of each key, left empty while each key's number is its row, as when every row is held.
    std::vector<int> keyRows;
    for (std::size_t row = 0; row < sortCache.rows; ++row) {
        if (slots[row] < 0)
            continue;
        const QVariant value = model->index(int(row), column).data(role);
        if (byValueType && !value.isValid()) {
            // Empty cells rank after every text.
            slots[row] = std::numeric_limits<int>::max();
            continue;
        }
        const std::size_t key = keys.size();
        if ((byValueType && value.userType() != QMetaType::QString) || !keys.append(value.toString())) {
            slots.clear();
            return false;
        }
        slots[row] = int(key);
        if (keyRows.empty() && key != row) {
            keyRows.resize(key);
            std::iota(keyRows.begin(), keyRows.end(), 0);
        }
        if (!keyRows.empty() || key != row)
            keyRows.push_back(int(row));
    }
    // The keys in the order their rows are shown, in place of the rows.
    std::vector<int>& order = held;
    std::size_t present = 0;
    for (int row : held) {
        if (slots[std::size_t(row)] != std::numeric_limits<int>::max())
            order[present++] = slots[std::size_t(row)];
    }
    order.resize(present);
    std::vector<char> startsRank;
    keys.sort(order, startsRank);
    int rank = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        rank += startsRank[i];
        slots[keyRows.empty() ? std::size_t(order[i]) : std::size_t(keyRows[std::size_t(order[i])])] = rank;
    }
    return true;
}

bool SortFilterSelectModel::Pimpl::rankedLess(const QModelIndex& left, const QModelIndex& right, bool* less) const
{
    if (sortCache.prepared && !sortCache.ranked)
        return false;
    const std::ptrdiff_t leftRow = cachedRow(left);
    if (leftRow < 0)
        return false;
    const std::ptrdiff_t rightRow = cachedRow(right);
    if (rightRow < 0 || !prepareSortCache())
        return false;
    const int leftRank = sortCache.ranks[std::size_t(leftRow)];
    const int rightRank = sortCache.ranks[std::size_t(rightRow)];
    // A row the base proxy did not hold when the sort began has no rank: the comparator decides.
    if (leftRank < 0 || rightRank < 0)
        return false;
    *less = leftRank < rightRank;
    return true;
}

std::vector<int> SortFilterSelectModel::Pimpl::heldRootRows() const
{
    // Read at the base proxy's first comparison of its top-level rows, which its stable sort makes
    // before it moves any: the rows it holds, in the order they are shown. Anything else than each
    // source row at most once gives up, and every row is ordered instead.
    const int count = owner->QSortFilterProxyModel::rowCount();
    std::vector<int> rows;
    rows.reserve(std::size_t(std::max(0, count)));
    std::vector<bool> seen(sortCache.rows, false);
    for (int proxyRow = 0; proxyRow < count; ++proxyRow) {
        const QModelIndex source
            = owner->QSortFilterProxyModel::mapToSource(owner->QSortFilterProxyModel::index(proxyRow, 0));
        const int row = source.row();
        if (!source.isValid() || source.parent().isValid() || row >= int(sortCache.rows) || seen[std::size_t(row)])
            return {};
        seen[std::size_t(row)] = true;
        rows.push_back(row);
    }
    return rows;
}

std::ptrdiff_t SortFilterSelectModel::Pimpl::cachedRow(const QModelIndex& index) const
{
    if (!sortCache.active || index.model() != sortCache.model || index.column() != sortCache.column)
        return -1;
    const int row = index.row();
    if (row < 0 || std::size_t(row) >= sortCache.rows || (!sortCache.flat && index.parent().isValid()))
        return -1;
    return row;
}

QVariant SortFilterSelectModel::Pimpl::sortValue(const QModelIndex& index) const
{
    if (!index.model())
        return QVariant();
    return index.data(sortCache.active ? sortCache.role : owner->sortRole());
}

const QString& SortFilterSelectModel::Pimpl::sortString(const QModelIndex& index, QString& scratch) const
{
    const std::ptrdiff_t row = cachedRow(index);
    if (row < 0) {
        scratch = sortValue(index).toString();
        return scratch;
    }
    if (sortCache.strings.empty()) {
        sortCache.strings.resize(sortCache.rows);
        sortCache.stringRead.assign(sortCache.rows, 0);
    }
    if (!sortCache.stringRead[std::size_t(row)]) {
        sortCache.strings[std::size_t(row)] = sortValue(index).toString();
        sortCache.stringRead[std::size_t(row)] = 1;
    }
    return sortCache.strings[std::size_t(row)];
}

wxString& SortFilterSelectModel::Pimpl::sortText(const QModelIndex& index, wxString& scratch) const
{
    const std::ptrdiff_t row = cachedRow(index);
    if (row < 0) {
        scratch = lum::wxFromQt(sortValue(index).toString());
        return scratch;
    }
    if (sortCache.textSlots.empty()) {
        sortCache.textSlots.assign(sortCache.rows, -1);
        // Never reallocated during the sort: references to the texts stay valid.
        sortCache.texts.reserve(sortCache.rows);
    }
    int& slot = sortCache.textSlots[std::size_t(row)];
    if (slot < 0) {
        slot = int(sortCache.texts.size());
        sortCache.texts.push_back(lum::wxFromQt(sortValue(index).toString()));
    }
    return sortCache.texts[std::size_t(slot)];
}

template <bool (*Less)(const wxString&, const wxString&)>
bool SortFilterSelectModel::Pimpl::textLessThan(const Pimpl& d, const QModelIndex& left, const QModelIndex& right)
{
    bool less = false;
    if (d.rankedLess(left, right, &less))
        return less;
    wxString leftScratch;
    wxString rightScratch;
    return Less(d.sortText(left, leftScratch), d.sortText(right, rightScratch));
}

bool SortFilterSelectModel::Pimpl::caseInsensitiveLessThan(
    const Pimpl& d, const QModelIndex& left, const QModelIndex& right)
{
    bool less = false;
    if (d.rankedLess(left, right, &less))
        return less;
    QString leftScratch;
    QString rightScratch;
    return QString::compare(d.sortString(left, leftScratch), d.sortString(right, rightScratch), Qt::CaseInsensitive)
        < 0;
}

bool SortFilterSelectModel::Pimpl::valueTypeLessThan(const Pimpl& d, const QModelIndex& left, const QModelIndex& right)
{
    bool less = false;
    if (d.rankedLess(left, right, &less))
        return less;
    const QVariant l = d.sortValue(left);
    if (!l.isValid())
        return false;
    const QVariant r = d.sortValue(right);
    if (!r.isValid())
        return true;
    // Two ints or two doubles, as held in place: the same answers as below without the calls.
    if (compat::lessInPlace(l, r, &less))
        return less;
    switch (l.userType()) {
    case QMetaType::Int:
        return l.toInt() < r.toInt();
    case QMetaType::UInt:
        return l.toUInt() < r.toUInt();
    case QMetaType::LongLong:
        return l.toLongLong() < r.toLongLong();
    case QMetaType::ULongLong:
        return l.toULongLong() < r.toULongLong();
    case QMetaType::Double:
        return l.toDouble() < r.toDouble();
    case QMetaType::Float:
        return l.toFloat() < r.toFloat();
    case QMetaType::QChar:
        return l.toChar().unicode() < r.toChar().unicode();
    case QMetaType::QDate:
        return l.toDate() < r.toDate();
    case QMetaType::QTime:
        return l.toTime() < r.toTime();
    case QMetaType::QDateTime:
        return l.toDateTime() < r.toDateTime();
    default:
        return textLessThan<lom::stringsLessThan>(d, left, right);
    }
}

void SortFilterSelectModel::Pimpl::setSortType(int code)
{
    sortType = code;
    textLess = nullptr;
    switch (code) {
    case 0:
    case 5:
        textLess = &lom::stringsLessThan;
        comparator = &textLessThan<lom::stringsLessThan>;
        break;
    case 1:
        comparator = &caseInsensitiveLessThan;
        break;
    case 2:
    case 3:
        comparator = nullptr; // the base class's comparison
        break;
    case 6:
        textLess = &lom::integersLessThan;
        comparator = &textLessThan<lom::integersLessThan>;
        break;
    case 7:
        textLess = &lom::doublesLessThan;
        comparator = &textLessThan<lom::doublesLessThan>;
        break;
    case 8:
        textLess = &fileSizeLess;
        comparator = &textLessThan<fileSizeLess>;
        break;
    case 9:
        textLess = &lom::toggleDisabledLessThan;
        comparator = &textLessThan<lom::toggleDisabledLessThan>;
        break;
    case 10:
        textLess = &lom::plotStylesLessThan;
        comparator = &textLessThan<lom::plotStylesLessThan>;
        break;
    case 11:
        textLess = &lom::pixelSizeLessThan;
        comparator = &textLessThan<lom::pixelSizeLessThan>;
        break;
    case 12:
        textLess = &lom::dimStylesLessThan;
        comparator = &textLessThan<lom::dimStylesLessThan>;
        break;
    default:
        comparator = &valueTypeLessThan;
        break;
    }
}

int SortFilterSelectModel::Pimpl::sortTypeOf(int sourceColumn) const
{
    const QAbstractItemModel* model = owner->sourceModel();
    bool isInt = false;
    const int code = model ? model->headerData(sourceColumn, Qt::Horizontal, SortTypeRole).toInt(&isInt) : 0;
    return isInt ? code : DefaultSortType;
}

void SortFilterSelectModel::Pimpl::applyInitialSort(bool force)
{
    const QAbstractItemModel* model = owner->sourceModel();
    if (!model)
        return;
    int initial = -1;
    const int count = model->columnCount();
    for (int c = 0; c < count; ++c) {
        if (model->headerData(c, Qt::Horizontal, InitialSortColumnRole).toBool()) {
            initial = c;
            break;
        }
    }
    if (initial < 0) {
        if (hasInitialSortColumn) {
            hasInitialSortColumn = false;
            Q_EMIT owner->hasInitialSortColumnChanged();
        }
        return;
    }
    const bool hidden = validSourceColumn(initial) && !columns[std::size_t(initial)].visible;
    const int position = validSourceColumn(initial) ? columns[std::size_t(initial)].position : initial;
    if (hidden) {
        // Hidden by its header or by the stored layout: it becomes the sort column, and orders the
        // rows once it is shown.
        const QVariant order = model->headerData(initial, Qt::Horizontal, Qt::InitialSortOrderRole);
        const bool ascending = !(order.isValid() && order.toInt() != Qt::AscendingOrder);
        sortColumn = initial;
        setSortType(sortTypeOf(initial));
        sortBase(-1, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        Q_EMIT owner->ascendingChanged(ascending);
        Q_EMIT owner->proxySortColumnChanged();
    } else if (position >= 0) {
        const QVariant order = owner->headerData(position, Qt::Horizontal, Qt::InitialSortOrderRole);
        const bool ascending = !(order.isValid() && order.toInt() != Qt::AscendingOrder);
        owner->doSort(position, ascending, force);
    }
    if (!hasInitialSortColumn) {
        hasInitialSortColumn = true;
        Q_EMIT owner->hasInitialSortColumnChanged();
    }
}

// Sorting

void SortFilterSelectModel::doSort(int proxyColumn, bool isAscending, bool force)
{
    if (!d->validProxyColumn(proxyColumn))
        return;
    const int column = d->columnOrder[std::size_t(proxyColumn)];
    if (!force && ascending() == isAscending && d->sortColumn == column)
        return;
    int base = d->baseColumn(column);
    if (base >= 0) {
        d->sortColumn = column;
        d->setSortType(d->sortTypeOf(column));
    } else {
        d->sortColumn = -1;
        base = -1;
    }
    d->sortBase(base, isAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    Q_EMIT ascendingChanged(isAscending);
    Q_EMIT proxySortColumnChanged();
}

void SortFilterSelectModel::unSort()
{
    d->sortColumn = -1;
    d->sortBase(-1, Qt::AscendingOrder);
    Q_EMIT proxySortColumnChanged();
}

bool SortFilterSelectModel::isInitiallyAscending(int proxyColumn) const
{
    const QVariant order = headerData(proxyColumn, Qt::Horizontal, Qt::InitialSortOrderRole);
    return !order.isValid() || order.toInt() == Qt::AscendingOrder;
}

bool SortFilterSelectModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (d->sorter)
        return d->sorter->lessThan(left, right);
    if (!d->comparator)
        return QSortFilterProxyModel::lessThan(left, right);
    return d->comparator(*d, left, right);
}
}
