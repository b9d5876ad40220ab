// Corvane.Core — QML extension module of the Corvane CAD application.
//
// Members of the dialog library's types that the host expects to find in this library. The
// interface's virtual table is emitted here, next to its destructor.
#include "dialogapi/dialogapi_export.h"

#include <vessel/dialogfactory.h>

#include <utility>

namespace ves
{
CORVANE_DIALOGAPI_EXPORT IDialogFactory::IDialogFactory() = default;

CORVANE_DIALOGAPI_EXPORT IDialogFactory::IDialogFactory(const IDialogFactory&) = default;

CORVANE_DIALOGAPI_EXPORT IDialogFactory& IDialogFactory::operator=(const IDialogFactory&)
{
    return *this;
}

CORVANE_DIALOGAPI_EXPORT IDialogFactory::~IDialogFactory() = default;

CORVANE_DIALOGAPI_EXPORT void IDialogFactory::setupMessageBoxFaker(
    std::function<int(const wxString&, const wxString&, int, wxWindow*)>)
{
}

CORVANE_DIALOGAPI_EXPORT void IDialogFactory::unsetMessageBoxFaker()
{
}

CORVANE_DIALOGAPI_EXPORT MessageButtonInfo::MessageButtonInfo()
    : id(0)
{
}

CORVANE_DIALOGAPI_EXPORT MessageButtonInfo::~MessageButtonInfo() = default;

CORVANE_DIALOGAPI_EXPORT MessageButtonInfo::MessageButtonInfo(const MessageButtonInfo& other) = default;

// The host relies on a moved-from button keeping its text and id, so a move is a copy.
CORVANE_DIALOGAPI_EXPORT MessageButtonInfo::MessageButtonInfo(MessageButtonInfo&& other)
    : text(other.text)
    , id(other.id)
{
}

CORVANE_DIALOGAPI_EXPORT MessageButtonInfo& MessageButtonInfo::operator=(const MessageButtonInfo& other) = default;

CORVANE_DIALOGAPI_EXPORT MessageButtonInfo& MessageButtonInfo::operator=(MessageButtonInfo&& other)
{
    text = other.text;
    id = other.id;
    return *this;
}

CORVANE_DIALOGAPI_EXPORT DlgNewSheetResult::DlgNewSheetResult(std::vector<dst::OdSmSheet*>&& sheets,
                                                              dst::OdSmSheet* sheet, EAction action)
    : sheets(std::move(sheets))
    , sheet(sheet)
    , action(action)
{
    // A moved-from vector is only "valid but unspecified"; callers rely on it being empty.
    sheets.clear();
}

CORVANE_DIALOGAPI_EXPORT DlgNewSheetResult::DlgNewSheetResult(const DlgNewSheetResult& other) = default;

CORVANE_DIALOGAPI_EXPORT DlgNewSheetResult::DlgNewSheetResult(DlgNewSheetResult&& other)
    : sheets(std::move(other.sheets))
    , sheet(other.sheet)
    , action(other.action)
{
    other.sheets.clear();
}

CORVANE_DIALOGAPI_EXPORT DlgNewSheetResult& DlgNewSheetResult::operator=(const DlgNewSheetResult& other)
{
    if (this != &other)
        sheets.assign(other.sheets.begin(), other.sheets.end());
    sheet = other.sheet;
    action = other.action;
    return *this;
}

CORVANE_DIALOGAPI_EXPORT DlgNewSheetResult& DlgNewSheetResult::operator=(DlgNewSheetResult&& other)
{
    if (this != &other) {
        std::vector<dst::OdSmSheet*>().swap(sheets);
        sheets.swap(other.sheets);
    }
    sheet = other.sheet;
    action = other.action;
    return *this;
}

CORVANE_DIALOGAPI_EXPORT DlgNewSheetResult::~DlgNewSheetResult() = default;
}
