// Corvane.Core tests.
#include "support/messagecapture.h"

#include <loom/columnstore.h>
#include <lumen/strings.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>
#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace
{
const int notFound = -123456;

// Width and position of a record; notFound for both when there is none.
QList<int> readRecord(const QString& table, const QString& column)
{
    bool hidden = false;
    int position = notFound;
    const int width = lom::readColumnDataFromRegistry(
        lum::wxFromQt(column), notFound, 7, hidden, position, lum::wxFromQt(table));
    return { width, position };
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
        QVERIFY(m_dir->isValid());
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
        QTest::newRow("other scripts") << QStringList { "Слои", "\U0001F4D0 plans", "線の太さ", "\U00010400" };
        QTest::newRow("long") << QStringList { QString(500, 'L'), QString(300, QChar(0xe9)), QString(499, 'L'), "e" };
    }

    void shouldRoundTripAnyKeyApartFromOthers()
    {
        QFETCH(QStringList, keys);
        cvtest::MessageCapture debug;
        writeRecord(keys[0], keys[1], 11, 1);
        writeRecord(keys[2], keys[3], 22, 2);
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        // A fresh store reads the file as sound, and each table holds exactly its own record
        QCOMPARE(readRecord(keys[0], keys[1]) + readRecord(keys[2], keys[3]), (QList<int> { 11, 1, 22, 2 }));
        QCOMPARE(savedKeys(keys[0]) + savedKeys(keys[2]), (QStringList { keys[1], keys[3] }));
        QCOMPARE(debug.messages(), QStringList());
    }

    void shouldReportStoredWidthAndHiddenState()
    {
        // A later record of a column replaces the earlier one; width 0 is a hidden column
        const std::initializer_list<int> widths { 120, 0, -5, INT_MAX, INT_MIN };
        for (const int width : widths) {
            writeRecord("Layers", QString::number(width), 777, 9);
            writeRecord("Layers", QString::number(width), width, -4);
        }
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(savedKeys("Layers").size(), 5);
        QCOMPARE(savedKeys("Unknown"), QStringList());
        for (const int width : widths) {
            bool hidden = width != 0; // the opposite of the answer
            int position = 42;
            QCOMPARE(lom::readColumnDataFromRegistry(lum::wxFromQt(QString::number(width)), 80, 0, hidden, position, wxT("Layers")), width);
            QCOMPARE((QList<int> { hidden, position }), (QList<int> { width == 0, -4 }));
        }
        // Without a record: the default width, and the caller's presets stand
        bool hidden = true;
        int position = 42;
        QCOMPARE(lom::readColumnDataFromRegistry(wxT("None"), 80, 0, hidden, position, wxT("Layers")), 80);
        QCOMPARE((QList<int> { hidden, position }), (QList<int> { true, 42 }));
    }

    void shouldKeepRecordsThatAnotherProcessStored()
    {
        // Given this process has read the store and holds an unflushed record
        writeRecord("Shared", "Stale", 10, 0);
        writeRecord("Shared", "Again", 5, 0);
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(readRecord("Shared", "Stale")[0], 10);
        writeRecord("Mine", "A", 1, 0);

        // When other processes store records and end normally without flushing, one with an
        // application object that never entered its event loop, one without, and this one then
        // writes again a value it had already stored
        for (const char* records : { "app Theirs/Ω Width 77 Shared Stale 20", "bare Mine A 99 Shared Again 66" }) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), QString("--child-write " + QString(records)).split(' '));
            QVERIFY(child.waitForFinished(30000) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0);
            QCOMPARE(child.readAllStandardError(), QByteArray());
        }
        writeRecord("Shared", "Again", 5, 0);
        QVERIFY(lom::flushColumnStore());

        // Then the file keeps both processes' records, and each record holds the value written last
        QCOMPARE(readRecord("Theirs/Ω", "Width"), (QList<int> { 77, 2 }));
        lom::resetColumnStore();
        QCOMPARE(readRecord("Theirs/Ω", "Width") + readRecord("Mine", "A"), (QList<int> { 77, 2, 1, 0 }));
        QCOMPARE(readRecord("Shared", "Stale") + readRecord("Shared", "Again"), (QList<int> { 20, 2, 5, 0 }));
    }

    void shouldKeepDamagedFileAside_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("readable"); // table, column, width, position of each record that survives
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary += char(i * 7919 % 256);
        QTest::newRow("binary") << binary << QStringList();
        QTest::newRow("truncated value") << QByteArray("[tlayers]\ncname=120,") << QStringList();
        QTest::newRow("duplicate record") << QByteArray("[tt]\ncname=1,2\ncname=3,4\n") << QStringList { "t", "name", "3", "4" };
        QTest::newRow("non-numeric width") << QByteArray("[tt]\ncname=wide,1\ncco=10,2\n") << QStringList { "t", "co", "10", "2" };
        QTest::newRow("overflowing width") << QByteArray("[tlayers]\ncname=99999999999,1\n") << QStringList();
        QTest::newRow("record outside a table") << QByteArray("cname=1,2\n[tt]\ncx=3,4\n") << QStringList { "t", "x", "3", "4" };
        QTest::newRow("foreign group") << QByteArray("[Layers]\ncname=1,2\n[tt]\ncx=3,4\n") << QStringList { "t", "x", "3", "4" };
        QTest::newRow("line without a value") << QByteArray("[tt]\ncx=3,4\ncname\n") << QStringList { "t", "x", "3", "4" };
        QTest::newRow("second spelling of a key") << QByteArray("[tlayers]\nc%0061=1,2\n") << QStringList();
    }

    void shouldKeepDamagedFileAside()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, readable);
        QVERIFY(writeFile(storePath(), contents) && writeFile(storePath() + ".damaged", "old")
            && writeFile(storePath() + ".damaged-1", "old"));
        // The first read says so once and keeps the file aside byte for byte, never over an earlier
        // one; the store starts from what it could read, which reaches a sound file that the next
        // start reads silently
        for (int pass = 0; pass < 2; ++pass) {
            cvtest::MessageCapture debug;
            QCOMPARE(savedKeys(readable.value(0)), readable.mid(1, 1));
            QCOMPARE(debug.messages(), pass == 0 ? QStringList { damagedMessage(".damaged-2") } : QStringList());
            QCOMPARE(fileContents(storePath() + ".damaged-2"), contents);
            QCOMPARE(fileContents(storePath() + ".damaged-1"), QByteArray("old"));
            if (!readable.isEmpty())
                QCOMPARE(readRecord(readable[0], readable[1]), (QList<int> { readable[2].toInt(), readable[3].toInt() }));
            QVERIFY(lom::flushColumnStore());
            lom::resetColumnStore();
        }
    }

    void shouldKeepFileDamagedSinceLoadingAside()
    {
        writeRecord("Layers", "Name", 120, 0);
        QVERIFY(lom::flushColumnStore());
        writeRecord("Layers", "Color", 40, 1);
        const QByteArray damage("[tlayers]\ncname=1,2\n\x01\x02 not a record\n");
        QVERIFY(writeFile(storePath(), damage));
        cvtest::MessageCapture debug;
        QVERIFY(lom::flushColumnStore());
        QCOMPARE(debug.messages(), QStringList { damagedMessage(".damaged") });
        QCOMPARE(fileContents(storePath() + ".damaged"), damage);
        lom::resetColumnStore();
        QCOMPARE(savedKeys("Layers") + savedKeys("layers"), (QStringList { "Color", "Name", "name" }));
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
            QStringList { QStringLiteral("Column layout store damaged and not writable, left untouched at \"%1\"").arg(storePath()) });
        QVERIFY(!lom::flushColumnStore());
        QCOMPARE(fileContents(storePath()), contents);
        QCOMPARE(fileContents(storePath() + ".damaged-998"), QByteArray("old"));
        QCOMPARE(readRecord("layers", "other")[0], 10);
    }

    void shouldReportFailedWrites()
    {
        // Given a stored layout and more records pending
        writeRecord("Layers", "Name", 120, 0);
        QVERIFY(lom::flushColumnStore());
        for (int column = 0; column < 20; ++column)
            writeRecord("Layers", QString::number(column), 10, column + 1);
        const QByteArray before = fileContents(storePath());
        const QString dir = m_dir->path() + "/corvane";
        const auto entries = [&dir] { return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); };

        // When the disk is full (a file size limit stands in for it)
        rlimit original {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &original), 0);
        rlimit limited = original;
        limited.rlim_cur = 64;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool flushed = lom::flushColumnStore();
        setrlimit(RLIMIT_FSIZE, &original);
        std::signal(SIGXFSZ, previousHandler);
        // Then the flush says so, the old file is intact and nothing half-written is left
        QVERIFY(!flushed);
        QCOMPARE(fileContents(storePath()), before);
        QCOMPARE(entries(), QStringList { "columns.ini" });

        // When the new file cannot replace the old one: the file reached through "x" (sub/target)
        // reads as sound, but the new file goes where the link's text points, to the directory "target"
        QVERIFY(QDir(dir).mkpath("sub/inner") && QDir(dir).mkdir("target"));
        QVERIFY(QFile::rename(storePath(), dir + "/sub/target"));
        QVERIFY(QFile::link("sub/inner", dir + "/x") && QFile::link("x/../target", storePath()));
        QVERIFY(!lom::flushColumnStore());
        QCOMPARE(fileContents(storePath()), before);
        QCOMPARE(entries(), (QStringList { "columns.ini", "sub", "target", "x" }));
        QVERIFY(QDir(dir + "/target").isEmpty());

        // And the records stay pending for the next attempt
        QVERIFY(QDir(dir).removeRecursively());
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(savedKeys("Layers").size(), 21);
    }

private:
    QString storePath() const { return m_dir->path() + "/corvane/columns.ini"; }
    QString damagedMessage(const QString& suffix) const
    {
        return QStringLiteral("Column layout store damaged, kept aside as \"%1\"").arg(storePath() + suffix);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

int main(int argc, char** argv)
{
    if (argc > 2 && qstrcmp(argv[1], "--child-write") == 0) {
        // The other process of the persistence test: writes the records (triples of table, column
        // and width, each at position 2) and ends without flushing; "app" with an application
        // object that never enters its event loop, "bare" without one.
        std::unique_ptr<QCoreApplication> app(qstrcmp(argv[2], "app") == 0 ? new QCoreApplication(argc, argv) : nullptr);
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
