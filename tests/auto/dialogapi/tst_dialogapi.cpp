// Corvane.Core tests: the dialog-API members the host finds in the module library, and what it
// reads after copying and moving them.
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
    int showMessageBox(const OdString&, const OdString&, wxWindow*, int) const override { return wxNO; }
};
}

class tst_DialogApi : public QObject
{
    Q_OBJECT

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
        QLibrary module(QStringLiteral(CV_BINARY_DIR "/qml/Corvane/Core/libqt_plugin_core.so"));
        QVERIFY2(module.load(), qPrintable(module.errorString()));
        QVERIFY(module.resolve(symbol.constData()));
    }

    void shouldKeepWhatTheHostReadsAfterCopiesAndMoves()
    {
        // The interface keeps no faker, and its copy assignment changes nothing
        BareFactory factory, other;
        ves::IDialogFactory& asInterface = factory;
        const auto token = std::make_shared<int>(7);
        asInterface.setupMessageBoxFaker([token](const wxString&, const wxString&, int, wxWindow*) { return int(wxYES); });
        QVERIFY(token.use_count() == 1 && &(asInterface = other) == &asInterface);
        QCOMPARE(asInterface.showInfoMessage(OdString(L"t"), OdString(L"m"), nullptr, ves::MessageOk), int(wxNO));
        // A moved-from button keeps its text (long enough for the heap) and id
        ves::MessageButtonInfo source, assigned;
        QCOMPARE(assigned.id, 0);
        source.text = OdString(L"Save all drawings before closing");
        source.id = 5103;
        ves::MessageButtonInfo constructed(std::move(source));
        assigned = std::move(source);
        for (const ves::MessageButtonInfo* button : {&source, &constructed, &assigned})
            QVERIFY(button->text == OdString(L"Save all drawings before closing") && button->id == 5103);
        // A sheet result leaves every moved-from vector empty; copies, self copies and self moves keep all
        dst::OdSmSheet sheets[2];
        const std::vector<dst::OdSmSheet*> both{&sheets[0], &sheets[1]};
        std::vector<dst::OdSmSheet*> input = both;
        Result moved(std::move(input), &sheets[1], Result::kCreate);
        const Result copy(moved);
        Result target(std::move(moved));
        QVERIFY(input.empty() && moved.sheets.empty() && copy.sheets == both && target.sheets == both);
        Result& self = target;
        target = copy;
        target = self;
        target = std::move(self);
        QVERIFY(target.sheets == both && target.sheet == &sheets[1] && target.action == Result::kCreate);
        Result last({}, nullptr, Result::kCancel);
        last = std::move(target);
        QVERIFY(last.sheets == both && target.sheets.empty() && last.action == Result::kCreate);
    }
};

QTEST_GUILESS_MAIN(tst_DialogApi)
#include "tst_dialogapi.moc"
