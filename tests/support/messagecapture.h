// Corvane.Core tests.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace cvtest
{
// Records the messages of one type while alive; every other message goes to the handler that
// was installed before. Install it inside a test function: QtTest replaces handlers in qExec.
class MessageCapture
{
public:
    explicit MessageCapture(QtMsgType type = QtDebugMsg);
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    /// The recorded messages, one entry per message, as the handler received them.
    QStringList messages() const;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);
    QtMsgType m_type;
    QtMessageHandler m_previous = nullptr;
    QStringList m_messages;
};
}
