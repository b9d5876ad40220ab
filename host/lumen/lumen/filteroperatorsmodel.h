// Corvane stand-in for the host's Qt utility library.
#pragma once

#include "lumen_export.h"

#include <QAbstractListModel>
#include <QVector>

namespace lum
{
// The comparison operators of a filter row. Roles: "text" (what the user reads),
// "symbol" (the operator as written in a filter expression), "operatorId" (Operator value).
class LUMEN_EXPORT FilterOperatorsModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ rowCount CONSTANT)

public:
    enum Operator
    {
        Equal,
        NotEqual,
        Less,
        LessOrEqual,
        Greater,
        GreaterOrEqual,
        Contains,
        StartsWith,
    };
    Q_ENUM(Operator)

    enum Roles
    {
        TextRole = Qt::UserRole + 1,
        SymbolRole,
        OperatorIdRole,
    };

    explicit FilterOperatorsModel(QObject* parent = nullptr);
    ~FilterOperatorsModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    /// Whether "left operator right" holds; numbers compare by value, other texts ignoring case.
    Q_INVOKABLE bool matches(int op, const QString& left, const QString& right) const;

private:
    struct Entry
    {
        QString text;
        QString symbol;
        Operator op;
    };
    QVector<Entry> m_entries;
};
}
