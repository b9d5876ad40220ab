// Corvane stand-in for the host's Qt utility library.
#pragma once

#include "lumen_export.h"

#include <QObject>

class QModelIndex;

namespace lum
{
// A host-side ordering of table rows, used by table proxies instead of their own comparators.
class LUMEN_EXPORT Sorter : public QObject
{
    Q_OBJECT

public:
    explicit Sorter(QObject* parent = nullptr);
    ~Sorter() override;

    /// Whether left sorts before right. Orders by display text unless overridden.
    virtual bool lessThan(const QModelIndex& left, const QModelIndex& right);
};
}
