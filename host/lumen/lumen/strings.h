// Corvane stand-in for the host's Qt utility library.
#pragma once

#include "lumen_export.h"

#include <QString>

#include <wx/string.h>

#include <tdroot/odstring.h>

namespace lum
{
/// The same text as a wxString; lossless for any Unicode text.
LUMEN_EXPORT wxString wxFromQt(const QString& text);
/// The same text as a QString; lossless for any Unicode text.
LUMEN_EXPORT QString toQt(const wxString& text);
/// The same text as an OdString; lossless for any Unicode text.
LUMEN_EXPORT OdString odFromQt(const QString& text);
/// The same text as a QString; lossless for any Unicode text.
LUMEN_EXPORT QString toQt(const OdString& text);
}
