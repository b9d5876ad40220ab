// Corvane demo host application.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QVector>

namespace demo
{
// The host's layer table: about sixty layers of a drawing, one column per layer property. Its
// horizontal header answers every header role the table proxy reads.
class LayerTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        NameColumn,
        OnColumn,
        FreezeColumn,
        LockColumn,
        ColourColumn,
        LineTypeColumn,
        LineWeightColumn,
        TransparencyColumn,
        PlotStyleColumn,
        DescriptionColumn,
        ColumnCount
    };

    enum DataRole
    {
        // The kind of cell (LayerCellTypes) the delegate draws.
        CellTypeRole = Qt::UserRole + 100,
        // The typed value behind the text: bool for toggles, QColor for the colour, int otherwise.
        ValueRole,
    };

    explicit LayerTableModel(QObject* parent = nullptr);
    ~LayerTableModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Layer
    {
        QString name;
        bool on = true;
        bool frozen = false;
        bool locked = false;
        QString colourName;
        QColor colour;
        QString lineType;
        double lineWeight = 0.25;
        int transparency = 0;
        QString plotStyle;
        QString description;
    };

    QString text(const Layer& layer, int column) const;

    QVector<Layer> m_layers;
};
}
