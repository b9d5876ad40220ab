// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

namespace core
{
class CursorChanger : public QObject
{
    Q_OBJECT

public:
    explicit CursorChanger(QObject* parent = nullptr);
    ~CursorChanger() override;
};
}
