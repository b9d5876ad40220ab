// Corvane stand-in for the host's wx helper library.
#pragma once

#include "loom_export.h"

#include <wx/string.h>

// Typed text comparators of the manager tables. Each answers whether left sorts before right.
//
// Every comparator is a strict total order over all texts (any code units, the empty text, lone
// surrogates and values beyond Unicode included): two different texts are never equivalent, so a
// sort by any of them is well defined and the same on every run. None depends on the locale, and
// none allocates; they read the strings' characters in place.
//
// Shared rules:
// - Natural order (stringsLessThan, and the tie-break of every other comparator): texts compare
//   token by token, a token being a run of decimal digits (any Unicode script, "١٢" is twelve) or
//   one other character. Digit runs compare by numeric value, at any length; other characters
//   compare case-insensitively (Unicode case folding); a digit run sorts where the character '0'
//   would ("a-1" < "a1" < "aa"); a text that is a prefix of the other comes first. Texts equal so
//   far are ordered by fewer leading zeros first ("a1" < "a01"), then by their code units ("A" <
//   "a", "1" < "١").
// - A number is, after surrounding white space, an optional sign ('+', '-' or U+2212), decimal
//   digits (any script) with an optional '.' fraction (at least one digit in all) and an optional
//   exponent ('e' or 'E', optional sign, digits). Numbers compare exactly by value at any length
//   ("-0" equals "0", "1e999" is above every double and below "1e1000"); exponents saturate
//   beyond 10^15. "NaN", "inf", "1,5" and thousands separators are not numbers.
namespace lom
{
/// Natural order (above).
LOOM_EXPORT bool stringsLessThan(const wxString& left, const wxString& right);
/// Numbers by value, then texts that are not numbers; equal values ("1", "1.0", " +1") and the
/// texts among themselves in natural order. Accepts the same numbers as doublesLessThan.
LOOM_EXPORT bool integersLessThan(const wxString& left, const wxString& right);
/// As integersLessThan.
LOOM_EXPORT bool doublesLessThan(const wxString& left, const wxString& right);
/// File sizes by the number of bytes they denote, then texts that are not sizes; equal sizes
/// ("1 KB", "1024") and the texts among themselves in natural order. A size is a number (above)
/// followed, after optional white space, by an optional unit, case-insensitive and 1024-based:
/// "B", "byte", "bytes"; "K", "KB", "KiB"; "M", "MB", "MiB"; and likewise "G", "T", "P", "E".
/// A number without a unit counts bytes. The texts are not modified (callers hand it texts they
/// keep, such as a sort's cached ones); the references are not const only to keep the host's
/// signature. Sizes beyond about 1e4900 bytes compare as equal.
LOOM_EXPORT bool fileSizeLessThan(wxString& left, wxString& right);
/// Toggle states: first the enabled states ("On", "Yes", "True", "Enabled", "1"), then every
/// other text, then the disabled states ("Off", "No", "False", "Disabled", "0"); the words are
/// matched case-insensitively after surrounding white space; natural order within each group.
LOOM_EXPORT bool toggleDisabledLessThan(const wxString& left, const wxString& right);
/// Plot styles: "ByLayer", then "ByBlock", then every other text in natural order; the two names
/// are matched case-insensitively after surrounding white space.
LOOM_EXPORT bool plotStylesLessThan(const wxString& left, const wxString& right);
/// Pixel sizes "<width>x<height>" ('x', 'X' or U+00D7, white space allowed around it and the
/// text, digits of any script) by width, then height, by value; then texts that are not pixel
/// sizes; equal sizes and the texts among themselves in natural order.
LOOM_EXPORT bool pixelSizeLessThan(const wxString& left, const wxString& right);
/// Dimension styles: "Standard" (case-insensitive, surrounding white space ignored) first, then
/// every other text in natural order.
LOOM_EXPORT bool dimStylesLessThan(const wxString& left, const wxString& right);
}
