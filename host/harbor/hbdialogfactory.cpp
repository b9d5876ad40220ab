// Corvane stand-in for the host's application-object library.
#include "harbor/hbdialogfactory.h"

#include <lumen/strings.h>

#include <QApplication>
#include <QMessageBox>

#include <wx/defs.h>
#include <wx/string.h>

namespace hb
{
namespace
{
int escapeAnswer(int wxStyle)
{
    if (wxStyle & wxCANCEL)
        return wxCANCEL;
    if (wxStyle & wxNO)
        return wxNO;
    return wxOK;
}
}

HbDialogFactory::HbDialogFactory() = default;

HbDialogFactory::~HbDialogFactory() = default;

void HbDialogFactory::setupMessageBoxFaker(std::function<int(const wxString&, const wxString&, int, wxWindow*)> faker)
{
    m_faker = std::move(faker);
}

void HbDialogFactory::unsetMessageBoxFaker()
{
    m_faker = nullptr;
}

int HbDialogFactory::showMessageBox(const OdString& title, const OdString& message, wxWindow* parent,
                                    int wxStyle) const
{
    if (m_faker)
        return m_faker(wxString(message.c_str()), wxString(title.c_str()), wxStyle, parent);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return escapeAnswer(wxStyle);

    QMessageBox box;
    box.setWindowTitle(lum::toQt(title));
    box.setText(lum::toQt(message));
    if (wxStyle & wxICON_ERROR)
        box.setIcon(QMessageBox::Critical);
    else if (wxStyle & wxICON_WARNING)
        box.setIcon(QMessageBox::Warning);
    else
        box.setIcon(QMessageBox::Information);

    QMessageBox::StandardButtons buttons;
    if (wxStyle & wxYES)
        buttons |= QMessageBox::Yes;
    if (wxStyle & wxNO)
        buttons |= QMessageBox::No;
    if (wxStyle & wxOK)
        buttons |= QMessageBox::Ok;
    if (wxStyle & wxCANCEL)
        buttons |= QMessageBox::Cancel;
    if (!buttons)
        buttons = QMessageBox::Ok;
    box.setStandardButtons(buttons);

    switch (box.exec()) {
    case QMessageBox::Yes:
        return wxYES;
    case QMessageBox::No:
        return wxNO;
    case QMessageBox::Ok:
        return wxOK;
    case QMessageBox::Cancel:
        return wxCANCEL;
    default:
        return escapeAnswer(wxStyle);
    }
}
}
