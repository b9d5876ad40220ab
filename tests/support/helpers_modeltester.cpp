// Corvane.Core tests.
#include "support/helpers_modeltester.h"

namespace cvtest
{
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
    m_model = model;
    if (model)
        m_tester = std::make_unique<QAbstractItemModelTester>(model, QAbstractItemModelTester::FailureReportingMode::Warning);
    Q_EMIT modelChanged();
}
}
