// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QAbstractListModel>

namespace core
{
class ColumnContextMenuModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit ColumnContextMenuModel(QObject* parent = nullptr);
    ~ColumnContextMenuModel() override;
};
}
