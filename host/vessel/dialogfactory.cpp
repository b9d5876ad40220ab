// Corvane stand-in for the host's dialog library.
#include "vessel/dialogfactory.h"

#include <wx/defs.h>

namespace ves
{
int wxButtonFlags(MessageButtonStyle style)
{
    switch (style) {
    case MessageOk:
        return wxOK;
    case MessageOkCancel:
        return wxOK | wxCANCEL;
    case MessageYesNo:
        return wxYES_NO;
    case MessageYesNoCancel:
        return wxYES_NO | wxCANCEL;
    }
    return wxOK;
}

int IDialogFactory::showInfoMessage(OdString title, OdString message, wxWindow* parent, MessageButtonStyle style) const
{
    return showMessageBox(title, message, parent, wxButtonFlags(style) | wxICON_INFORMATION);
}

int IDialogFactory::showWarningMessage(OdString title, OdString message, wxWindow* parent, MessageButtonStyle style) const
{
    return showMessageBox(title, message, parent, wxButtonFlags(style) | wxICON_WARNING);
}

int IDialogFactory::showErrorMessage(OdString title, OdString message, wxWindow* parent, MessageButtonStyle style) const
{
    return showMessageBox(title, message, parent, wxButtonFlags(style) | wxICON_ERROR);
}
}
