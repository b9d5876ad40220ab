// Corvane stand-in for the host's Qt utility library.
#pragma once

#include "lumen_export.h"

#include <QObject>

class QAbstractItemModel;
class QModelIndex;

namespace lum
{
// A host-side row filter for table proxies. Subclasses decide which source rows are shown and
// emit invalidate() whenever their criteria change.
class LUMEN_EXPORT RowFilter : public QObject
{
    Q_OBJECT

public:
    explicit RowFilter(QObject* parent = nullptr);
    ~RowFilter() override;

    /// Whether source row sourceRow under sourceParent of model is shown. Accepts every row.
    virtual bool acceptRow(QAbstractItemModel* model, int sourceRow, const QModelIndex& sourceParent);

Q_SIGNALS:
    void invalidate();
};
}
