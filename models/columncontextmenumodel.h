// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QAbstractListModel>

namespace core
{
class SortFilterSelectModel;

/// The model behind a table header's context menu: one checkable row per source column (in
/// source order), a separator, then "&Show all columns" and "&Restore column positions".
/// It keeps no data: every answer is read from its owner at the moment it is asked, and it
/// emits nothing except through refresh(), which a menu calls before it opens.
/// Owned by its SortFilterSelectModel and reached from QML as that model's columnModel.
class ColumnContextMenuModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit ColumnContextMenuModel(SortFilterSelectModel* owner);
    ~ColumnContextMenuModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

public Q_SLOTS:
    /// Shows or hides a source column through the owner (which refuses to hide the last one).
    void setSourceColumnVisible(int sourceColumn, bool visible);
    /// Runs the command of an action row: show all columns, or restore column positions.
    void trigger(int actionIndex);
    /// Makes attached views read the rows again.
    void refresh();

private:
    SortFilterSelectModel* const m_owner;
};
}
