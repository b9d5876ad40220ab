// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <lumen/qtwindowparent.h>

#include <QObject>
#include <QString>

#include <memory>

namespace core
{
// "MessageDialogCV": a modal message box of the host application. Set the kind, the buttons,
// the texts and optionally the owner window, then call show() for the answer or showLater() to
// show the box from the event loop and ignore the answer. Setting a property never shows or
// updates a box. Needs the host's application object and its dialog factory.
class MessageDialog : public QObject
{
    Q_OBJECT
    /// Kind of box: information (default), warning or error.
    Q_PROPERTY(DialogType type READ type WRITE setType NOTIFY typeChanged)
    /// Button set; Ok unless changed.
    Q_PROPERTY(DialogButtons buttons READ buttons WRITE setButtons NOTIFY buttonsChanged)
    /// Caption of the box.
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    /// Text of the box.
    Q_PROPERTY(QString message READ message WRITE setMessage NOTIFY messageChanged)
    /// Bridge to the native window that owns the box; null gives the box no owner. Not owned;
    /// reads null once the bridge is destroyed.
    Q_PROPERTY(lum::QtWindowParent* wndparent READ wndparent WRITE setWndparent NOTIFY wndparentChanged)

public:
    enum class DialogType
    {
        Info = 0,
        Warning = 1,
        Error = 2,
    };
    Q_ENUM(DialogType)

    enum class DialogButtons
    {
        Ok = 0,
        YesNo = 1,
        OkCancel = 2,
        YesNoCancel = 3,
    };
    Q_ENUM(DialogButtons)

    enum class PressedButton
    {
        Ok = 0,
        Yes = 1,
        No = 2,
        Cancel = 3,
    };
    Q_ENUM(PressedButton)

    explicit MessageDialog(QObject* parent = nullptr);
    ~MessageDialog() override;

    DialogType type() const;
    void setType(DialogType type);

    DialogButtons buttons() const;
    void setButtons(DialogButtons buttons);

    QString title() const;
    void setTitle(const QString& title);

    QString message() const;
    void setMessage(const QString& message);

    lum::QtWindowParent* wndparent() const;
    void setWndparent(lum::QtWindowParent* wndparent);

public Q_SLOTS:
    /// Shows the box and waits for it to close. An unknown kind shows nothing, and so does a
    /// process without the host's application object or dialog factory; an unknown answer of the
    /// host, like no box, reads as Ok.
    PressedButton show();
    /// Shows the box on the next pass of the event loop, with the property values of that moment.
    /// Each call queues its own box; a dialog destroyed before then shows nothing.
    void showLater();

Q_SIGNALS:
    void typeChanged();
    void buttonsChanged();
    void titleChanged();
    void messageChanged();
    void wndparentChanged();

private:
    int showBox() const;

    struct Private;
    const std::unique_ptr<Private> d;
};
}
