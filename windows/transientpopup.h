// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

namespace core
{
class TransientPopup : public QObject
{
    Q_OBJECT

public:
    explicit TransientPopup(QObject* parent = nullptr);
    ~TransientPopup() override;
};
}
