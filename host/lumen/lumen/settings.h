// Corvane stand-in for the host's Qt utility library.
#pragma once

#include "lumen_export.h"

#include <QObject>

namespace lum
{
// The application's process-wide settings, shared with QML as the "CVSettings" singleton.
class LUMEN_EXPORT Settings : public QObject
{
    Q_OBJECT
    /// Delay in milliseconds before a tooltip shows; 700 unless changed.
    Q_PROPERTY(int tooltipDelay READ tooltipDelay WRITE setTooltipDelay NOTIFY tooltipDelayChanged)

public:
    /// The one settings object. Created on first use, always living on the application thread
    /// (when an application object exists), never deleted.
    static Settings* instance();

    int tooltipDelay() const;
    void setTooltipDelay(int milliseconds);
    Q_SIGNAL void tooltipDelayChanged();

private:
    Settings();
    int m_tooltipDelay = 700;
};
}
