// Corvane stand-in for the host's application-object library.
#pragma once

#include "harbor_export.h"

#include <vessel/dialogfactory.h>

namespace hb
{
// The host's dialog factory: real modal Qt Widgets message boxes, or an installed faker that
// answers them (tests, scripted runs). Needs a QApplication to show a box; without one, or
// while no box can be shown, the answer is the box's escape answer (wxCANCEL when the box has a
// Cancel button, otherwise wxNO for Yes/No, otherwise wxOK).
class HARBORHOST_EXPORT HbDialogFactory : public ves::IDialogFactory
{
public:
    HbDialogFactory();
    ~HbDialogFactory() override;

    void setupMessageBoxFaker(std::function<int(const wxString&, const wxString&, int, wxWindow*)> faker) override;
    void unsetMessageBoxFaker() override;

    /// The faker, when one is installed, gets (message, title, wxStyle, parent) and its answer is
    /// returned as it is. Otherwise a box titled title shows message with the icon and buttons of
    /// wxStyle; the owner window is not used (the stand-in has no wx windows).
    int showMessageBox(const OdString& title, const OdString& message, wxWindow* parent, int wxStyle) const override;

private:
    ves::MessageBoxFaker m_faker;
};
}
