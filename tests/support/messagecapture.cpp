// Corvane.Core tests.
#include "support/messagecapture.h"

namespace cvtest
{
namespace
{
MessageCapture* s_current = nullptr;
}

MessageCapture::MessageCapture(QtMsgType type)
    : m_type(type)
{
    s_current = this;
    m_previous = qInstallMessageHandler(&MessageCapture::handle);
}

MessageCapture::~MessageCapture()
{
    qInstallMessageHandler(m_previous);
    s_current = nullptr;
}

QStringList MessageCapture::messages() const
{
    return m_messages;
}

void MessageCapture::handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (s_current && type == s_current->m_type) {
        s_current->m_messages.append(message);
        return;
    }
    if (s_current && s_current->m_previous)
        s_current->m_previous(type, context, message);
}
}
