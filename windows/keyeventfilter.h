// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QQuickItem>

namespace core
{
class KeyEventFilter : public QQuickItem
{
    Q_OBJECT

public:
    explicit KeyEventFilter(QQuickItem* parent = nullptr);
    ~KeyEventFilter() override;
};
}
