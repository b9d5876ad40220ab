// Corvane stand-in for the host's dialog library.
#pragma once

#include "vessel_export.h"

#include <tdroot/odstring.h>
#include <tdroot/smsheet.h>

#include <functional>
#include <vector>

class wxString;
class wxWindow;

namespace ves
{
// Button sets of a message box.
enum MessageButtonStyle : int
{
    MessageOk = 0,
    MessageOkCancel = 1,
    MessageYesNo = 2,
    MessageYesNoCancel = 3,
};

// A replacement for the message box, called like wxMessageBox: (message, caption, wx style flags
// of the buttons and the icon, owner window). Returns the wx identifier of the pressed button
// (wxYES, wxOK, wxNO or wxCANCEL).
using MessageBoxFaker = std::function<int(const wxString&, const wxString&, int, wxWindow*)>;

// The application's dialog factory. Its special members, virtual table and the two faker
// operations are defined by the Corvane.Core module library, which exports them for the host.
class VESSEL_MODULE_API IDialogFactory
{
public:
    IDialogFactory();
    IDialogFactory(const IDialogFactory& other);
    IDialogFactory& operator=(const IDialogFactory& other);
    virtual ~IDialogFactory();

    /// Routes every message box to faker until unsetMessageBoxFaker(). The interface ignores it;
    /// concrete factories that can be scripted override this.
    virtual void setupMessageBoxFaker(std::function<int(const wxString&, const wxString&, int, wxWindow*)> faker);
    virtual void unsetMessageBoxFaker();

    /// Shows a modal message box and returns the wx identifier of the pressed button.
    virtual int showMessageBox(const OdString& title, const OdString& message, wxWindow* parent, int wxStyle) const = 0;

    /// Modal information, warning and error boxes with the given button set; each returns the wx
    /// identifier of the pressed button (wxYES 2, wxOK 4, wxNO 8, wxCANCEL 16).
    int showInfoMessage(OdString title, OdString message, wxWindow* parent, MessageButtonStyle style) const;
    int showWarningMessage(OdString title, OdString message, wxWindow* parent, MessageButtonStyle style) const;
    int showErrorMessage(OdString title, OdString message, wxWindow* parent, MessageButtonStyle style) const;
};

/// The wx button flags (wxOK, wxOK|wxCANCEL, wxYES_NO, wxYES_NO|wxCANCEL) of a button set; an
/// unknown set gives wxOK.
VESSEL_EXPORT int wxButtonFlags(MessageButtonStyle style);

// A button of a custom message box.
struct VESSEL_MODULE_API MessageButtonInfo
{
    MessageButtonInfo();
    ~MessageButtonInfo();
    MessageButtonInfo(const MessageButtonInfo& other);
    MessageButtonInfo(MessageButtonInfo&& other);
    MessageButtonInfo& operator=(const MessageButtonInfo& other);
    MessageButtonInfo& operator=(MessageButtonInfo&& other);

    OdString text;
    int id;
};

// What the new-sheet dialog answered. Holds sheet pointers only; never owns the sheets.
struct VESSEL_MODULE_API DlgNewSheetResult
{
    enum EAction : int
    {
        kCancel = 0,
        kCreate = 1,
        kImport = 2,
    };

    DlgNewSheetResult(std::vector<dst::OdSmSheet*>&& sheets, dst::OdSmSheet* sheet, EAction action);
    DlgNewSheetResult(const DlgNewSheetResult& other);
    DlgNewSheetResult(DlgNewSheetResult&& other);
    DlgNewSheetResult& operator=(const DlgNewSheetResult& other);
    DlgNewSheetResult& operator=(DlgNewSheetResult&& other);
    ~DlgNewSheetResult();

    std::vector<dst::OdSmSheet*> sheets;
    dst::OdSmSheet* sheet;
    EAction action;
};
}
