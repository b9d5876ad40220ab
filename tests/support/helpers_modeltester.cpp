// Corvane.Core tests.
#include "support/helpers_modeltester.h"

namespace cvtest
{
namespace
{
class NegativeRoleGuard : public QIdentityProxyModel
{
public:
    QVariant data(const QModelIndex& index, int role) const override
    {
        return role < 0 ? QVariant() : QIdentityProxyModel::data(index, role);
    }
    QModelIndexList match(
        const QModelIndex& start, int role, const QVariant& value, int hits, Qt::MatchFlags flags) const override
    {
        // The base implementation asks data() above instead of the source.
        return QAbstractItemModel::match(start, role, value, hits, flags);
    }
};
}

HelpersModelTester::HelpersModelTester(QObject* parent)
    : QObject(parent)
{
}

HelpersModelTester::~HelpersModelTester() = default;

QAbstractItemModel* HelpersModelTester::model() const
{
    return m_model;
}

void HelpersModelTester::setModel(QAbstractItemModel* model)
{
    if (m_model == model)
        return;
    m_tester.reset();
    m_guard.reset();
    m_model = model;
    if (model) {
        m_guard = std::make_unique<NegativeRoleGuard>();
        m_guard->setSourceModel(model);
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_guard.get(), QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    Q_EMIT modelChanged();
}
}
