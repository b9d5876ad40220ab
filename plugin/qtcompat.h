// Corvane.Core — QML extension module of the Corvane CAD application.
// The few places where Qt 5.15 and Qt 6 differ for this module, so that the classes read the same
// on both. The build picks the version (QT_MAJOR_VERSION); nothing here changes what QML sees.
#pragma once

#include <QMetaType>
#include <QSortFilterProxyModel>
#include <QString>
#include <QVariant>
#include <QtGlobal>

namespace core::compat
{
inline constexpr bool qt6 = QT_VERSION >= QT_VERSION_CHECK(6, 0, 0);

// Qt 5 looks the types of properties and slot parameters up by name when QML or a queued
// connection meets them, so they must be registered first; Qt 6 finds them in the meta-object.
template <typename... Types>
void registerMetaTypes()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    (qRegisterMetaType<Types>(), ...);
#endif
}

// Whether the base proxy has no filter pattern of its own, so that it would pass every row.
inline bool noFilterPattern(const QSortFilterProxyModel& proxy)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return proxy.filterRegularExpression().pattern().isEmpty();
#else
    // Qt 5 keeps a QRegExp pattern beside the regular expression; either may be set.
    return proxy.filterRegExp().isEmpty() && proxy.filterRegularExpression().pattern().isEmpty();
#endif
}

// The first address a string's characters need: Qt 5 reaches them through a header on the heap,
// Qt 6 keeps their pointer in the string object itself.
inline const void* textStorage(const QString& text)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return text.constData();
#else
    return const_cast<QString&>(text).data_ptr();
#endif
}

// Two ints or two doubles compared where the variants hold them, without the calls QVariant's
// accessors make; false (and *less untouched) for values of other or different kinds.
inline bool lessInPlace(const QVariant& l, const QVariant& r, bool* less)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const int type = l.metaType().id();
    if (type != r.metaType().id() || (type != QMetaType::Int && type != QMetaType::Double))
        return false;
    *less = type == QMetaType::Int ? *static_cast<const int*>(l.constData()) < *static_cast<const int*>(r.constData())
                                   : *static_cast<const double*>(l.constData()) < *static_cast<const double*>(r.constData());
#else
    const QVariant::DataPtr& a = l.data_ptr();
    const QVariant::DataPtr& b = r.data_ptr();
    if (a.type != b.type || a.is_shared || b.is_shared || (a.type != QMetaType::Int && a.type != QMetaType::Double))
        return false;
    *less = a.type == QMetaType::Int ? a.data.i < b.data.i : a.data.d < b.data.d;
#endif
    return true;
}
}
