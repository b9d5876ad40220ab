// Corvane stand-in for the host's Qt utility library.
#include "lumen/textrowfilter.h"

#include <QAbstractItemModel>

namespace lum
{
TextRowFilter::TextRowFilter(QObject* parent)
    : RowFilter(parent)
{
}

TextRowFilter::~TextRowFilter() = default;

QString TextRowFilter::text() const
{
    return m_text;
}

void TextRowFilter::setText(const QString& text)
{
    if (m_text == text)
        return;
    m_text = text;
    Q_EMIT textChanged();
    Q_EMIT invalidate();
}

QList<int> TextRowFilter::columns() const
{
    return m_columns;
}

void TextRowFilter::setColumns(const QList<int>& columns)
{
    if (m_columns == columns)
        return;
    m_columns = columns;
    Q_EMIT columnsChanged();
    Q_EMIT invalidate();
}

bool TextRowFilter::acceptRow(QAbstractItemModel* model, int sourceRow, const QModelIndex& sourceParent)
{
    if (m_text.isEmpty() || !model)
        return true;
    const int columnCount = model->columnCount(sourceParent);
    auto matches = [&](int column) {
        if (column < 0 || column >= columnCount)
            return false;
        const QString cell = model->index(sourceRow, column, sourceParent).data().toString();
        return cell.contains(m_text, Qt::CaseInsensitive);
    };
    if (m_columns.isEmpty()) {
        for (int column = 0; column < columnCount; ++column) {
            if (matches(column))
                return true;
        }
        return false;
    }
    for (int column : m_columns) {
        if (matches(column))
            return true;
    }
    return false;
}
}
