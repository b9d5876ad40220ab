// Corvane stand-in for the host's Qt utility library.
#include "lumen/strings.h"

#include <vector>

namespace lum
{
// Both sides hold wide characters here; going through UTF-32 keeps characters outside the
// BMP intact where a UTF-8 round trip through the C locale would not.
wxString wxFromQt(const QString& text)
{
    if (text.isEmpty())
        return wxString();
    // Converted in a reused buffer, so that the result is the only allocation: tables convert a
    // whole column at a time. Wide characters never outnumber the UTF-16 code units.
    thread_local std::vector<wchar_t> buffer;
    buffer.resize(std::size_t(text.size()));
    const int length = text.toWCharArray(buffer.data());
    return wxString(buffer.data(), std::size_t(length));
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
