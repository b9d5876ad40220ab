// Corvane demo host application.
#include "layertablemodel.h"

#include "headerroles.h"

#include <QSize>

namespace demo
{
namespace
{
// LayerCellTypes of the module's shared enumerations.
enum CellType
{
    ColourCell = 1,
    LineTypeCell = 2,
    LineWeightCell = 3,
    OnOffCell = 5,
    TextFieldCell = 8,
    TransparencyCell = 9,
    PlotStyleCell = 10,
    ImageButtonCell = 4,
};

// LayerHeaderTypes: Label 0, Image 1.
enum HeaderType
{
    LabelHeader = 0,
    ImageHeader = 1,
};

struct ColumnDefinition
{
    const char* label; // display header; empty for the image headers
    const char* name; // never empty (NameNotEmptyRole)
    const char* id; // ColumnIdRole
    int width;
    int proportionalWidth;
    int sortType;
    int cellType;
};

const ColumnDefinition columnDefinitions[LayerTableModel::ColumnCount] = {
    { "Name", "Name", "name", 170, 2, SortNaturalNames, TextFieldCell },
    { "", "On", "on", 44, 0, SortToggle, OnOffCell },
    { "", "Freeze", "freeze", 44, 0, SortToggle, ImageButtonCell },
    { "", "Lock", "lock", 44, 0, SortToggle, ImageButtonCell },
    { "Colour", "Colour", "colour", 125, 0, SortNaturalNames, ColourCell },
    { "Line type", "Line type", "linetype", 110, 0, SortTextNoCase, LineTypeCell },
    { "Line weight", "Line weight", "lineweight", 100, 0, SortDoubles, LineWeightCell },
    { "Transparency", "Transparency", "transparency", 100, 0, SortIntegers, TransparencyCell },
    { "Plot style", "Plot style", "plotstyle", 100, 0, SortPlotStyles, PlotStyleCell },
    { "Description", "Description", "description", 220, 3, SortTextNoCase, TextFieldCell },
};

// A fixed sequence, so that every run (and every screenshot) shows the same table.
class Sequence
{
public:
    int next(int bound)
    {
        m_state = m_state * 1103515245u + 12345u;
        return int((m_state >> 16) % unsigned(bound));
    }

private:
    unsigned m_state = 20261206u;
};
}

LayerTableModel::LayerTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    struct Named
    {
        const char* name;
        QColor colour;
    };
    const Named colours[] = { { "Red", Qt::red }, { "Yellow", QColor(220, 200, 0) }, { "Green", QColor(0, 160, 0) },
        { "Cyan", Qt::cyan }, { "Blue", Qt::blue }, { "Magenta", Qt::magenta }, { "White", Qt::white },
        { "Colour 8", QColor(128, 128, 128) }, { "Colour 30", QColor(255, 127, 0) },
        { "Colour 140", QColor(0, 127, 255) } };
    const char* lineTypes[] = { "Continuous", "Dashed", "Hidden", "Center", "Phantom", "Dot" };
    const double lineWeights[] = { 0.0, 0.13, 0.25, 0.35, 0.5, 0.7, 1.0, 2.11 };
    const char* plotStyles[] = { "ByLayer", "ByBlock", "Normal", "Style 1", "Style 2", "Style 10", "Screening 50%" };
    const char* disciplines[] = { "A-Wall", "A-Door", "A-Glaz", "S-Beam", "S-Col", "M-Duct", "E-Light", "P-Pipe",
        "C-Road", "L-Plant", "G-Anno", "X-Ref" };
    const int levels[] = { 1, 2, 5, 10, 20 };

    Sequence sequence;
    m_layers.reserve(62);
    Layer zero;
    zero.name = QStringLiteral("0");
    zero.colourName = QStringLiteral("White");
    zero.colour = Qt::white;
    zero.lineType = QStringLiteral("Continuous");
    zero.plotStyle = QStringLiteral("Normal");
    zero.description = QStringLiteral("The layer every drawing has");
    m_layers.append(zero);
    Layer defpoints = zero;
    defpoints.name = QStringLiteral("Defpoints");
    defpoints.description = QStringLiteral("Definition points of dimensions; never plotted");
    m_layers.append(defpoints);

