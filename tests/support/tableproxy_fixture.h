// Corvane.Core tests.
#pragma once

#include "models/sortfilterselectmodel.h"
#include "support/reliability_randommodel.h"

#include <QAbstractItemModelTester>
#include <QSet>
#include <QSignalSpy>
#include <QStringList>

namespace cvtest
{
/// The display headers of a model's columns, concatenated: "PQR".
inline QString headerText(const QAbstractItemModel& model)
{
    QString text;
    for (int c = 0; c < model.columnCount(); ++c)
        text += model.headerData(c, Qt::Horizontal).toString();
    return text;
}

/// The display texts of one column's root rows, comma-separated: "P0,P2,P1".
inline QString columnText(const QAbstractItemModel& model, int column)
{
    QStringList texts;
    for (int r = 0; r < model.rowCount(); ++r)
        texts.append(model.index(r, column).data().toString());
    return texts.join(QLatin1Char(','));
}

/// The display texts of one root row across the columns, concatenated: "P0Q0R0".
inline QString rowText(const QAbstractItemModel& model, int row)
{
    QString text;
    for (int c = 0; c < model.columnCount(); ++c)
        text += model.index(row, c).data().toString();
    return text;
}

/// The column id that a cell "r<id>v<version>c<column>" or header "H<column>" names; empty otherwise.
inline QString columnTag(const QString& text)
{
    if (text.startsWith(QLatin1Char('H')))
        return text.mid(1);
    return text.startsWith(QLatin1Char('r')) ? text.mid(text.lastIndexOf(QLatin1Char('c')) + 1) : QString();
}

/// Every promise of the proxy's column layout, cell mapping, column menu and selection; the first
/// broken one, or empty. Cells are walked breadth first, at most maxCells of them.
inline QString mappingProblem(const core::SortFilterSelectModel& proxy, int maxCells = 3000)
{
    const QAbstractItemModel* source = proxy.sourceModel();
    const int columns = proxy.columnCount();
    const int records = proxy.columnRecordCount();
    if (source ? records != source->columnCount() : records != 0 || columns != 0)
        return QStringLiteral("%1 column records, %2 proxy columns").arg(records).arg(columns);
    QSet<int> seen;
    for (int k = 0; k < columns; ++k) {
        const int c = proxy.mapProxyColumnToSource(k);
        if (c < 0 || c >= records || seen.contains(c) || !proxy.isSourceColumnVisible(c) || proxy.mapSourceColumnToProxy(c) != k)
            return QStringLiteral("proxy column %1 maps to source column %2").arg(k).arg(c);
        seen.insert(c);
        if (proxy.headerData(k, Qt::Horizontal) != source->headerData(c, Qt::Horizontal))
            return QStringLiteral("header %1 does not show source section %2").arg(k).arg(c);
    }
    for (int c = 0; c < records; ++c) {
        if (proxy.isSourceColumnVisible(c) != seen.contains(c))
            return QStringLiteral("source column %1 visible but not shown").arg(c);
        if (proxy.columnModel()->index(c, 0).data(3).toBool() != seen.contains(c))
            return QStringLiteral("column menu check mark of %1").arg(c);
    }
    if (proxy.columnModel()->rowCount() != (source ? source->columnCount() + 3 : 0))
        return QStringLiteral("column menu has %1 rows").arg(proxy.columnModel()->rowCount());
    std::vector<QModelIndex> parents{QModelIndex()};
    for (std::size_t p = 0, cells = 0; p < parents.size() && cells < std::size_t(maxCells); ++p) {
        const QModelIndex parent = parents[p];
        const QModelIndex sourceParent = proxy.mapToSource(parent);
        const int rows = proxy.rowCount(parent);
        if (rows > 0 && (rows > source->rowCount(sourceParent.sibling(sourceParent.row(), 0)) || proxy.columnCount(parent) != columns))
            return QStringLiteral("%1 rows and %2 columns below a parent").arg(rows).arg(proxy.columnCount(parent));
        for (int r = 0; r < rows; ++r) {
            for (int k = 0; k < columns; ++k, ++cells) {
                const QModelIndex cell = proxy.index(r, k, parent);
                const QModelIndex mapped = proxy.mapToSource(cell);
                const QString where = QStringLiteral("cell %1,%2 below %3: ").arg(r).arg(k).arg(parent.row());
                if (!cell.isValid() || proxy.parent(cell) != parent || !mapped.isValid())
                    return where + QStringLiteral("lost its parent or source");
                if (mapped.parent().row() != sourceParent.row() || mapped.parent().parent() != sourceParent.parent())
                    return where + QStringLiteral("maps under another parent");
                if (mapped.column() != proxy.mapProxyColumnToSource(k) || proxy.mapFromSource(mapped) != cell)
                    return where + QStringLiteral("maps to source column %1 and back elsewhere").arg(mapped.column());
                const QString text = cell.data().toString();
                const QString tag = columnTag(proxy.headerData(k, Qt::Horizontal).toString());
                if (text != mapped.data().toString() || (!tag.isEmpty() && columnTag(text) != tag))
                    return where + QStringLiteral("shows %1 under %2").arg(text, proxy.headerData(k, Qt::Horizontal).toString());
            }
            const QModelIndex child = proxy.index(r, 0, parent);
            if (child.isValid() && proxy.rowCount(child) > 0)
                parents.push_back(child);
        }
    }
    for (int r = 0; columns > 0 && r < std::min(proxy.rowCount(), 50); ++r) {
        if (proxy.mapSourceRowToProxy(proxy.mapProxyRowToSource(r)) != r)
            return QStringLiteral("row %1 does not map back").arg(r);
    }
    QSet<QPair<QModelIndex, int>> selectedRows;
    for (const QModelIndex& index : proxy.selectionModel()->selectedIndexes())
        selectedRows.insert(qMakePair(index.parent(), index.row()));
    if (proxy.selectedSourceRowsCount() != selectedRows.size())
        return QStringLiteral("selection count %1 for %2 rows").arg(proxy.selectedSourceRowsCount()).arg(selectedRows.size());
    return {};
}

// A table proxy over a test source of columns `columns` with `rows` rows ("P0".."R7"), the proxy
// and its column menu watched by model testers for their whole life. With attachNow false, the
// proxy and the source can be configured before attach().
struct ProxyFixture
{
    explicit ProxyFixture(const QString& columns = QStringLiteral("PQR"), int rows = 8, bool attachNow = true)
    {
        source.build(columns, rows);
        if (attachNow)
            attach();
    }
    void attach() { proxy.setSourceModel(&source); }
    // Two child rows under root row 1, one under root row 3, named in column 0.
    void addChildren()
    {
        source.insertRowsAt(source.index(1, 0), 0, 2);
        source.insertRowsAt(source.index(3, 0), 0, 1);
        for (const char* cell : {"1.0", "1.1", "3.0"}) {
            const QModelIndex index = source.index(cell[2] - '0', 0, source.index(cell[0] - '0', 0));
            source.setData(index, QStringLiteral("c%1%2").arg(cell[0]).arg(cell[2]));
        }
    }
    int role(const char* name) const { return proxy.roleNames().key(name, -1); }

