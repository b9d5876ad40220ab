// Corvane.Core tests.
#include <vessel/dialogfactory.h>

#include <QLibrary>
#include <QtTest>

#include <wx/defs.h>

#include <memory>

using Result = ves::DlgNewSheetResult;

namespace
{
// The smallest concrete factory: everything but the message box comes from the interface.
class BareFactory : public ves::IDialogFactory
{
public:
    int showMessageBox(const OdString&, const OdString&, wxWindow*, int) const override { return answer; }
    int answer = wxOK;
};
}

class tst_DialogApi : public QObject
{
    Q_OBJECT

    dst::OdSmSheet sheets[4];
    std::vector<dst::OdSmSheet*> three() { return {&sheets[0], &sheets[1], &sheets[2]}; }

private Q_SLOTS:
    void shouldExportTheFactoryMembersFromTheModuleLibrary_data()
    {
        QTest::addColumn<QByteArray>("symbol");
        QTest::newRow("vtable") << QByteArray("_ZTVN3ves14IDialogFactoryE");
        QTest::newRow("destructor") << QByteArray("_ZN3ves14IDialogFactoryD2Ev");
        QTest::newRow("copy assignment") << QByteArray("_ZN3ves14IDialogFactoryaSERKS0_");
        QTest::newRow("unsetMessageBoxFaker") << QByteArray("_ZN3ves14IDialogFactory20unsetMessageBoxFakerEv");
        QTest::newRow("button move constructor") << QByteArray("_ZN3ves17MessageButtonInfoC2EOS0_");
        QTest::newRow("sheet result move assignment") << QByteArray("_ZN3ves17DlgNewSheetResultaSEOS0_");
    }
    void shouldExportTheFactoryMembersFromTheModuleLibrary()
    {
        QFETCH(QByteArray, symbol);
        // The module library as the host loads it
        QLibrary module(QStringLiteral(CV_BINARY_DIR "/qml/Corvane/Core/libqt_plugin_core.so"));
        QVERIFY2(module.load(), qPrintable(module.errorString()));
        QVERIFY(module.resolve(symbol.constData()));
    }

    void shouldDiscardAFakerAndLeaveACopyAssignedFactoryUnchanged()
    {
        BareFactory factory;
        ves::IDialogFactory& asInterface = factory;
        const auto token = std::make_shared<int>(7);
        bool fakerCalled = false;
        asInterface.setupMessageBoxFaker([token, &fakerCalled](const wxString&, const wxString&, int, wxWindow*) {
            return fakerCalled = true, wxYES;
        });
        // Nothing keeps the faker, and boxes still go to the factory
        QCOMPARE(token.use_count(), 1L);
        factory.answer = wxNO;
        QCOMPARE(asInterface.showInfoMessage(OdString(L"t"), OdString(L"m"), nullptr, ves::MessageOk), int(wxNO));
        asInterface.unsetMessageBoxFaker();
        QVERIFY(!fakerCalled);
        BareFactory other;
        QCOMPARE(&(asInterface = other), &asInterface);
        QCOMPARE(factory.showErrorMessage(OdString(), OdString(), nullptr, ves::MessageOk), int(wxNO));
    }

    void shouldKeepTheSourceOfAButtonMove()
    {
        QVERIFY(ves::MessageButtonInfo().text.isEmpty() && ves::MessageButtonInfo().id == 0);
        // A text long enough to live on the heap, moved by construction and by assignment
        ves::MessageButtonInfo source;
        source.text = OdString(L"Save all drawings before closing");
        source.id = 5103;
        ves::MessageButtonInfo constructed(std::move(source));
        ves::MessageButtonInfo assigned;
        assigned = std::move(source);
        for (const ves::MessageButtonInfo* button : {&source, &constructed, &assigned})
            QVERIFY(button->text == OdString(L"Save all drawings before closing") && button->id == 5103);
    }

    void shouldTakeOverOrCopyTheSheetsOfAResult()
    {
        // Construction takes the vector over and leaves the argument empty
        std::vector<dst::OdSmSheet*> input = three();
        Result taken(std::move(input), &sheets[1], Result::kCreate);
        QVERIFY(input.empty() && taken.sheets == three() && taken.sheet == &sheets[1] && taken.action == Result::kCreate);
        // A copy has its own vector of the same sheets
        const Result copy(taken);
        QVERIFY(copy.sheets == three() && copy.sheets.data() != taken.sheets.data() && copy.action == Result::kCreate);
        // A move takes the storage and empties only the source's vector
        dst::OdSmSheet* const* storage = taken.sheets.data();
        Result moved(std::move(taken));
        QVERIFY(moved.sheets.data() == storage && taken.sheets.empty() && taken.sheet == &sheets[1]);
        // Copy assignment reuses a large enough storage; self assignment keeps everything
        Result target(std::vector<dst::OdSmSheet*>(5, &sheets[3]), nullptr, Result::kCancel);
        storage = target.sheets.data();
        target = copy;
        Result& self = target;
        target = self;
        target = std::move(self);
        QVERIFY(target.sheets.data() == storage && target.sheets == three() && target.action == Result::kCreate);
        // Move assignment takes the storage over and empties the source
        storage = moved.sheets.data();
        target = std::move(moved);
        QVERIFY(target.sheets.data() == storage && moved.sheets.empty() && moved.sheet == &sheets[1]);
    }
};

QTEST_GUILESS_MAIN(tst_DialogApi)
#include "tst_dialogapi.moc"
