// Corvane.Core tests.
#pragma once

#include "models/sortfilterselectmodel.h"
#include "support/reliability_randommodel.h"

#include <QAbstractItemModelTester>
#include <QSet>
#include <QSignalSpy>

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

/// Every promise of the proxy's column layout, cell mapping, column menu and selection; the first
/// broken one, or empty. Cells are walked breadth first, at most maxCells of them.
inline QString mappingProblem(const core::SortFilterSelectModel& proxy, int maxCells = 3000)
{
    const QAbstractItemModel* source = proxy.sourceModel();
    const int columns = proxy.columnCount();
    const int records = proxy.columnRecordCount();
    const int menuRows = proxy.columnModel()->rowCount();
    if (source ? records != source->columnCount() || menuRows != records + 3 : records || columns || menuRows)
        return QStringLiteral("%1 records, %2 columns, %3 menu rows").arg(records).arg(columns).arg(menuRows);
    QSet<int> seen;
    for (int k = 0; k < columns; ++k) {
        const int c = proxy.mapProxyColumnToSource(k);
        if (c < 0 || c >= records || seen.contains(c) || proxy.mapSourceColumnToProxy(c) != k
            || proxy.headerData(k, Qt::Horizontal) != source->headerData(c, Qt::Horizontal))
            return QStringLiteral("proxy column %1 shows source column %2").arg(k).arg(c);
        seen.insert(c);
    }
    for (int c = 0; c < records; ++c)
        if (proxy.isSourceColumnVisible(c) != seen.contains(c)
            || proxy.columnModel()->index(c, 0).data(3).toBool() != seen.contains(c))
            return QStringLiteral("source column %1 visible, shown or checked in the menu, not all").arg(c);
    std::vector<QModelIndex> parents{QModelIndex()};
    for (std::size_t p = 0, cells = 0; p < parents.size() && cells < std::size_t(maxCells); ++p) {
        const QModelIndex parent = parents[p], sourceParent = proxy.mapToSource(parent);
        const int rows = proxy.rowCount(parent);
        if (rows > 0 && (rows > source->rowCount(sourceParent.sibling(sourceParent.row(), 0)) || proxy.columnCount(parent) != columns))
            return QStringLiteral("%1 rows and %2 columns below a parent").arg(rows).arg(proxy.columnCount(parent));
        for (int r = 0; r < rows; ++r) {
            if (!parent.isValid() && columns > 0 && r < 50
                && proxy.mapSourceRowToProxy(proxy.mapProxyRowToSource(r)) != r)
                return QStringLiteral("row %1 does not map back").arg(r);
            for (int k = 0; k < columns; ++k, ++cells) {
                const QModelIndex cell = proxy.index(r, k, parent), mapped = proxy.mapToSource(cell);
                const QString text = cell.data().toString(), header = proxy.headerData(k, Qt::Horizontal).toString();
                // Test sources name cells "r<row id>v<version>c<column id>" below headers "H<column id>".
                if (!cell.isValid() || proxy.parent(cell) != parent || mapped.parent().row() != sourceParent.row()
                    || mapped.parent().parent() != sourceParent.parent()
                    || mapped.column() != proxy.mapProxyColumnToSource(k) || proxy.mapFromSource(mapped) != cell
                    || text != mapped.data().toString()
                    || (header.startsWith(QLatin1Char('H')) && !text.endsWith(QLatin1Char('c') + header.mid(1))))
                    return QStringLiteral("cell %1,%2 below %3 shows %4 under %5")
                        .arg(r).arg(k).arg(parent.row()).arg(text, header);
            }
            const QModelIndex child = proxy.index(r, 0, parent);
            if (child.isValid() && proxy.rowCount(child) > 0)
                parents.push_back(child);
        }
    }
    // Selections hold whole rows only.
    const int rows = proxy.selectionModel()->selectedRows(0).size();
    const int count = proxy.selectedSourceRowsCount();
    if (count == rows && proxy.selectionModel()->selectedIndexes().size() == rows * columns)
        return {};
    return QStringLiteral("selection count %1 for %2 whole rows").arg(count).arg(rows);
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
    // Two child rows under root row 1, one under root row 3.
    void addChildren()
    {
        source.insertRowsAt(source.index(1, 0), 0, 2);
        source.insertRowsAt(source.index(3, 0), 0, 1);
    }
    int role(const char* name) const { return proxy.roleNames().key(name, -1); }

    /// "row,column" or, for a child row, "parentRow.row,column"; "" for an invalid index.
    static QString cellName(const QModelIndex& index)
    {
        const QString parent = index.parent().isValid() ? QStringLiteral("%1.").arg(index.parent().row()) : QString();
        return index.isValid() ? parent + QStringLiteral("%1,%2").arg(index.row()).arg(index.column()) : QString();
    }
    QString current() const { return cellName(proxy.selectionModel()->currentIndex()); }
    /// The rows of the indexes, sorted: "1,3" or "1.0" for a child row.
    static QString rowNames(const QModelIndexList& indexes)
    {
        QStringList rows;
        for (const QModelIndex& index : indexes)
            rows.append(cellName(index).section(QLatin1Char(','), 0, 0));
        rows.sort();
        return rows.join(QLatin1Char(','));
    }
    QString selected() const { return rowNames(proxy.selectionModel()->selectedRows(0)); }
    QString selectedSource() const { return rowNames(proxy.selectedSourceRows()); }
    /// Root cells that report each extra role true: "isSelected=4 isFocusCell=2,1", a whole row
    /// written as its number.
    QString states() const
    {
        QStringList out;
        for (const char* name : {"isSelected", "isHovered", "beginedit", "isPreFocusCell", "isFocusCell"}) {
            QStringList cells;
            for (int r = 0; r < proxy.rowCount(); ++r) {
                QStringList inRow;
                for (int c = 0; c < proxy.columnCount(); ++c)
                    if (proxy.index(r, c).data(role(name)).toBool())
                        inRow.append(cellName(proxy.index(r, c)));
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
            const QString from = cellName(args.at(0).toModelIndex()), to = cellName(args.at(1).toModelIndex());
            out.append(roles.join(QLatin1Char('+')) + QLatin1Char(':') + from + (to == from ? QString() : QLatin1Char('-') + to));
        }
        return out.join(QLatin1Char(' '));
    }

    /// Runs user actions, separated by spaces, on cells "row,column" or, for a child row,
    /// "parentRow.row,column"; root cells go through the row/column overloads, child cells through
    /// the index ones. Lcell left click, Ccell ctrl click, Scell shift click, Rcell right click,
    /// Acell add to selection; a select all, n next row, p previous row, x clear; s<col>+ / s<col>-
    /// sort; h<col> / w<col> hide / show a source column; m<from>,<to> move a column; + - pre-focus column right /
    /// left, d u pre-focus row down / up, F focus the pre-focus cell, U unset the pre-focus;
    /// H<row> / O<row> hover on / off; E<row> begin edit; e<id> editable column.
    void run(const QString& script)
    {
        for (const QString& step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString arg = step.mid(1);
            const QStringList rows = arg.section(QLatin1Char(','), 0, 0).split(QLatin1Char('.'));
            const int row = rows.last().toInt();
            const int column = arg.section(QLatin1Char(','), 1, 1).toInt();
            const bool child = rows.size() == 2;
            const QModelIndex cell = proxy.index(row, column, child ? proxy.index(rows[0].toInt(), 0) : QModelIndex());
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
            default:
                qFatal("unknown step %s", qPrintable(step));
            }
        }
    }

    ReliabilityRandomModel source { true };
    core::SortFilterSelectModel proxy;
    QAbstractItemModelTester tester{&proxy, QAbstractItemModelTester::FailureReportingMode::QtTest};
    QAbstractItemModelTester menuTester{proxy.columnModel(), QAbstractItemModelTester::FailureReportingMode::QtTest};
};
}
