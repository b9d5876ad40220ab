// Corvane stand-in for the host's wx helper library.
#pragma once

#include "loom_export.h"

#include <wx/arrstr.h>
#include <wx/string.h>

// The registry store of table column layouts: one record (width, position) per column key,
// grouped under a table key.
//
// The records live in one wxFileConfig file, "corvane/columns.ini" under $XDG_CONFIG_HOME (or
// ~/.config when that is unset or not an absolute path), read once on first use. Every table key
// is one group and every column key one entry of it; both keys are encoded to plain ASCII names,
// so any text (the empty text, '/', '\\', '=', '[', ']', spaces, any letter, case differences)
// round-trips exactly and no key can reach another table's records.
//
// Writes go to memory first and reach the file in one batch: when control returns to the event
// loop of the QCoreApplication, when that application is destroyed, and at normal process exit.
// The file is replaced atomically (a temporary file beside it, synced, then renamed), so it is
// either the old or the new layout, never a half-written one. When the file cannot be written
// (read-only or missing directory that cannot be created) the old file stays as it was and the
// records stay pending for the next attempt.
//
// A file that is damaged (unreadable, binary, truncated, hand-edited into lines that are not
// records, duplicate records) is reported once on the debug channel, renamed aside to
// "columns.ini.damaged" (or "columns.ini.damaged-N", never over an existing file) and the store
// starts from the records it could read. When it cannot be renamed aside it is never overwritten:
// the store then keeps its records in memory only. Files larger than 64 MiB count as damaged and
// only their first 64 MiB are read.
//
// Every write of the file first reads it again and keeps the records that other processes
// stored meanwhile: per record, the last process to write it wins, as with a registry. A file
// damaged since it was read is kept aside as above before the new one is written.
// All functions may be called without a QCoreApplication and never print anything else.
namespace lom
{
/// Stores or replaces the record of columnId under parentId. Width 0 means hidden.
LOOM_EXPORT void writeColumnDataToRegistry(const wxString& columnId, int width, int position, const wxString& parentId);
/// The stored width of columnId under parentId; reports through hidden and position how it was stored.
/// With a record: returns its width as written (0 for a hidden column), sets hidden to whether that
/// width is 0 and position to the stored position. Without a record: returns defaultWidth and leaves
/// hidden and position untouched (defaultPosition is not used), so the caller's presets stand.
LOOM_EXPORT int readColumnDataFromRegistry(const wxString& columnId, int defaultWidth, int defaultPosition,
    bool& hidden, int& position, const wxString& parentId);
/// The column keys of every record stored under parentId, in no particular order; empty for an
/// unknown table.
LOOM_EXPORT wxArrayString getSavedColumnDataList(const wxString& parentId);

/// Writes the pending records to the file now. True when the file holds every record (also when
/// nothing was pending), false when it could not be written.
LOOM_EXPORT bool flushColumnStore();
/// Forgets every record held in memory, including pending ones that were not flushed (as a process
/// that ended abnormally would); the next call reads the file again, from the location the
/// environment names at that time. For tests that play two processes.
LOOM_EXPORT void resetColumnStore();
/// The full path of the store's file under the current environment.
LOOM_EXPORT wxString columnStoreFilePath();
}
