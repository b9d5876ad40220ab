// Corvane stand-in for the host's wx helper library.
#include "loom/comparators.h"

namespace lom
{
bool stringsLessThan(const wxString& left, const wxString& right)
{
    return left.CmpNoCase(right) < 0;
}

bool integersLessThan(const wxString& left, const wxString& right)
{
    return stringsLessThan(left, right);
}

bool doublesLessThan(const wxString& left, const wxString& right)
{
    return stringsLessThan(left, right);
}

bool fileSizeLessThan(wxString& left, wxString& right)
{
    return stringsLessThan(left, right);
}

bool toggleDisabledLessThan(const wxString& left, const wxString& right)
{
    return stringsLessThan(left, right);
}

bool plotStylesLessThan(const wxString& left, const wxString& right)
{
    return stringsLessThan(left, right);
}

bool pixelSizeLessThan(const wxString& left, const wxString& right)
{
    return stringsLessThan(left, right);
}

bool dimStylesLessThan(const wxString& left, const wxString& right)
{
    return stringsLessThan(left, right);
}
}
