// Corvane stand-in for the host's Qt utility library.
#include "lumen/strings.h"

namespace lum
{
// Both sides hold wide characters here; going through UTF-32 keeps characters outside the
// BMP intact where a UTF-8 round trip through the C locale would not.
wxString wxFromQt(const QString& text)
{
    return wxString(text.toStdWString());
}

QString toQt(const wxString& text)
{
    return QString::fromStdWString(text.ToStdWstring());
}

OdString odFromQt(const QString& text)
{
    return OdString(text.toStdWString());
}

QString toQt(const OdString& text)
{
    return QString::fromStdWString(text.toStdWString());
}
}
