// Corvane.Core tests.
#include "windows/messagedialog.h"

#include <harbor/hbhostapp.h>
#include <lumen/qtwindowparent.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <wx/defs.h>
#include <wx/string.h>

#include <memory>

using core::MessageDialog;

class tst_MessageDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void shouldShowNothingWhenDestroyedBeforeShowLaterRuns();
    void shouldTreatADestroyedOwnerBridgeAsNoOwner();
    void shouldReadTheTextsAtTheMomentOfTheCall();
    void shouldShowNothingWithoutApplicationObject();
    void shouldAnswerWithTheButtonPressedInARealBox_data();
    void shouldAnswerWithTheButtonPressedInARealBox();

private:
    std::unique_ptr<hb::HbHostApp> m_app;
    int m_boxes = 0;
    QString m_lastTitle;
};

void tst_MessageDialog::initTestCase()
{
    m_app = std::make_unique<hb::HbHostApp>();
}

void tst_MessageDialog::cleanupTestCase()
{
    m_app.reset();
}

void tst_MessageDialog::init()
{
    m_boxes = 0;
    m_app->dialogs().setupMessageBoxFaker([this](const wxString&, const wxString& title, int, wxWindow*) {
        ++m_boxes;
        m_lastTitle = QString::fromStdWString(title.ToStdWstring());
        return wxYES;
    });
}

void tst_MessageDialog::cleanup()
{
    m_app->dialogs().unsetMessageBoxFaker();
}

void tst_MessageDialog::shouldShowNothingWhenDestroyedBeforeShowLaterRuns()
{
    // Given a dialog that queued a box
    auto* dialog = new MessageDialog;
    dialog->setTitle(QStringLiteral("Gone"));
    dialog->showLater();

    // When it is destroyed before the event loop runs
    delete dialog;
    QCoreApplication::processEvents();
    QTest::qWait(10);

    // Then no box comes
    QCOMPARE(m_boxes, 0);
}

void tst_MessageDialog::shouldTreatADestroyedOwnerBridgeAsNoOwner()
{
    MessageDialog dialog;
    wxWindow* seenOwner = reinterpret_cast<wxWindow*>(&dialog);
    m_app->dialogs().setupMessageBoxFaker([&seenOwner](const wxString&, const wxString&, int, wxWindow* owner) {
        seenOwner = owner;
        return wxOK;
    });
    auto* bridge = new lum::QtWindowParent;
    bridge->setWxParent(reinterpret_cast<wxWindow*>(bridge));
    dialog.setWndparent(bridge);

    delete bridge;

    QCOMPARE(dialog.wndparent(), nullptr);
    QCOMPARE(dialog.show(), MessageDialog::PressedButton::Ok);
    QCOMPARE(seenOwner, nullptr);
}

void tst_MessageDialog::shouldReadTheTextsAtTheMomentOfTheCall()
{
    MessageDialog dialog;
    dialog.setTitle(QStringLiteral("Ebenen löschen — 3"));
    QCOMPARE(dialog.show(), MessageDialog::PressedButton::Yes);
    QCOMPARE(m_lastTitle, QStringLiteral("Ebenen löschen — 3"));
    QCOMPARE(m_boxes, 1);
}

void tst_MessageDialog::shouldShowNothingWithoutApplicationObject()
{
    MessageDialog dialog;
    hb::HbApp* const app = hb::HbApp::s_app;
    hb::HbApp::s_app = nullptr;
    const MessageDialog::PressedButton answer = dialog.show();
    dialog.showLater();
    QTest::qWait(10);
    hb::HbApp::s_app = app;

    QCOMPARE(answer, MessageDialog::PressedButton::Ok);
    QCOMPARE(m_boxes, 0);
}

void tst_MessageDialog::shouldAnswerWithTheButtonPressedInARealBox_data()
{
    QTest::addColumn<MessageDialog::DialogButtons>("buttons");
    QTest::addColumn<int>("click");
    QTest::addColumn<MessageDialog::PressedButton>("expected");
    QTest::newRow("yes") << MessageDialog::DialogButtons::YesNoCancel << int(QMessageBox::Yes) << MessageDialog::PressedButton::Yes;
    QTest::newRow("no") << MessageDialog::DialogButtons::YesNo << int(QMessageBox::No) << MessageDialog::PressedButton::No;
    QTest::newRow("cancel") << MessageDialog::DialogButtons::OkCancel << int(QMessageBox::Cancel)
                            << MessageDialog::PressedButton::Cancel;
    QTest::newRow("ok") << MessageDialog::DialogButtons::Ok << int(QMessageBox::Ok) << MessageDialog::PressedButton::Ok;
}

void tst_MessageDialog::shouldAnswerWithTheButtonPressedInARealBox()
{
    QFETCH(MessageDialog::DialogButtons, buttons);
    QFETCH(int, click);
    QFETCH(MessageDialog::PressedButton, expected);

    // Given no faker: the host shows a real modal box
    m_app->dialogs().unsetMessageBoxFaker();
    MessageDialog dialog;
    dialog.setType(MessageDialog::DialogType::Warning);
    dialog.setButtons(buttons);
    dialog.setTitle(QStringLiteral("Close drawing"));
    dialog.setMessage(QStringLiteral("Save changes?"));

    // When the user presses a button of the box
    QStringList seenTexts;
    int seenButtons = 0;
    QTimer::singleShot(50, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seenTexts << box->windowTitle() << box->text();
        seenButtons = int(box->standardButtons());
        if (QAbstractButton* button = box->button(QMessageBox::StandardButton(click)))
            button->click();
        else
            box->reject();
    });
    // The offscreen platform cannot size top-level widgets by their hints and says so.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support propagateSizeHints()");
    const MessageDialog::PressedButton answer = dialog.show();

    // Then the box had the texts and buttons, and the answer is the pressed button
    QCOMPARE(seenTexts, QStringList({QStringLiteral("Close drawing"), QStringLiteral("Save changes?")}));
    QVERIFY(seenButtons & click);
    QCOMPARE(answer, expected);
}

QTEST_MAIN(tst_MessageDialog)
#include "tst_messagedialog.moc"
