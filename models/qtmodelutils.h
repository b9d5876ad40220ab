// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

namespace core
{
class QtModelUtils : public QObject
{
    Q_OBJECT

public:
    explicit QtModelUtils(QObject* parent = nullptr);
    ~QtModelUtils() override;
};
}
