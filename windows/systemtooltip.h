// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QQuickItem>

namespace core
{
class SystemTooltip : public QQuickItem
{
    Q_OBJECT

public:
    explicit SystemTooltip(QQuickItem* parent = nullptr);
    ~SystemTooltip() override;
};
}
