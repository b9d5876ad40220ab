// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

namespace core
{
class MessageDialog : public QObject
{
    Q_OBJECT

public:
    explicit MessageDialog(QObject* parent = nullptr);
    ~MessageDialog() override;
};
}
