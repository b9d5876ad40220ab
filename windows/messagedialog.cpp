// Corvane.Core — QML extension module of the Corvane CAD application.
#include "windows/messagedialog.h"

#include <harbor/hbapp.h>
#include <lumen/qtwindowparent.h>
#include <lumen/strings.h>
#include <vessel/dialogfactory.h>

#include <QPointer>
#include <QTimer>

#include <wx/defs.h>

namespace core
{
struct MessageDialog::Private
{
    DialogType type = DialogType::Info;
    DialogButtons buttons = DialogButtons::Ok;
    QString title;
    QString message;
    // Guarded: a bridge that goes away while set reads as no owner.
    QPointer<lum::QtWindowParent> wndparent;
};

namespace
{
// The dialog library numbers its button sets differently from DialogButtons.
ves::MessageButtonStyle buttonStyle(MessageDialog::DialogButtons buttons)
{
    switch (buttons) {
    case MessageDialog::DialogButtons::Ok:
        return ves::MessageOk;
    case MessageDialog::DialogButtons::OkCancel:
        return ves::MessageOkCancel;
    case MessageDialog::DialogButtons::YesNo:
        return ves::MessageYesNo;
    case MessageDialog::DialogButtons::YesNoCancel:
        return ves::MessageYesNoCancel;
    }
    return ves::MessageOk;
}

MessageDialog::PressedButton pressedButton(int wxId)
{
    switch (wxId) {
    case wxYES:
        return MessageDialog::PressedButton::Yes;
    case wxNO:
        return MessageDialog::PressedButton::No;
    case wxCANCEL:
        return MessageDialog::PressedButton::Cancel;
    default:
        return MessageDialog::PressedButton::Ok;
    }
}
}

MessageDialog::MessageDialog(QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
}

MessageDialog::~MessageDialog() = default;

MessageDialog::DialogType MessageDialog::type() const
{
    return d->type;
}

void MessageDialog::setType(DialogType type)
{
    if (d->type == type)
        return;
    d->type = type;
    Q_EMIT typeChanged();
}

MessageDialog::DialogButtons MessageDialog::buttons() const
{
    return d->buttons;
}

void MessageDialog::setButtons(DialogButtons buttons)
{
    if (d->buttons == buttons)
        return;
    d->buttons = buttons;
    Q_EMIT buttonsChanged();
}

QString MessageDialog::title() const
{
    return d->title;
}

void MessageDialog::setTitle(const QString& title)
{
    if (d->title == title)
        return;
    d->title = title;
    Q_EMIT titleChanged();
}

QString MessageDialog::message() const
{
    return d->message;
}

void MessageDialog::setMessage(const QString& message)
{
    if (d->message == message)
        return;
    d->message = message;
    Q_EMIT messageChanged();
}

lum::QtWindowParent* MessageDialog::wndparent() const
{
    return d->wndparent;
}

void MessageDialog::setWndparent(lum::QtWindowParent* wndparent)
{
    if (d->wndparent == wndparent)
        return;
    if (d->wndparent)
        QObject::disconnect(d->wndparent, &QObject::destroyed, this, nullptr);
    d->wndparent = wndparent;
    // The guard reads null once the owner is gone; bindings learn it from the signal.
    if (wndparent)
        QObject::connect(wndparent, &QObject::destroyed, this, &MessageDialog::wndparentChanged);
    Q_EMIT wndparentChanged();
}

MessageDialog::PressedButton MessageDialog::show()
{
    return pressedButton(showBox());
}

void MessageDialog::showLater()
{
    // The dialog is the timer's context: destroying it first cancels the box.
    QTimer::singleShot(0, Qt::PreciseTimer, this, [this] { showBox(); });
}

// Returns the host's raw answer, or -1 when nothing was shown.
int MessageDialog::showBox() const
{
    const ves::MessageButtonStyle style = buttonStyle(d->buttons);
    wxWindow* owner = d->wndparent ? d->wndparent->getWxParent() : nullptr;
    if (d->type != DialogType::Info && d->type != DialogType::Warning && d->type != DialogType::Error)
        return -1;
    // The host guarantees both; a process without them (a bare QML viewer) gets no box rather
    // than a crash.
    ves::IDialogFactory* factory = hb::HbApp::s_app ? hb::HbApp::s_app->dialogFactory() : nullptr;
    if (!factory)
        return -1;
    const OdString message = lum::odFromQt(d->message);
    const OdString title = lum::odFromQt(d->title);
    switch (d->type) {
    case DialogType::Info:
        return factory->showInfoMessage(title, message, owner, style);
    case DialogType::Warning:
        return factory->showWarningMessage(title, message, owner, style);
    case DialogType::Error:
        return factory->showErrorMessage(title, message, owner, style);
    }
    return -1;
}
}
