// Corvane.Core tests.
#pragma once

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QString>

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

/// The root rows that report a role true in every column, comma-separated: "0,2".
inline QString rowsWithRole(const QAbstractItemModel& model, int role)
{
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r) {
        bool all = model.columnCount() > 0;
        for (int c = 0; c < model.columnCount(); ++c)
            all = all && model.index(r, c).data(role).toBool();
        if (all)
            rows.append(QString::number(r));
    }
    return rows.join(QLatin1Char(','));
}

/// The root rows that the selection model holds as fully selected, comma-separated.
inline QString selectedRows(const QItemSelectionModel& selection)
{
    QStringList rows;
    const QModelIndexList indexes = selection.selectedRows(0);
    QList<int> numbers;
    for (const QModelIndex& index : indexes)
        numbers.append(index.row());
    std::sort(numbers.begin(), numbers.end());
    for (int n : numbers)
        rows.append(QString::number(n));
    return rows.join(QLatin1Char(','));
}

/// The role number a model gives to a role name, -1 when it has none.
inline int roleNumber(const QAbstractItemModel& model, const QByteArray& name)
{
    return model.roleNames().key(name, -1);
}
}
