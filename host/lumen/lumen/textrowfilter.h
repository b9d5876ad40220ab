// Corvane stand-in for the host's Qt utility library.
#pragma once

#include "rowfilter.h"

#include <QList>
#include <QString>

namespace lum
{
// Shows the rows whose display text in any of the chosen columns contains the filter text,
// ignoring case. An empty text shows every row; no chosen columns means every column.
class LUMEN_EXPORT TextRowFilter : public RowFilter
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(QList<int> columns READ columns WRITE setColumns NOTIFY columnsChanged)

public:
    explicit TextRowFilter(QObject* parent = nullptr);
    ~TextRowFilter() override;

    QString text() const;
    void setText(const QString& text);
    QList<int> columns() const;
    void setColumns(const QList<int>& columns);

    bool acceptRow(QAbstractItemModel* model, int sourceRow, const QModelIndex& sourceParent) override;

Q_SIGNALS:
    void textChanged();
    void columnsChanged();

private:
    QString m_text;
    QList<int> m_columns;
};
}
