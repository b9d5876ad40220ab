// Corvane stand-in for the host's wx helper library.
#include "loom/columnstore.h"

namespace lom
{
void writeColumnDataToRegistry(const wxString&, int, int, const wxString&)
{
}

int readColumnDataFromRegistry(const wxString&, int defaultWidth, int, bool&, int&, const wxString&)
{
    return defaultWidth;
}

wxArrayString getSavedColumnDataList(const wxString&)
{
    return {};
}
}
