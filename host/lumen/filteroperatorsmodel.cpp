// Corvane stand-in for the host's Qt utility library.
#include "lumen/filteroperatorsmodel.h"

namespace lum
{
FilterOperatorsModel::FilterOperatorsModel(QObject* parent)
    : QAbstractListModel(parent)
    , m_entries{{QStringLiteral("equals"), QStringLiteral("="), Equal},
                {QStringLiteral("does not equal"), QStringLiteral("<>"), NotEqual},
                {QStringLiteral("is less than"), QStringLiteral("<"), Less},
                {QStringLiteral("is at most"), QStringLiteral("<="), LessOrEqual},
                {QStringLiteral("is greater than"), QStringLiteral(">"), Greater},
                {QStringLiteral("is at least"), QStringLiteral(">="), GreaterOrEqual},
                {QStringLiteral("contains"), QStringLiteral("*"), Contains},
                {QStringLiteral("starts with"), QStringLiteral("^"), StartsWith}}
{
}

FilterOperatorsModel::~FilterOperatorsModel() = default;

int FilterOperatorsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_entries.size();
}

QVariant FilterOperatorsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry& entry = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case TextRole:
        return entry.text;
    case SymbolRole:
        return entry.symbol;
    case OperatorIdRole:
        return int(entry.op);
    default:
        return {};
    }
}

QHash<int, QByteArray> FilterOperatorsModel::roleNames() const
{
    return {{Qt::DisplayRole, "display"}, {TextRole, "text"}, {SymbolRole, "symbol"}, {OperatorIdRole, "operatorId"}};
}

bool FilterOperatorsModel::matches(int op, const QString& left, const QString& right) const
{
    bool leftIsNumber = false;
    bool rightIsNumber = false;
    const double l = left.trimmed().toDouble(&leftIsNumber);
    const double r = right.trimmed().toDouble(&rightIsNumber);
    const int order = leftIsNumber && rightIsNumber ? (l < r ? -1 : (r < l ? 1 : 0))
                                                    : left.compare(right, Qt::CaseInsensitive);
    switch (op) {
    case Equal:
        return order == 0;
    case NotEqual:
        return order != 0;
    case Less:
        return order < 0;
    case LessOrEqual:
        return order <= 0;
    case Greater:
        return order > 0;
    case GreaterOrEqual:
        return order >= 0;
    case Contains:
        return left.contains(right, Qt::CaseInsensitive);
    case StartsWith:
        return left.startsWith(right, Qt::CaseInsensitive);
    default:
        return false;
    }
}
}
