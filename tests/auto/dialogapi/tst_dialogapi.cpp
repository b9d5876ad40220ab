// Corvane.Core tests.
#include <vessel/dialogfactory.h>

#include <QLibrary>
#include <QtTest>

#include <wx/defs.h>
#include <wx/string.h>

#include <memory>

namespace
{
// The smallest concrete factory: everything but the message box comes from the interface.
class BareFactory : public ves::IDialogFactory
{
public:
    int showMessageBox(const OdString& title, const OdString& message, wxWindow* parent, int wxStyle) const override
    {
        lastTitle = title;
        lastMessage = message;
        lastParent = parent;
        lastStyle = wxStyle;
        return answer;
    }

    mutable OdString lastTitle;
    mutable OdString lastMessage;
    mutable wxWindow* lastParent = nullptr;
    mutable int lastStyle = -1;
    int answer = wxOK;
};

std::vector<dst::OdSmSheet*> threeSheets(dst::OdSmSheet* sheets)
{
    return {&sheets[0], &sheets[1], &sheets[2]};
}
}

class tst_DialogApi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldExportTheFactoryMembersFromTheModuleLibrary_data();
    void shouldExportTheFactoryMembersFromTheModuleLibrary();
    void shouldDiscardAFakerGivenToTheInterface();
    void shouldLeaveTheTargetUnchangedOnFactoryCopyAssignment();
    void shouldRouteEachKindWithItsIconAndButtons_data();
    void shouldRouteEachKindWithItsIconAndButtons();
    void shouldDefaultConstructAnEmptyButton();
    void shouldKeepTheSourceOfAButtonMove();
    void shouldTakeOverTheVectorOnConstruction();
    void shouldCopyThePointersOfASheetResult();
    void shouldEmptyOnlyTheVectorOfAMovedFromSheetResult();
    void shouldReuseCapacityOnCopyAssignment();
    void shouldKeepTheVectorOnSelfAssignment();
    void shouldTakeOverTheVectorOnMoveAssignment();
};

void tst_DialogApi::shouldExportTheFactoryMembersFromTheModuleLibrary_data()
{
    QTest::addColumn<QString>("symbol");
    QTest::newRow("vtable") << QStringLiteral("_ZTVN3ves14IDialogFactoryE");
    QTest::newRow("destructor") << QStringLiteral("_ZN3ves14IDialogFactoryD2Ev");
    QTest::newRow("copy assignment") << QStringLiteral("_ZN3ves14IDialogFactoryaSERKS0_");
    QTest::newRow("unsetMessageBoxFaker") << QStringLiteral("_ZN3ves14IDialogFactory20unsetMessageBoxFakerEv");
    QTest::newRow("button move constructor") << QStringLiteral("_ZN3ves17MessageButtonInfoC2EOS0_");
    QTest::newRow("sheet result move assignment") << QStringLiteral("_ZN3ves17DlgNewSheetResultaSEOS0_");
}

void tst_DialogApi::shouldExportTheFactoryMembersFromTheModuleLibrary()
{
    QFETCH(QString, symbol);
    // Given the module library as the host loads it
    QLibrary module(QStringLiteral(CV_BINARY_DIR "/qml/Corvane/Core/libqt_plugin_core.so"));
    QVERIFY2(module.load(), qPrintable(module.errorString()));
    // Then the member is one of its exported symbols
    QVERIFY(module.resolve(symbol.toLatin1().constData()) != nullptr);
}

void tst_DialogApi::shouldDiscardAFakerGivenToTheInterface()
{
    // Given a factory without faker support of its own and a faker that holds a shared object
    BareFactory factory;
    auto token = std::make_shared<int>(7);
    bool fakerCalled = false;
    ves::IDialogFactory& asInterface = factory;

    // When the faker is installed
    asInterface.setupMessageBoxFaker([token, &fakerCalled](const wxString&, const wxString&, int, wxWindow*) {
        fakerCalled = true;
        return wxYES;
    });

    // Then nothing keeps it, and boxes still go to the factory
    QCOMPARE(token.use_count(), 1L);
    factory.answer = wxNO;
    QCOMPARE(asInterface.showInfoMessage(OdString(L"t"), OdString(L"m"), nullptr, ves::MessageOk), int(wxNO));
    QVERIFY(!fakerCalled);
    asInterface.unsetMessageBoxFaker();
    QCOMPARE(asInterface.showInfoMessage(OdString(L"t"), OdString(L"m"), nullptr, ves::MessageOk), int(wxNO));
}

