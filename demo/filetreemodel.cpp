// Corvane demo host application.
#include "filetreemodel.h"

#include "headerroles.h"

#include <lumen/treeroles.h>

#include <QSize>

namespace demo
{
namespace
{
// ManagerCellTypes of the module's shared enumerations.
enum CellType
{
    NameCell = 0,
    PathCell = 1,
    SizeCell = 2,
    TypeCell = 3,
    StatusCell = 4,
};

struct ColumnDefinition
{
    const char* label;
    const char* id;
    int width;
    int proportionalWidth;
    int sortType;
};

const ColumnDefinition columnDefinitions[FileTreeModel::ColumnCount] = {
    { "Name", "name", 240, 3, SortNaturalNames },
    { "Path", "path", 260, 2, SortNaturalNames },
    { "Size", "size", 110, 0, SortFileSize },
    { "Type", "type", 110, 0, SortTextNoCase },
    { "Status", "status", 100, 0, SortTextNoCase },
};

// A file's index carries its folder. Qt 6's proxies hash an index as its row plus its internal id
// into buckets they probe one after the other: small consecutive ids put the files of all folders
// into one long run of buckets, and walking the tree through a proxy took a minute. An odd
// multiplier spreads the folder numbers over the whole word and is undone exactly.
constexpr quintptr folderSpread = quintptr(0x9E3779B97F4A7C15ull);
constexpr quintptr inverseFolderSpread()
{
    quintptr inverse = folderSpread; // right in 3 bits; each step doubles them
    for (int step = 0; step < 6; ++step)
        inverse *= 2 - folderSpread * inverse;
    return inverse;
}
static_assert(folderSpread * inverseFolderSpread() == 1);

quintptr folderId(int folder)
{
    return quintptr(folder + 1) * folderSpread;
}

int folderOf(const QModelIndex& file)
{
    return int(file.internalId() * inverseFolderSpread()) - 1;
}

QString sizeText(quint64 bytes)
{
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(bytes);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg(double(bytes) / 1024.0, 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(double(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}
}

FileTreeModel::FileTreeModel(int folderCount, int filesPerFolder, QObject* parent)
    : QAbstractItemModel(parent)
    , m_folderCount(qMax(0, folderCount))
    , m_filesPerFolder(qMax(0, filesPerFolder))
{
    generate();
}

FileTreeModel::~FileTreeModel() = default;

void FileTreeModel::generate()
{
    struct Kind
    {
        const char* suffix;
        const char* type;
        quint64 typicalSize;
    };
    const Kind kinds[] = { { "dwg", "Drawing", 900000 }, { "dwt", "Template", 120000 }, { "dxf", "Exchange", 2500000 },
        { "pdf", "PDF", 400000 }, { "png", "Image", 60000 }, { "txt", "Text", 900 } };
    const char* statuses[] = { "Saved", "Modified", "Read-only", "Locked", "Saved", "Saved" };
    const char* stems[] = { "Plan", "Section", "Elevation", "Detail", "Site", "Roof", "Grid", "Sheet" };

    // A fixed sequence per generation: reload() shows changed files, every start the same ones.
    unsigned state = 7919u + m_generation * 104729u;
    auto next = [&state](unsigned bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };

    m_folders.clear();
    m_folders.reserve(m_folderCount);
    for (int f = 0; f < m_folderCount; ++f) {
        Folder folder;
        folder.name = QStringLiteral("Project %1").arg(f + 1);
        folder.path = QStringLiteral("/projects/") + folder.name;
        folder.files.reserve(m_filesPerFolder);
        quint64 folderBytes = 0;
        for (int i = 0; i < m_filesPerFolder; ++i) {
            const Kind& kind = kinds[next(unsigned(std::size(kinds)))];
            File file;
            file.name = QStringLiteral("%1 %2.%3")
                            .arg(QLatin1String(stems[next(unsigned(std::size(stems)))]))
                            .arg(i + 1)
                            .arg(QLatin1String(kind.suffix));
            const quint64 bytes = kind.typicalSize / 4 + next(unsigned(kind.typicalSize * 2));
            folderBytes += bytes;
            file.size = sizeText(bytes);
            file.type = QLatin1String(kind.type);
            file.status = QLatin1String(statuses[next(unsigned(std::size(statuses)))]);
            folder.files.append(file);
        }
        folder.size = sizeText(folderBytes);
        m_folders.append(folder);
    }
}

void FileTreeModel::reload()
{
    beginResetModel();
    ++m_generation;
    generate();
    endResetModel();
}

int FileTreeModel::fileCount() const
{
    return m_folderCount * m_filesPerFolder;
}

const FileTreeModel::File* FileTreeModel::fileAt(const QModelIndex& index) const
{
    if (!index.isValid() || index.internalId() == 0)
        return nullptr;
    const int folder = folderOf(index);
    if (folder >= m_folders.size() || index.row() >= m_folders.at(folder).files.size())
        return nullptr;
    return &m_folders.at(folder).files.at(index.row());
}

QModelIndex FileTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (!parent.isValid())
        return row < m_folders.size() ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0 || parent.row() >= m_folders.size())
        return {};
    if (row >= m_folders.at(parent.row()).files.size())
        return {};
    return createIndex(row, column, folderId(parent.row()));
}

QModelIndex FileTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(folderOf(child), 0, quintptr(0));
}

int FileTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_folders.size();
    if (parent.column() > 0 || parent.internalId() != 0 || parent.row() >= m_folders.size())
        return 0;
    return m_folders.at(parent.row()).files.size();
}

