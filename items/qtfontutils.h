// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

class QtFontUtils : public QObject
{
    Q_OBJECT

public:
    explicit QtFontUtils(QObject* parent = nullptr);
    ~QtFontUtils() override;
};
