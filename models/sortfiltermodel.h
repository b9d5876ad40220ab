// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QSortFilterProxyModel>

#include <optional>

namespace core
{
// A sorting proxy for QML lists and tables, configured by column, direction and the sort role's
// name. It filters nothing of its own; the inherited properties (sourceModel among them) stay
// available to QML. A source whose chain of sources leads back to this proxy is refused.
class SortFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
    /// The column sorted by; -1 (the default) keeps the source order, as does any negative value.
    Q_PROPERTY(int sortColumn READ sortColumn WRITE setSortColumn NOTIFY sortColumnChanged)
    /// Whether the sort order is ascending (the default).
    Q_PROPERTY(bool ascending READ ascending WRITE setAscending NOTIFY ascendingChanged)
    /// The sort role by its name in the source's roleNames(). A name assigned without a source
    /// waits and is applied once when the next source arrives; reads empty without a source.
    Q_PROPERTY(QString sortRoleName READ sortRoleName WRITE setSortRoleName NOTIFY sortRoleNameChanged)

public:
    explicit SortFilterModel(QObject* parent = nullptr);
    ~SortFilterModel() override;

    using QSortFilterProxyModel::sortColumn;
    void setSortColumn(int sortColumn);

    bool ascending() const;
    void setAscending(bool ascending);

    QString sortRoleName() const;
    void setSortRoleName(const QString& sortRoleName);

    void setSourceModel(QAbstractItemModel* sourceModel) override;

public Q_SLOTS:
    /// The source row of top-level proxy row proxyRow, or -1 when the proxy has no such row.
    int mapRowToSource(int proxyRow);
    /// The proxy row of top-level source row sourceRow, or -1 without a source, for a row the
    /// source lacks or one the proxy does not show.
    int mapRowFromSource(int sourceRow);

Q_SIGNALS:
    void sortColumnChanged(int sortColumn);
    void ascendingChanged(bool ascending);
    void sortRoleNameChanged(const QString& sortRole);

private:
    void applySortRoleName(const QString& sortRoleName);
    void onSourceModelChanged();

    std::optional<QString> m_pendingSortRoleName;
};
}