    /// A proxy cell from "row,column" or, for a child row, "parentRow.row,column".
    QModelIndex at(const QString& name) const
    {
        const QStringList rows = name.section(QLatin1Char(','), 0, 0).split(QLatin1Char('.'));
        const QModelIndex parent = rows.size() == 2 ? proxy.index(rows[0].toInt(), 0) : QModelIndex();
        return proxy.index(rows.last().toInt(), name.section(QLatin1Char(','), 1, 1).toInt(), parent);
    }
    /// The inverse of at(); "" for an invalid index.
    static QString cellName(const QModelIndex& index)
    {
        if (!index.isValid())
            return {};
        const QString row = index.parent().isValid() ? QStringLiteral("%1.%2").arg(index.parent().row()).arg(index.row())
                                                     : QString::number(index.row());
        return row + QLatin1Char(',') + QString::number(index.column());
    }
    QString current() const { return cellName(proxy.selectionModel()->currentIndex()); }
    /// Fully selected rows, sorted: "1,3" or "1.0" for a child row.
    QString selected() const
    {
        QStringList rows;
        for (const QModelIndex& index : proxy.selectionModel()->selectedRows(0))
            rows.append(cellName(index).section(QLatin1Char(','), 0, 0));
        rows.sort();
        return rows.join(QLatin1Char(','));
    }
    /// The selected source rows, sorted: "4,5" or "1.0" for a child row.
    QString selectedSource() const
    {
        QStringList rows;
        for (const QModelIndex& index : proxy.selectedSourceRows())
            rows.append(cellName(index).section(QLatin1Char(','), 0, 0));
        rows.sort();
        return rows.join(QLatin1Char(','));
    }
    /// Root cells that report each extra role true: "isSelected=4 isFocusCell=2,1", a whole row
    /// written as its number.
    QString states() const
    {
        QStringList out;
        for (const char* name : {"isSelected", "isHovered", "beginedit", "isPreFocusCell", "isFocusCell"}) {
            QStringList cells;
            for (int r = 0; r < proxy.rowCount(); ++r) {
                QStringList inRow;
                for (int c = 0; c < proxy.columnCount(); ++c) {
                    if (proxy.index(r, c).data(role(name)).toBool())
                        inRow.append(QStringLiteral("%1,%2").arg(r).arg(c));
                }
                cells += inRow.size() == proxy.columnCount() && inRow.size() > 1 ? QStringList(QString::number(r)) : inRow;
            }
            if (!cells.isEmpty())
                out.append(QLatin1String(name) + QLatin1Char('=') + cells.join(QLatin1Char(' ')));
        }
        return out.join(QLatin1Char(' '));
    }
    /// The dataChanged emissions a spy recorded: "isSelected:4,0-4,2 isFocusCell:5,0".
    QString notified(const QSignalSpy& spy) const
    {
        QStringList out;
        for (const QList<QVariant>& args : spy) {
            QStringList roles;
            for (int r : args.at(2).value<QVector<int>>())
                roles.append(QString::fromLatin1(proxy.roleNames().value(r)));
            const QString from = cellName(args.at(0).toModelIndex());
            const QString to = cellName(args.at(1).toModelIndex());
            out.append(roles.join(QLatin1Char('+')) + QLatin1Char(':') + from + (to == from ? QString() : QLatin1Char('-') + to));
        }
        return out.join(QLatin1Char(' '));
    }

