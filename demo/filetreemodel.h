// Corvane demo host application.
#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QVector>

namespace demo
{
// The host's file table: generated drawing files in a tree of project folders (folders at the
// top level, files below them). Folders keep whether they want to be expanded under the
// utility library's expansion role, and keep it across reload().
class FileTreeModel : public QAbstractItemModel
{
    Q_OBJECT
    /// Number of file rows (folders not counted).
    Q_PROPERTY(int fileCount READ fileCount NOTIFY fileCountChanged)

public:
    enum Column
    {
        NameColumn,
        PathColumn,
        SizeColumn,
        TypeColumn,
        StatusColumn,
        ColumnCount
    };

    enum DataRole
    {
        // ManagerCellTypes of the cell.
        CellTypeRole = Qt::UserRole + 100,
        IsFolderRole,
    };

    /// folderCount folders of filesPerFolder files each.
    explicit FileTreeModel(int folderCount = 200, int filesPerFolder = 500, QObject* parent = nullptr);
    ~FileTreeModel() override;

    int fileCount() const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

public Q_SLOTS:
    /// Generates the files again (a new scan of the folders) inside a model reset; the folders'
    /// expansion wishes survive it.
    void reload();

Q_SIGNALS:
    void fileCountChanged();

private:
    struct File
    {
        QString name;
        QString size;
        QString type;
        QString status;
    };
    struct Folder
    {
        QString name;
        QString path;
        QString size;
        QVector<File> files;
    };

    void generate();
    const File* fileAt(const QModelIndex& index) const;

    int m_folderCount;
    int m_filesPerFolder;
    unsigned m_generation = 0;
    QVector<Folder> m_folders;
    QHash<QString, bool> m_wantsExpanded;
};
}
