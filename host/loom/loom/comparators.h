// Corvane stand-in for the host's wx helper library.
#pragma once

#include "loom_export.h"

#include <wx/string.h>

// Typed text comparators of the manager tables. Each answers whether left sorts before right.
namespace lom
{
LOOM_EXPORT bool stringsLessThan(const wxString& left, const wxString& right);
LOOM_EXPORT bool integersLessThan(const wxString& left, const wxString& right);
LOOM_EXPORT bool doublesLessThan(const wxString& left, const wxString& right);
LOOM_EXPORT bool fileSizeLessThan(wxString& left, wxString& right);
LOOM_EXPORT bool toggleDisabledLessThan(const wxString& left, const wxString& right);
LOOM_EXPORT bool plotStylesLessThan(const wxString& left, const wxString& right);
LOOM_EXPORT bool pixelSizeLessThan(const wxString& left, const wxString& right);
LOOM_EXPORT bool dimStylesLessThan(const wxString& left, const wxString& right);
}