    /// Runs user actions, separated by spaces. Cells as in at(); root cells go through the
    /// row/column overloads, child cells through the index ones.
    /// Lcell left click, Ccell ctrl click, Scell shift click, Rcell right click, Acell add to
    /// selection; a select all, n next row, p previous row, x clear; s<col>+ / s<col>- sort;
    /// h<col> / w<col> hide / show a source column; m<from>,<to> move a column;
    /// + - pre-focus column right / left, d u pre-focus row down / up, F focus the pre-focus
    /// cell, U unset the pre-focus; H<row> / O<row> hover on / off; E<row> begin edit;
    /// e<id> editable column.
    void run(const QString& script)
    {
        for (const QString& step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString arg = step.mid(1);
            const QModelIndex cell = at(arg);
            const bool child = arg.contains(QLatin1Char('.'));
            const int row = arg.section(QLatin1Char(','), 0, 0).toInt();
            const int column = arg.section(QLatin1Char(','), 1, 1).toInt();
            switch (step.at(0).toLatin1()) {
            case 'L': child ? proxy.leftClickSelection(cell) : proxy.leftClickSelection(row, column); break;
            case 'C': child ? proxy.ctrlSelection(cell) : proxy.ctrlSelection(row, column); break;
            case 'S': child ? proxy.shiftSelection(cell) : proxy.shiftSelection(row, column); break;
            case 'A': child ? proxy.addToSelection(cell) : proxy.addToSelection(row, column); break;
            case 'R': proxy.rightClickSelection(row, column); break;
            case 'a': proxy.selectAll(); break;
            case 'n': proxy.selectNextRow(); break;
            case 'p': proxy.selectPreviousRow(); break;
            case 'x': proxy.clearSelection(); break;
            case 's': proxy.doSort(arg.left(arg.size() - 1).toInt(), arg.endsWith(QLatin1Char('+'))); break;
            case 'h': proxy.setSourceColumnVisible(row, false); break;
            case 'w': proxy.setSourceColumnVisible(row, true); break;
            case 'm': proxy.moveColumn(row, column); break;
            case '+': proxy.increasePreFocusIndexColumn(); break;
            case '-': proxy.decreasePreFocusIndexColumn(); break;
            case 'd': proxy.increasePreFocusIndexRow(); break;
            case 'u': proxy.decreasePreFocusIndexRow(); break;
            case 'F': proxy.requestActiveFocusOnPrefocusedCell(); break;
            case 'U': proxy.unsetPreFocus(); break;
            case 'H': proxy.setHovered(row, true); break;
            case 'O': proxy.setHovered(row, false); break;
            case 'E': proxy.setBeginEditIndex(row); break;
            case 'e': proxy.setDefaultEditableColumnId(arg); break;
            default: qFatal("unknown step %s", qPrintable(step));
            }
        }
    }

    ReliabilityRandomModel source{true};
    core::SortFilterSelectModel proxy;
    QAbstractItemModelTester tester{&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest};
    QAbstractItemModelTester menuTester{proxy.columnModel(), QAbstractItemModelTester::FailureReportingMode::QtTest};
};
}
