// Corvane stand-in for the host's application-object library.
#include "harbor/hbquickhost.h"

#include "harbor/hbpopupfactory.h"

namespace hb
{
HbQuickHost::HbQuickHost()
    : m_ownFactory(std::make_unique<HbPopupFactory>())
{
}

HbQuickHost::~HbQuickHost() = default;

HbPopupFactory* HbQuickHost::popupFactory()
{
    return m_factory ? m_factory : m_ownFactory.get();
}

void HbQuickHost::setPopupFactory(HbPopupFactory* factory)
{
    m_factory = factory;
}
}
