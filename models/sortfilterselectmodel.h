// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QSortFilterProxyModel>

namespace core
{
class SortFilterSelectModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit SortFilterSelectModel(QObject* parent = nullptr);
    ~SortFilterSelectModel() override;
};
}
