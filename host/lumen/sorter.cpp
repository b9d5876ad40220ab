// Corvane stand-in for the host's Qt utility library.
#include "lumen/sorter.h"

#include <QModelIndex>
#include <QVariant>

namespace lum
{
Sorter::Sorter(QObject* parent)
    : QObject(parent)
{
}

Sorter::~Sorter() = default;

bool Sorter::lessThan(const QModelIndex& left, const QModelIndex& right)
{
    return left.data().toString() < right.data().toString();
}
}
