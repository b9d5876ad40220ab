// Corvane stand-in for the host's wx helper library.
#pragma once

#include "loom_export.h"

#include <wx/arrstr.h>
#include <wx/string.h>

// The registry store of table column layouts: one record (width, position) per column key,
// grouped under a table key.
namespace lom
{
/// Stores or replaces the record of columnId under parentId. Width 0 means hidden.
LOOM_EXPORT void writeColumnDataToRegistry(const wxString& columnId, int width, int position, const wxString& parentId);
/// The stored width of columnId under parentId; reports through hidden and position how it was stored.
LOOM_EXPORT int readColumnDataFromRegistry(const wxString& columnId, int defaultWidth, int defaultPosition,
                                           bool& hidden, int& position, const wxString& parentId);
/// The column keys of every record stored under parentId.
LOOM_EXPORT wxArrayString getSavedColumnDataList(const wxString& parentId);
}
