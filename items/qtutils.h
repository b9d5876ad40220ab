// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

namespace core
{
class QtUtils : public QObject
{
    Q_OBJECT

public:
    explicit QtUtils(QObject* parent = nullptr);
    ~QtUtils() override;
};
}
