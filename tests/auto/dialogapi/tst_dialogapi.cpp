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
    int showMessageBox(const OdString&, const OdString&, wxWindow*, int) const override { return answer; }
    int answer = wxOK;
};

// Three sheets and a result over them; `other` for the results they replace.
struct Sheets
{
    std::vector<dst::OdSmSheet*> three() { return {&sheets[0], &sheets[1], &sheets[2]}; }
    ves::DlgNewSheetResult result(ves::DlgNewSheetResult::EAction action = ves::DlgNewSheetResult::kImport)
    {
        return ves::DlgNewSheetResult(three(), &sheets[1], action);
    }
    dst::OdSmSheet sheets[3];
    dst::OdSmSheet other;
};
}

class tst_DialogApi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldExportTheFactoryMembersFromTheModuleLibrary_data()
    {
        QTest::addColumn<QString>("symbol");
        QTest::newRow("vtable") << QStringLiteral("_ZTVN3ves14IDialogFactoryE");
        QTest::newRow("destructor") << QStringLiteral("_ZN3ves14IDialogFactoryD2Ev");
        QTest::newRow("copy assignment") << QStringLiteral("_ZN3ves14IDialogFactoryaSERKS0_");
        QTest::newRow("unsetMessageBoxFaker") << QStringLiteral("_ZN3ves14IDialogFactory20unsetMessageBoxFakerEv");
        QTest::newRow("button move constructor") << QStringLiteral("_ZN3ves17MessageButtonInfoC2EOS0_");
        QTest::newRow("sheet result move assignment") << QStringLiteral("_ZN3ves17DlgNewSheetResultaSEOS0_");
    }

    void shouldExportTheFactoryMembersFromTheModuleLibrary()
    {
        QFETCH(QString, symbol);
        // Given the module library as the host loads it
        QLibrary module(QStringLiteral(CV_BINARY_DIR "/qml/Corvane/Core/libqt_plugin_core.so"));
        QVERIFY2(module.load(), qPrintable(module.errorString()));
        // Then the member is one of its exported symbols
        QVERIFY(module.resolve(symbol.toLatin1().constData()) != nullptr);
    }

    void shouldDiscardAFakerGivenToTheInterface()
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

    void shouldLeaveTheTargetUnchangedOnFactoryCopyAssignment()
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

    void shouldKeepTheSourceOfAButtonMove()
    {
        const ves::MessageButtonInfo empty;
        QVERIFY(empty.text.isEmpty());
        QCOMPARE(empty.id, 0);
        // A text long enough to live on the heap, moved by construction and by assignment
        ves::MessageButtonInfo source;
        source.text = OdString(L"Save all drawings before closing");
        source.id = 5103;
        ves::MessageButtonInfo constructed(std::move(source));
        ves::MessageButtonInfo assigned;
        assigned = std::move(source);
        ves::MessageButtonInfo& self = assigned;
        assigned = self;
        for (const ves::MessageButtonInfo* button : {&source, &constructed, &assigned}) {
            QVERIFY(button->text == OdString(L"Save all drawings before closing"));
            QCOMPARE(button->id, 5103);
        }
    }

    void shouldTakeOverOrCopyTheVectorOfASheetResult()
    {
        Sheets s;
        // Construction takes the vector over
        std::vector<dst::OdSmSheet*> input = s.three();
        const ves::DlgNewSheetResult taken(std::move(input), &s.sheets[1], ves::DlgNewSheetResult::kCreate);
        QVERIFY(input.empty());
        QVERIFY(taken.sheets == s.three());
        QCOMPARE(taken.sheet, &s.sheets[1]);
        QCOMPARE(taken.action, ves::DlgNewSheetResult::kCreate);
        // A copy has its own vector of the same pointers
        const ves::DlgNewSheetResult copy(taken);
        QVERIFY(copy.sheets == s.three());
        QVERIFY(taken.sheets == s.three());
        QVERIFY(copy.sheets.data() != taken.sheets.data());
        QCOMPARE(copy.action, ves::DlgNewSheetResult::kCreate);
        // A move takes the storage and empties only the source's vector
        ves::DlgNewSheetResult source = s.result();
        dst::OdSmSheet* const* storage = source.sheets.data();
        const ves::DlgNewSheetResult moved(std::move(source));
        QCOMPARE(moved.sheets.data(), storage);
        QVERIFY(source.sheets.empty());
        QCOMPARE(source.sheet, &s.sheets[1]);
        QCOMPARE(source.action, ves::DlgNewSheetResult::kImport);
    }

    void shouldAssignSheetResults()
    {
        Sheets s;
        // Copy assignment reuses a large enough storage
        ves::DlgNewSheetResult target(std::vector<dst::OdSmSheet*>(5, &s.other), nullptr, ves::DlgNewSheetResult::kCancel);
        dst::OdSmSheet* const* storage = target.sheets.data();
        const ves::DlgNewSheetResult source = s.result(ves::DlgNewSheetResult::kCreate);
        target = source;
        QCOMPARE(target.sheets.data(), storage);
        QVERIFY(target.sheets == s.three());
        QCOMPARE(target.sheet, &s.sheets[1]);
        QCOMPARE(target.action, ves::DlgNewSheetResult::kCreate);
        // Self assignment keeps everything
        ves::DlgNewSheetResult& self = target;
        target = self;
        target = std::move(self);
        QVERIFY(target.sheets == s.three());
        QCOMPARE(target.action, ves::DlgNewSheetResult::kCreate);
        // Move assignment takes the storage over
        ves::DlgNewSheetResult moving = s.result();
        storage = moving.sheets.data();
        target = std::move(moving);
        QCOMPARE(target.sheets.data(), storage);
        QVERIFY(moving.sheets.empty());
        QCOMPARE(moving.sheet, &s.sheets[1]);
        QCOMPARE(target.action, ves::DlgNewSheetResult::kImport);
    }
};

QTEST_GUILESS_MAIN(tst_DialogApi)
#include "tst_dialogapi.moc"