void tst_DialogApi::shouldLeaveTheTargetUnchangedOnFactoryCopyAssignment()
{
    BareFactory left;
    left.answer = wxCANCEL;
    BareFactory right;
    right.answer = wxYES;

    ves::IDialogFactory& result = static_cast<ves::IDialogFactory&>(left) = right;

    QCOMPARE(&result, static_cast<ves::IDialogFactory*>(&left));
    QCOMPARE(left.showErrorMessage(OdString(), OdString(), nullptr, ves::MessageOk), int(wxCANCEL));
    const BareFactory copy(left);
    QCOMPARE(copy.answer, int(wxCANCEL));
}

void tst_DialogApi::shouldRouteEachKindWithItsIconAndButtons_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("expectedFlags");
    QTest::newRow("info ok") << 0 << int(ves::MessageOk) << int(wxICON_INFORMATION | wxOK);
    QTest::newRow("info ok-cancel") << 0 << int(ves::MessageOkCancel) << int(wxICON_INFORMATION | wxOK | wxCANCEL);
    QTest::newRow("warning yes-no") << 1 << int(ves::MessageYesNo) << int(wxICON_WARNING | wxYES_NO);
    QTest::newRow("error yes-no-cancel") << 2 << int(ves::MessageYesNoCancel) << int(wxICON_ERROR | wxYES_NO | wxCANCEL);
    QTest::newRow("error unknown set") << 2 << 9 << int(wxICON_ERROR | wxOK);
}

void tst_DialogApi::shouldRouteEachKindWithItsIconAndButtons()
{
    QFETCH(int, kind);
    QFETCH(int, style);
    QFETCH(int, expectedFlags);
    BareFactory factory;
    auto* owner = reinterpret_cast<wxWindow*>(&factory);
    const auto buttons = static_cast<ves::MessageButtonStyle>(style);

    if (kind == 0)
        factory.showInfoMessage(OdString(L"Title"), OdString(L"Text"), owner, buttons);
    else if (kind == 1)
        factory.showWarningMessage(OdString(L"Title"), OdString(L"Text"), owner, buttons);
    else
        factory.showErrorMessage(OdString(L"Title"), OdString(L"Text"), owner, buttons);

    QCOMPARE(factory.lastStyle, expectedFlags);
    QVERIFY(factory.lastTitle == OdString(L"Title"));
    QVERIFY(factory.lastMessage == OdString(L"Text"));
    QCOMPARE(factory.lastParent, owner);
}

void tst_DialogApi::shouldDefaultConstructAnEmptyButton()
{
    const ves::MessageButtonInfo button;
    QVERIFY(button.text.isEmpty());
    QCOMPARE(button.id, 0);
}

void tst_DialogApi::shouldKeepTheSourceOfAButtonMove()
{
    // Given a button with a text long enough to live on the heap
    ves::MessageButtonInfo source;
    source.text = OdString(L"Save all drawings before closing");
    source.id = 5103;

    // When it is moved into a new button and by assignment into another
    ves::MessageButtonInfo constructed(std::move(source));
    ves::MessageButtonInfo assigned;
    assigned = std::move(source);

    // Then all three hold the text and id
    for (const ves::MessageButtonInfo* button : {&source, &constructed, &assigned}) {
        QVERIFY(button->text == OdString(L"Save all drawings before closing"));
        QCOMPARE(button->id, 5103);
    }
    ves::MessageButtonInfo& self = assigned;
    assigned = self;
    QVERIFY(assigned.text == OdString(L"Save all drawings before closing"));
}

