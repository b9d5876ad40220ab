// Corvane.Core tests.
#pragma once

#include "models/sortfilterselectmodel.h"
#include "support/tableproxy_helpers.h"
#include "support/tableproxy_testmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStringList>

namespace cvtest
{
// A table proxy over a test table of columns `columns` with `rows` rows ("P0".."R7"), watched
// by a model tester for its whole life.
struct ProxyFixture
{
    explicit ProxyFixture(const QString& columns = QStringLiteral("PQR"), int rows = 8)
    {
        source.build(columns, rows);
        proxy.setSourceModel(&source);
    }
    // Two child rows under root row 1, one under root row 3.
    void addChildren()
    {
        source.appendChildRow(1, { QStringLiteral("c10"), QStringLiteral("x"), QStringLiteral("y") });
        source.appendChildRow(1, { QStringLiteral("c11"), QStringLiteral("x"), QStringLiteral("y") });
        source.appendChildRow(3, { QStringLiteral("c30"), QStringLiteral("x"), QStringLiteral("y") });
    }
    int role(const char* name) const { return roleNumber(proxy, name); }

    /// A proxy cell from "row,column" or, for a child row, "parentRow.row,column"; "" is no cell.
    QModelIndex at(const QString& name) const
    {
        const QStringList parts = name.split(QLatin1Char(','));
        if (parts.size() != 2)
            return {};
        const QStringList rows = parts[0].split(QLatin1Char('.'));
        const QModelIndex parent = rows.size() == 2 ? proxy.index(rows[0].toInt(), 0) : QModelIndex();
        return proxy.index(rows.last().toInt(), parts[1].toInt(), parent);
    }
    /// The inverse of at(): "row,column" or "parentRow.row,column"; "" for an invalid index.
    static QString cellName(const QModelIndex& index)
    {
        if (!index.isValid())
            return {};
        const QString row = index.parent().isValid()
            ? QStringLiteral("%1.%2").arg(index.parent().row()).arg(index.row())
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
    /// The column 0 texts of the selected source rows, sorted: "P4,P5".
    QString selectedSourceTexts() const
    {
        QStringList texts;
        for (const QModelIndex& index : proxy.selectedSourceRows())
            texts.append(index.sibling(index.row(), 0).data().toString());
        texts.sort();
        return texts.join(QLatin1Char(','));
    }
    /// Root cells that report each extra role true: "isSelected=4 isFocusCell=2,1", a whole row
    /// written as its number.
    QString states() const
    {
        QStringList out;
        for (const char* name : { "isSelected", "isHovered", "beginedit", "isPreFocusCell", "isFocusCell" }) {
            QStringList cells;
            for (int r = 0; r < proxy.rowCount(); ++r) {
                QStringList inRow;
                for (int c = 0; c < proxy.columnCount(); ++c) {
                    if (proxy.index(r, c).data(role(name)).toBool())
                        inRow.append(QStringLiteral("%1,%2").arg(r).arg(c));
                }
                if (inRow.size() == proxy.columnCount() && inRow.size() > 1)
                    cells.append(QString::number(r));
                else
                    cells += inRow;
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
        for (const QString& step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            perform(step.at(0).toLatin1(), step.mid(1));
    }
    void perform(char op, const QString& arg)
    {
        const QModelIndex cell = at(arg);
        const bool child = arg.contains(QLatin1Char('.'));
        const int row = arg.section(QLatin1Char(','), 0, 0).toInt();
        const int column = arg.section(QLatin1Char(','), 1, 1).toInt();
        switch (op) {
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
        default: qFatal("unknown step %c", op);
        }
    }

    TableProxyTestModel source;
    core::SortFilterSelectModel proxy;
    QAbstractItemModelTester tester { &proxy, QAbstractItemModelTester::FailureReportingMode::QtTest };
};
}