int FileTreeModel::columnCount(const QModelIndex&) const
{
    return ColumnCount;
}

bool FileTreeModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant FileTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const int column = index.column();
    if (role == CellTypeRole)
        return column;
    const bool isFolder = index.internalId() == 0;
    if (role == IsFolderRole)
        return isFolder;
    if (isFolder) {
        if (index.row() >= m_folders.size())
            return {};
        const Folder& folder = m_folders.at(index.row());
        if (role == lum::getWantsToBeExpandedRole())
            return m_wantsExpanded.value(folder.path, false);
        if (role != Qt::DisplayRole)
            return {};
        switch (column) {
        case NameColumn:
            return folder.name;
        case PathColumn:
            return folder.path;
        case SizeColumn:
            return folder.size;
        case TypeColumn:
            return QStringLiteral("Folder");
        case StatusColumn:
            return QStringLiteral("%1 files").arg(folder.files.size());
        default:
            return QString();
        }
    }
    const File* file = fileAt(index);
    if (!file || role != Qt::DisplayRole)
        return {};
    switch (column) {
    case NameColumn:
        return file->name;
    case PathColumn:
        return m_folders.at(folderOf(index)).path + QLatin1Char('/') + file->name;
    case SizeColumn:
        return file->size;
    case TypeColumn:
        return file->type;
    case StatusColumn:
        return file->status;
    default:
        return {};
    }
}

bool FileTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.model() != this || role != lum::getWantsToBeExpandedRole())
        return false;
    // Only folders can be expanded; the wish is kept by path so that a reload keeps it.
    if (index.internalId() != 0 || index.row() >= m_folders.size())
        return false;
    const QString& path = m_folders.at(index.row()).path;
    const bool wanted = value.toBool();
    if (m_wantsExpanded.value(path, false) == wanted)
        return true;
    m_wantsExpanded.insert(path, wanted);
    Q_EMIT dataChanged(index, index, { role });
    return true;
}

QVariant FileTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractItemModel::headerData(section, orientation, role);
    const ColumnDefinition& definition = columnDefinitions[section];
    switch (role) {
    case Qt::DisplayRole:
    case NameNotEmptyRole:
        return QString::fromLatin1(definition.label);
    case Qt::SizeHintRole:
        return QSize(definition.width, 26);
    case InitiallyVisibleRole:
        return true;
    case ProportionalWidthRole:
        return definition.proportionalWidth;
    case SortTypeRole:
        return definition.sortType;
    case ColumnIdRole:
        return QString::fromLatin1(definition.id);
    case ColumnCodeRole:
        return section == NameColumn ? NameColumnCode : 500 + section;
    case InitialSortColumnRole:
        return section == NameColumn;
    case Qt::InitialSortOrderRole:
        return int(Qt::AscendingOrder);
    default:
        return {};
    }
}

QHash<int, QByteArray> FileTreeModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractItemModel::roleNames();
    names.insert(CellTypeRole, "cellType");
    names.insert(IsFolderRole, "isFolder");
    names.insert(lum::getWantsToBeExpandedRole(), "wantsToBeExpanded");
    return names;
}
}