    for (const char* discipline : disciplines) {
        for (int level : levels) {
            Layer layer;
            layer.name = QStringLiteral("%1 Level %2").arg(QLatin1String(discipline)).arg(level);
            const Named& colour = colours[sequence.next(int(std::size(colours)))];
            layer.colourName = QLatin1String(colour.name);
            layer.colour = colour.colour;
            layer.lineType = QLatin1String(lineTypes[sequence.next(int(std::size(lineTypes)))]);
            layer.lineWeight = lineWeights[sequence.next(int(std::size(lineWeights)))];
            layer.transparency = sequence.next(10) * 10;
            layer.plotStyle = QLatin1String(plotStyles[sequence.next(int(std::size(plotStyles)))]);
            layer.on = sequence.next(5) != 0;
            layer.frozen = sequence.next(6) == 0;
            layer.locked = sequence.next(7) == 0;
            layer.description = QStringLiteral("%1 on level %2").arg(QLatin1String(discipline)).arg(level);
            m_layers.append(layer);
        }
    }
}

LayerTableModel::~LayerTableModel() = default;

int LayerTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_layers.size();
}

int LayerTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString LayerTableModel::text(const Layer& layer, int column) const
{
    switch (column) {
    case NameColumn:
        return layer.name;
    case OnColumn:
        return layer.on ? QStringLiteral("true") : QStringLiteral("false");
    case FreezeColumn:
        return layer.frozen ? QStringLiteral("true") : QStringLiteral("false");
    case LockColumn:
        return layer.locked ? QStringLiteral("true") : QStringLiteral("false");
    case ColourColumn:
        return layer.colourName;
    case LineTypeColumn:
        return layer.lineType;
    case LineWeightColumn:
        return QString::number(layer.lineWeight, 'f', 2);
    case TransparencyColumn:
        return QString::number(layer.transparency);
    case PlotStyleColumn:
        return layer.plotStyle;
    case DescriptionColumn:
        return layer.description;
    default:
        return {};
    }
}

QVariant LayerTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Layer& layer = m_layers.at(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(layer, column);
    case CellTypeRole:
        return columnDefinitions[column].cellType;
    case ValueRole:
        switch (column) {
        case OnColumn:
            return layer.on;
        case FreezeColumn:
            return layer.frozen;
        case LockColumn:
            return layer.locked;
        case ColourColumn:
            return layer.colour;
        case TransparencyColumn:
            return layer.transparency;
        case LineWeightColumn:
            return layer.lineWeight;
        default:
            return text(layer, column);
        }
    default:
        return {};
    }
}

bool LayerTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    Layer& layer = m_layers[index.row()];
    const int column = index.column();
    if (column == NameColumn && role == Qt::EditRole) {
        const QString name = value.toString().trimmed();
        // Layer names are keys in a drawing: never empty, never twice.
        if (name.isEmpty() || name == layer.name)
            return false;
        for (const Layer& other : qAsConst(m_layers)) {
            if (other.name.compare(name, Qt::CaseInsensitive) == 0)
                return false;
        }
        layer.name = name;
    } else if (role == ValueRole && (column == OnColumn || column == FreezeColumn || column == LockColumn)) {
        const bool on = value.toBool();
        bool& flag = column == OnColumn ? layer.on : column == FreezeColumn ? layer.frozen : layer.locked;
        if (flag == on)
            return false;
        flag = on;
    } else {
        return false;
    }
    Q_EMIT dataChanged(index, index);
    return true;
}

Qt::ItemFlags LayerTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == NameColumn)
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant LayerTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    const ColumnDefinition& definition = columnDefinitions[section];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromLatin1(definition.label);
    case Qt::ToolTipRole:
    case NameNotEmptyRole:
        return QString::fromLatin1(definition.name);
    case Qt::SizeHintRole:
        return QSize(definition.width, 26);
    case InitiallyVisibleRole:
        return section != DescriptionColumn;
    case ProportionalWidthRole:
        return definition.proportionalWidth;
    case SortTypeRole:
        return definition.sortType;
    case ColumnIdRole:
        return QString::fromLatin1(definition.id);
    case ColumnCodeRole:
        return section == NameColumn ? NameColumnCode : 400 + section;
    case InitialSortColumnRole:
        return section == NameColumn;
    case Qt::InitialSortOrderRole:
        return int(Qt::AscendingOrder);
    case HeaderTypeRole:
        return *definition.label ? LabelHeader : ImageHeader;
    default:
        return {};
    }
}

QHash<int, QByteArray> LayerTableModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractTableModel::roleNames();
    names.insert(CellTypeRole, "cellType");
    names.insert(ValueRole, "value");
    return names;
}
}
