// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QQmlExtensionPlugin>

namespace core
{
// Registers every type, singleton and enumeration namespace of "Corvane.Core" 1.0.
class CorvaneCorePlugin : public QQmlExtensionPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "Corvane.Core/1.0")

public:
    void registerTypes(const char* uri) override;
};
}
