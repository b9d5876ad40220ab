// Corvane demo host application.
#pragma once

#include <QObject>

#include <memory>

class QQmlContext;

namespace demo
{
// Everything the real application sets up before its QML panels load: the application object
// with its dialog and popup factories, the settings object, and the host models the panels show.
// Kept in one place so that the panels meet the same host as in the application.
class DemoHost : public QObject
{
    Q_OBJECT

public:
    DemoHost();
    ~DemoHost() override;

    /// Hands the host models and helpers to the panels as context properties.
    void exposeTo(QQmlContext* context);

public Q_SLOTS:
    /// Answers every following message box with the given wx button identifier instead of
    /// showing it (scripted and headless runs); 0 shows the boxes again.
    void setMessageBoxAnswer(int wxButtonId);

private:
    struct Private;
    const std::unique_ptr<Private> d;
};
}
