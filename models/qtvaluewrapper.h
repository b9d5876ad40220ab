// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

class QtValueWrapper : public QObject
{
    Q_OBJECT

public:
    explicit QtValueWrapper(QObject* parent = nullptr);
    ~QtValueWrapper() override;
};