void tst_DialogApi::shouldTakeOverTheVectorOnConstruction()
{
    dst::OdSmSheet sheets[3];
    std::vector<dst::OdSmSheet*> input = threeSheets(sheets);
    const std::vector<dst::OdSmSheet*> expected = input;

    const ves::DlgNewSheetResult result(std::move(input), &sheets[1], ves::DlgNewSheetResult::kCreate);

    QVERIFY(input.empty());
    QVERIFY(result.sheets == expected);
    QCOMPARE(result.sheet, &sheets[1]);
    QCOMPARE(result.action, ves::DlgNewSheetResult::kCreate);
}

void tst_DialogApi::shouldCopyThePointersOfASheetResult()
{
    dst::OdSmSheet sheets[3];
    const ves::DlgNewSheetResult original(threeSheets(sheets), &sheets[2], ves::DlgNewSheetResult::kImport);

    const ves::DlgNewSheetResult copy(original);

    QVERIFY(copy.sheets == threeSheets(sheets));
    QVERIFY(original.sheets == threeSheets(sheets));
    QVERIFY(copy.sheets.data() != original.sheets.data());
    QCOMPARE(copy.sheet, &sheets[2]);
    QCOMPARE(copy.action, ves::DlgNewSheetResult::kImport);
}

void tst_DialogApi::shouldEmptyOnlyTheVectorOfAMovedFromSheetResult()
{
    dst::OdSmSheet sheets[3];
    ves::DlgNewSheetResult source(threeSheets(sheets), &sheets[0], ves::DlgNewSheetResult::kImport);
    dst::OdSmSheet* const* storage = source.sheets.data();

    const ves::DlgNewSheetResult moved(std::move(source));

    QCOMPARE(moved.sheets.data(), storage);
    QVERIFY(moved.sheets == threeSheets(sheets));
    QVERIFY(source.sheets.empty());
    QCOMPARE(source.sheet, &sheets[0]);
    QCOMPARE(source.action, ves::DlgNewSheetResult::kImport);
}

void tst_DialogApi::shouldReuseCapacityOnCopyAssignment()
{
    // Given a target whose storage can hold the source's three pointers
    dst::OdSmSheet sheets[3];
    dst::OdSmSheet other;
    std::vector<dst::OdSmSheet*> big(5, &other);
    ves::DlgNewSheetResult target(std::move(big), nullptr, ves::DlgNewSheetResult::kCancel);
    dst::OdSmSheet* const* storage = target.sheets.data();
    const ves::DlgNewSheetResult source(threeSheets(sheets), &sheets[1], ves::DlgNewSheetResult::kCreate);

    target = source;

    QCOMPARE(target.sheets.data(), storage);
    QVERIFY(target.sheets == threeSheets(sheets));
    QCOMPARE(target.sheet, &sheets[1]);
    QCOMPARE(target.action, ves::DlgNewSheetResult::kCreate);
}

void tst_DialogApi::shouldKeepTheVectorOnSelfAssignment()
{
    dst::OdSmSheet sheets[3];
    ves::DlgNewSheetResult result(threeSheets(sheets), &sheets[1], ves::DlgNewSheetResult::kImport);
    ves::DlgNewSheetResult& self = result;

    result = self;
    QVERIFY(result.sheets == threeSheets(sheets));
    result = std::move(self);
    QVERIFY(result.sheets == threeSheets(sheets));
    QCOMPARE(result.sheet, &sheets[1]);
    QCOMPARE(result.action, ves::DlgNewSheetResult::kImport);
}

void tst_DialogApi::shouldTakeOverTheVectorOnMoveAssignment()
{
    dst::OdSmSheet sheets[3];
    dst::OdSmSheet other;
    ves::DlgNewSheetResult target(std::vector<dst::OdSmSheet*>{&other}, &other, ves::DlgNewSheetResult::kCancel);
    ves::DlgNewSheetResult source(threeSheets(sheets), &sheets[2], ves::DlgNewSheetResult::kCreate);
    dst::OdSmSheet* const* storage = source.sheets.data();

    target = std::move(source);

    QCOMPARE(target.sheets.data(), storage);
    QVERIFY(source.sheets.empty());
    QCOMPARE(source.sheet, &sheets[2]);
    QCOMPARE(source.action, ves::DlgNewSheetResult::kCreate);
    QCOMPARE(target.sheet, &sheets[2]);
}

QTEST_GUILESS_MAIN(tst_DialogApi)
#include "tst_dialogapi.moc"
