// Corvane.Core tests.
#include "support/messagecapture.h"

#include <loom/columnstore.h>
#include <lumen/strings.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <memory>

namespace
{
const int notFound = -123456;

// Width, position and hidden state of a record. Without one: notFound and the caller's presets,
// position notFound and hidden true (true, so that a record of a shown column has to clear it).
QList<int> readRecord(const QString& table, const QString& column)
{
    bool hidden = true;
    int position = notFound;
    // A braced list is evaluated in order: position and hidden are read after the call set them.
    return { lom::readColumnDataFromRegistry(
                 lum::wxFromQt(column), notFound, 7, hidden, position, lum::wxFromQt(table)),
        position, hidden };
}

void writeRecord(const QString& table, const QString& column, int width, int position)
{
    lom::writeColumnDataToRegistry(lum::wxFromQt(column), width, position, lum::wxFromQt(table));
}

QStringList savedKeys(const QString& table)
{
    QStringList result;
    for (const wxString& key : lom::getSavedColumnDataList(lum::wxFromQt(table)))
        result.append(lum::toQt(key));
    result.sort();
    return result;
}

QByteArray fileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
}

class tst_LoomColumnStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->path()));
        lom::resetColumnStore();
    }

    void cleanup() { lom::resetColumnStore(); }

    void shouldRoundTripAnyKeyApartFromOthers_data()
    {
        QTest::addColumn<QStringList>("keys"); // table and column of two records
        QTest::newRow("empty and blank") << QStringList { "", "", " ", "  " };
        QTest::newRow("path split") << QStringList { "a/b", "c", "a", "b/c" };
        QTest::newRow("case") << QStringList { "Layers", "Name", "layers", "NAME" };
        QTest::newRow("group header and record in keys") << QStringList { "a]\n[b", "c\nc=1,1", "b", "c" };
        QTest::newRow("encoding lookalikes") << QStringList { "%0041_a*", "_A%", "A_a*", "%0041" };
    }

    void shouldRoundTripAnyKeyApartFromOthers()
    {
        QFETCH(QStringList, keys);
        cvtest::MessageCapture debug;
        writeRecord(keys[0], keys[1], 0, INT_MAX);
        writeRecord(keys[2], keys[3], INT_MIN, -5);
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        // A fresh store reads the file as sound, and each table holds exactly its own record: width 0
        // as a hidden column, and a key that is not stored as the defaults
        QCOMPARE(readRecord(keys[0], keys[1]) + readRecord(keys[2], keys[3]) + readRecord(keys[0], keys[3]),
            (QList<int> { 0, INT_MAX, true, INT_MIN, -5, false, notFound, notFound, true }));
        QCOMPARE(savedKeys(keys[0]) + savedKeys(keys[2]), (QStringList { keys[1], keys[3] }));
        QCOMPARE(debug.messages(), QStringList());
    }

    void shouldKeepRecordsThatAnotherProcessStored()
    {
        // Given this process has read the store and holds an unflushed record
        writeRecord("Shared", "Stale", 10, 0);
        writeRecord("Shared", "Again", 5, 0);
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        writeRecord("Mine", "A", 1, 0);

        // When other processes store records and end normally without flushing, one with an
        // application object that never entered its event loop, one without, a line that is not a
        // record joins the file, and this process then writes again a value it had already stored
        for (const char* records : { "app Theirs/Ω Width 77 Shared Stale 20", "bare Mine A 99 Shared Again 66" }) {
            QCOMPARE(QProcess::execute(QCoreApplication::applicationFilePath(),
                         QString("--child-write " + QString(records)).split(' ')),
                0);
        }
        writeRecord("Shared", "Again", 5, 0);
        QVERIFY(lom::flushColumnStore());

        // Then the new file keeps every process's records, each holding the value written last
        lom::resetColumnStore();
        QCOMPARE(readRecord("Theirs/Ω", "Width") + readRecord("Mine", "A") + readRecord("Shared", "Stale")
                + readRecord("Shared", "Again"),
            (QList<int> { 77, 2, 0, 1, 0, 0, 20, 2, 0, 5, 0, 0 }));
    }

    void shouldKeepDamagedFileAside_data()
    {
        // Every file holds one sound record, x = 3,4 in table t, and something that is not one
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("truncated value") << QByteArray("[tt]\ncx=3,4\ncy=120,");
        QTest::newRow("record outside a table") << QByteArray("cy=1,2\n[tt]\ncx=3,4\n");
        QTest::newRow("foreign group") << QByteArray("[Layers]\ncy=1,2\n[tt]\ncx=3,4\n");
        QTest::newRow("line without a value") << QByteArray("[tt]\ncx=3,4\ncy\n");
        QTest::newRow("second spelling of a key") << QByteArray("[tt]\ncx=3,4\nc%0079=1,2\n");
    }

    void shouldKeepDamagedFileAside()
    {
        QFETCH(QByteArray, contents);
        QVERIFY(writeFile(storePath(), contents) && writeFile(storePath() + ".damaged", "old")
            && writeFile(storePath() + ".damaged-1", "old"));
        // The first read says so once and keeps the file aside byte for byte, never over an earlier
        // one; the store starts from the sound record, which reaches a sound file that the next
        // start reads silently
        for (int pass = 0; pass < 2; ++pass) {
            cvtest::MessageCapture debug;
            QCOMPARE(savedKeys("t"), QStringList { "x" });
            QCOMPARE(debug.messages(),
                pass == 0 ? QStringList { QStringLiteral("Column layout store damaged, kept aside as \"%1\"")
                                              .arg(storePath() + ".damaged-2") }
                          : QStringList());
            QCOMPARE(fileContents(storePath() + ".damaged-2"), contents);
            QCOMPARE(readRecord("t", "x"), (QList<int> { 3, 4, false }));
            QVERIFY(lom::flushColumnStore());
            lom::resetColumnStore();
        }
    }

    void shouldNeverWriteOverDamagedFileItCannotKeepAside()
    {
        // Given a damaged file and every name to keep it aside under taken
        const QByteArray contents("[tlayers]\ncname=120,0\ngarbage\n");
        QVERIFY(writeFile(storePath(), contents));
        for (int i = 0; i < 999; ++i)
            QVERIFY(writeFile(storePath() + ".damaged" + (i ? QStringLiteral("-%1").arg(i) : QString()), "old"));
        cvtest::MessageCapture debug;
        // The readable records answer and new ones are kept, in memory only, and the file stays as it was
        QCOMPARE(readRecord("layers", "name")[0], 120);
        writeRecord("layers", "other", 10, 1);
        QCOMPARE(debug.messages(),
            QStringList { QStringLiteral("Column layout store damaged and not writable, left untouched at \"%1\"")
                              .arg(storePath()) });
        QVERIFY(!lom::flushColumnStore());
        QCOMPARE(fileContents(storePath()), contents);
    }

    void shouldReportFailedWrites()
    {
        // Given a stored layout and more records pending
        writeRecord("Layers", "Name", 120, 0);
        QVERIFY(lom::flushColumnStore());
        writeRecord("Layers", "Pending", 10, 1);
        const QByteArray before = fileContents(storePath());
        const QString dir = m_dir->path() + "/corvane";

        // When the new file cannot replace the old one: the file reached through "x" (sub/target)
        // reads as sound, but the new file goes where the link's text points, to the directory "target"
        QVERIFY(QDir(dir).mkpath("sub/inner") && QDir(dir).mkdir("target"));
        QVERIFY(QFile::rename(storePath(), dir + "/sub/target"));
        QVERIFY(QFile::link("sub/inner", dir + "/x") && QFile::link("x/../target", storePath()));
        QVERIFY(!lom::flushColumnStore());
        QCOMPARE(fileContents(storePath()), before);
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            (QStringList { "columns.ini", "sub", "target", "x" }));

        // And the records stay pending for the next attempt
        QVERIFY(QDir(dir).removeRecursively());
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(savedKeys("Layers"), (QStringList { "Name", "Pending" }));
    }

private:
    QString storePath() const { return m_dir->path() + "/corvane/columns.ini"; }

    std::unique_ptr<QTemporaryDir> m_dir;
};

int main(int argc, char** argv)
{
    if (argc > 2 && qstrcmp(argv[1], "--child-write") == 0) {
        // The other process of the persistence test: writes the records (triples of table, column
        // and width, each at position 2) and ends without flushing; "app" with an application
        // object that never enters its event loop, "bare" without one.
        std::unique_ptr<QCoreApplication> app(
            qstrcmp(argv[2], "app") == 0 ? new QCoreApplication(argc, argv) : nullptr);
        for (int i = 3; i + 2 < argc; i += 3)
            writeRecord(QString::fromUtf8(argv[i]), argv[i + 1], atoi(argv[i + 2]), 2);
        return 0;
    }
    QCoreApplication app(argc, argv);
    tst_LoomColumnStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_loomcolumnstore.moc"
