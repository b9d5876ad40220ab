// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

namespace core
{
class ModelWatcher : public QObject
{
    Q_OBJECT

public:
    explicit ModelWatcher(QObject* parent = nullptr);
    ~ModelWatcher() override;
};
}
