// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/columncontextmenumodel.h"

#include "models/sortfilterselectmodel.h"

namespace core
{
namespace
{
constexpr int ColumnCodeRole = Qt::UserRole + 4;
constexpr int NameNotEmptyRole = Qt::UserRole + 6;
// The one column code that the menu must not switch off while it is shown.
constexpr int UnhideableColumnCode = 409;

enum MenuRole
{
    NameRole = 0,
    NameNotEmptyMenuRole,
    CheckableRole,
    CheckedRole,
    EnabledRole,
    TypeRole
};
}

ColumnContextMenuModel::ColumnContextMenuModel(SortFilterSelectModel* owner)
    : QAbstractListModel(nullptr)
    , m_owner(owner)
{
}

ColumnContextMenuModel::~ColumnContextMenuModel() = default;

int ColumnContextMenuModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_owner || !m_owner->sourceModel())
        return 0;
    return m_owner->sourceModel()->columnCount() + 3;
}

QVariant ColumnContextMenuModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_owner)
        return {};
    const QAbstractItemModel* source = m_owner->sourceModel();
    if (!source)
        return {};
    const int columns = source->columnCount();
    const int row = index.row();
    if (row < 0 || row >= columns + 3)
        return {};

    if (row < columns) {
        switch (role) {
        case NameRole:
            return source->headerData(row, Qt::Horizontal, Qt::DisplayRole);
        case NameNotEmptyMenuRole:
            return source->headerData(row, Qt::Horizontal, NameNotEmptyRole);
        case CheckableRole:
            return true;
        case CheckedRole:
            return m_owner->isSourceColumnVisible(row);
        case EnabledRole:
            return !(source->headerData(row, Qt::Horizontal, ColumnCodeRole).toInt() == UnhideableColumnCode
                && m_owner->isSourceColumnVisible(row));
        case TypeRole:
            return QStringLiteral("showhide");
        default:
            return {};
        }
    }

    if (row == columns) {
        switch (role) {
        case NameRole:
        case NameNotEmptyMenuRole:
        case CheckableRole:
            return false;
        case TypeRole:
            return QStringLiteral("separator");
        default:
            return {};
        }
    }

    switch (role) {
    case NameRole:
    case NameNotEmptyMenuRole:
        return row == columns + 1 ? tr("&Show all columns") : tr("&Restore column positions");
    case CheckableRole:
        return false;
    case TypeRole:
        return QStringLiteral("action");
    default:
        return {};
    }
}

QHash<int, QByteArray> ColumnContextMenuModel::roleNames() const
{
    return { { NameRole, QByteArrayLiteral("name") }, { NameNotEmptyMenuRole, QByteArrayLiteral("nameNotEmpty") },
        { CheckableRole, QByteArrayLiteral("checkable") }, { CheckedRole, QByteArrayLiteral("checked") },
        { EnabledRole, QByteArrayLiteral("enabled") }, { TypeRole, QByteArrayLiteral("type") } };
}

void ColumnContextMenuModel::setSourceColumnVisible(int sourceColumn, bool visible)
{
    if (m_owner)
        m_owner->setSourceColumnVisible(sourceColumn, visible);
}

void ColumnContextMenuModel::trigger(int actionIndex)
{
    if (!m_owner || !m_owner->sourceModel())
        return;
    // In 64 bits: QML may pass any int, and actionIndex - N must not overflow.
    const qint64 command = qint64(actionIndex) - m_owner->sourceModel()->columnCount();
    if (command == 1)
        m_owner->showAllColumns();
    else if (command == 2)
        m_owner->restoreColumnPositions();
}

void ColumnContextMenuModel::refresh()
{
    beginResetModel();
    endResetModel();
}
}
