// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

namespace core
{
class TreeExpandConnections : public QObject
{
    Q_OBJECT

public:
    explicit TreeExpandConnections(QObject* parent = nullptr);
    ~TreeExpandConnections() override;
};
}
