// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QSortFilterProxyModel>

namespace core
{
class SortFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit SortFilterModel(QObject* parent = nullptr);
    ~SortFilterModel() override;
};
}
