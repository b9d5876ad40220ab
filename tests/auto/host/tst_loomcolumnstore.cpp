// Corvane.Core tests.
#include "support/messagecapture.h"

#include <loom/columnstore.h>
#include <lumen/strings.h>

#include <QDir>
#include <QFile>
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

struct Record
{
    int width = notFound;
    int position = notFound;
    bool hidden = false;
};

Record readRecord(const QString& table, const QString& column)
{
    Record record;
    record.width = lom::readColumnDataFromRegistry(
        lum::wxFromQt(column), notFound, 7, record.hidden, record.position, lum::wxFromQt(table));
    return record;
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

QString damagedMessage(const QString& asidePath)
{
    return QStringLiteral("Column layout store damaged, kept aside as \"%1\"").arg(asidePath);
}

// The second process of the persistence test: writes records (table, column, width, position
// each) and ends normally without flushing; "app" with a QCoreApplication that never enters its
// event loop, "bare" without any application object.
int runChild(int argc, char** argv)
{
    std::unique_ptr<QCoreApplication> app;
    if (qstrcmp(argv[2], "app") == 0)
        app = std::make_unique<QCoreApplication>(argc, argv);
    for (int i = 3; i + 3 < argc; i += 4)
        writeRecord(QString::fromUtf8(argv[i]), QString::fromUtf8(argv[i + 1]), atoi(argv[i + 2]), atoi(argv[i + 3]));
    return 0;
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
        m_home = qgetenv("HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->path()));
        lom::resetColumnStore();
    }

    void cleanup()
    {
        lom::resetColumnStore();
        qputenv("HOME", m_home);
        m_dir.reset();
    }

    void shouldRoundTripAnyKeyApartFromOthers_data()
    {
        QTest::addColumn<QStringList>("first"); // table, column
        QTest::addColumn<QStringList>("second");
        const auto row = [](const char* name, const QStringList& first, const QStringList& second) {
            QTest::newRow(name) << first << second;
        };
        row("empty and blank", { "", "" }, { " ", "  " });
        row("path split", { "a/b", "c" }, { "a", "b/c" });
        row("parent path", { "x/..", ".." }, { "", "." });
        row("case", { "Layers", "Name" }, { "layers", "NAME" });
        row("group header and record in keys", { "a]\n[b", "c\nc=1,1" }, { "b", "c" });
        row("config specials", { "!immutable", "#comment;" }, { "C:\\Drawings\\", "=1,2" });
        row("encoding lookalikes", { "%0041_a*", "_A%" }, { "A_a*", "%0041" });
        row("other scripts", { "Слои", "\U0001F4D0 plans" }, { "線の太さ", "\U00010400" });
        row("control characters and quotes", { "line\nbreak", "\"q\"" }, { "tab\there\r", "'s'" });
        row("long", { QString(500, 'L'), QString(300, QChar(0xe9)) }, { QString(499, 'L'), QString(300, 'e') });
    }

    void shouldRoundTripAnyKeyApartFromOthers()
    {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        cvtest::MessageCapture debug;
        writeRecord(first[0], first[1], 11, 1);
        writeRecord(second[0], second[1], 22, 2);
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();

        // A fresh store reads the file as sound, and each table holds exactly its own record
        const Record one = readRecord(first[0], first[1]);
        const Record two = readRecord(second[0], second[1]);
        QCOMPARE((QList<int> { one.width, one.position, two.width, two.position }), (QList<int> { 11, 1, 22, 2 }));
        QCOMPARE(savedKeys(first[0]), QStringList { first[1] });
        QCOMPARE(savedKeys(second[0]), QStringList { second[1] });
        QVERIFY2(debug.messages().isEmpty(), qPrintable(debug.messages().join(QLatin1Char('\n'))));
    }

    void shouldReportStoredWidthAndHiddenState_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("width");
        QTest::newRow("no record: arguments untouched") << false << 80;
        QTest::newRow("visible") << true << 120;
        QTest::newRow("hidden") << true << 0;
        QTest::newRow("negative width from resize") << true << -5;
        QTest::newRow("largest") << true << INT_MAX;
        QTest::newRow("smallest") << true << INT_MIN;
    }

    void shouldReportStoredWidthAndHiddenState()
    {
        QFETCH(bool, stored);
        QFETCH(int, width);
        // A later record of the same column replaces the earlier one
        writeRecord(QStringLiteral("Layers"), stored ? QStringLiteral("Name") : QStringLiteral("Other"), 777, 9);
        if (stored)
            writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), width, -4);
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(savedKeys(QStringLiteral("Layers")).size(), 1);
        QVERIFY(savedKeys(QStringLiteral("Unknown")).isEmpty());
        for (const bool presetHidden : { false, true }) {
            bool hidden = presetHidden;
            int position = 42;
            QCOMPARE(lom::readColumnDataFromRegistry(wxT("Name"), 80, 0, hidden, position, wxT("Layers")), width);
            QCOMPARE(hidden, stored ? width == 0 : presetHidden);
            QCOMPARE(position, stored ? -4 : 42);
        }
    }

    void shouldWriteFileWhenControlReturnsToEventLoop()
    {
        for (int column = 0; column < 100; ++column)
            writeRecord(QStringLiteral("Layers"), QStringLiteral("Column %1").arg(column), 60 + column, column);
        QVERIFY(!QFile::exists(storePath()));
        QTRY_VERIFY(QFile::exists(storePath()));
        lom::resetColumnStore();
        QCOMPARE(savedKeys(QStringLiteral("Layers")).size(), 100);
        QCOMPARE(readRecord(QStringLiteral("Layers"), QStringLiteral("Column 99")).width, 159);
    }

    void shouldKeepRecordsThatAnotherProcessStored_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("application without event loop") << QStringLiteral("app");
        QTest::newRow("no application object") << QStringLiteral("bare");
    }

    void shouldKeepRecordsThatAnotherProcessStored()
    {
        QFETCH(QString, mode);
        // Given this process has read the store and holds an unflushed record
        writeRecord(QStringLiteral("Shared"), QStringLiteral("Stale"), 10, 0);
        writeRecord(QStringLiteral("Shared"), QStringLiteral("Again"), 5, 0);
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(readRecord(QStringLiteral("Shared"), QStringLiteral("Stale")).width, 10);
        writeRecord(QStringLiteral("Mine"), QStringLiteral("A"), 1, 0);

        // When another process stores records and ends normally without flushing, and this one
        // then writes again a value it had already stored
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir->path());
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--child-write"), mode, QStringLiteral("Theirs/Ω"), QStringLiteral("Width [px]"),
                QStringLiteral("77"), QStringLiteral("2"), QStringLiteral("Shared"), QStringLiteral("Stale"),
                QStringLiteral("20"), QStringLiteral("2"), QStringLiteral("Mine"), QStringLiteral("A"),
                QStringLiteral("99"), QStringLiteral("3"), QStringLiteral("Shared"), QStringLiteral("Again"),
                QStringLiteral("66"), QStringLiteral("4") });
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(child.readAllStandardError(), QByteArray());
        writeRecord(QStringLiteral("Shared"), QStringLiteral("Again"), 5, 0);
        QVERIFY(lom::flushColumnStore());

        // Then the file keeps both processes' records, and each record holds the value written last
        QCOMPARE(readRecord(QStringLiteral("Theirs/Ω"), QStringLiteral("Width [px]")).width, 77);
        lom::resetColumnStore();
        const Record theirs = readRecord(QStringLiteral("Theirs/Ω"), QStringLiteral("Width [px]"));
        QCOMPARE((QList<int> { theirs.width, theirs.position }), (QList<int> { 77, 2 }));
        QCOMPARE(readRecord(QStringLiteral("Mine"), QStringLiteral("A")).width, 1);
        QCOMPARE(readRecord(QStringLiteral("Shared"), QStringLiteral("Stale")).width, 20);
        QCOMPARE(readRecord(QStringLiteral("Shared"), QStringLiteral("Again")).width, 5);
    }

    void shouldKeepDamagedFileAside_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("readable"); // "table|column|width|position" of every record that survives
        QByteArray binary(4096, Qt::Uninitialized);
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 7919) % 256);
        const auto row = [](const char* name, const QByteArray& contents, const QStringList& readable) {
            QTest::newRow(name) << contents << readable;
        };
        row("binary", binary, {});
        row("truncated record", "[t_layers]\ncname=120,0\ncco", { "Layers|name|120|0" });
        row("truncated value", "[tlayers]\ncname=120,", {});
        row("truncated group", "[tlayers]\ncname=1,2\n[tlay", { "layers|name|1|2" });
        row("duplicate record", "[tlayers]\ncname=1,2\ncname=3,4\n", { "layers|name|3|4" });
        row("non-numeric width", "[tlayers]\ncname=wide,1\ncco=10,2\n", { "layers|co|10|2" });
        row("missing position", "[tlayers]\ncname=10\n", {});
        row("overflowing width", "[tlayers]\ncname=99999999999,1\n", {});
        row("record outside a table", "cname=1,2\n[tt]\ncx=3,4\n", { "t|x|3|4" });
        row("foreign group", "[Layers]\ncname=1,2\n[tt]\ncx=3,4\n", { "t|x|3|4" });
        row("line without a value", "[tt]\ncx=3,4\ncname\n", { "t|x|3|4" });
        row("second spelling of a key", "[tlayers]\nc%0061=1,2\n", {});
        row("nested group", "[tlayers/tx]\ncname=1,2\n", {});
    }

    void shouldKeepDamagedFileAside()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, readable);
        QVERIFY(writeFile(storePath(), contents));
        const QString aside = storePath() + QStringLiteral(".damaged");
        // The first read says so once and keeps the file aside byte for byte; the store starts from
        // what it could read, which reaches a sound file that the next start reads silently
        for (int pass = 0; pass < 2; ++pass) {
            cvtest::MessageCapture debug;
            QCOMPARE(savedKeys(QStringLiteral("nothing")), QStringList());
            QCOMPARE(debug.messages(), pass == 0 ? QStringList { damagedMessage(aside) } : QStringList());
            QCOMPARE(fileContents(aside), contents);
            for (const QString& line : readable) {
                const QStringList parts = line.split(QLatin1Char('|'));
                const Record record = readRecord(parts[0], parts[1]);
                QCOMPARE((QList<int> { record.width, record.position }), (QList<int> { parts[2].toInt(), parts[3].toInt() }));
                QVERIFY(savedKeys(parts[0]).contains(parts[1]));
            }
            QVERIFY(lom::flushColumnStore());
            lom::resetColumnStore();
        }
    }

    void shouldKeepFileDamagedSinceLoadingAside()
    {
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), 120, 0);
        QVERIFY(lom::flushColumnStore());
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Color"), 40, 1);
        const QByteArray damage("[tlayers]\ncname=1,2\n\x01\x02 not a record\n");
        QVERIFY(writeFile(storePath(), damage));
        cvtest::MessageCapture debug;
        QVERIFY(lom::flushColumnStore());
        QCOMPARE(debug.messages(), QStringList { damagedMessage(storePath() + QStringLiteral(".damaged")) });
        QCOMPARE(fileContents(storePath() + QStringLiteral(".damaged")), damage);
        lom::resetColumnStore();
        QCOMPARE(savedKeys(QStringLiteral("Layers")), (QStringList { QStringLiteral("Color"), QStringLiteral("Name") }));
        QCOMPARE(savedKeys(QStringLiteral("layers")), QStringList { QStringLiteral("name") });
    }

    void shouldNeverOverwriteEarlierDamagedFiles_data()
    {
        QTest::addColumn<int>("taken"); // ".damaged", ".damaged-1", ... exist already
        QTest::addColumn<QString>("aside"); // empty: left in place, never written
        QTest::newRow("two names taken") << 2 << QStringLiteral(".damaged-2");
        QTest::newRow("every name taken") << 999 << QString();
    }

    void shouldNeverOverwriteEarlierDamagedFiles()
    {
        QFETCH(int, taken);
        QFETCH(QString, aside);
        const QByteArray contents("[tlayers]\ncname=120,0\ngarbage\n");
        QVERIFY(writeFile(storePath(), contents));
        for (int i = 0; i < taken; ++i)
            QVERIFY(writeFile(storePath() + QStringLiteral(".damaged") + (i ? QStringLiteral("-%1").arg(i) : QString()), "old"));
        cvtest::MessageCapture debug;

        // The readable records answer and new ones are kept, in memory when the file cannot be put aside
        QCOMPARE(readRecord(QStringLiteral("layers"), QStringLiteral("name")).width, 120);
        writeRecord(QStringLiteral("layers"), QStringLiteral("other"), 10, 1);
        QCOMPARE(debug.messages(),
            QStringList { aside.isEmpty()
                    ? QStringLiteral("Column layout store damaged and not writable, left untouched at \"%1\"").arg(storePath())
                    : damagedMessage(storePath() + aside) });
        QCOMPARE(lom::flushColumnStore(), !aside.isEmpty());
        QCOMPARE(fileContents(storePath() + aside), contents);
        QCOMPARE(fileContents(storePath() + QStringLiteral(".damaged-1")), QByteArray("old"));
        QCOMPARE(readRecord(QStringLiteral("layers"), QStringLiteral("other")).width, 10);
    }

    void shouldKeepUnreadableFileAside()
    {
        QVERIFY(writeFile(storePath() + QStringLiteral("/inside"), "kept"));
        cvtest::MessageCapture debug;
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), 90, 1);
        QCOMPARE(debug.messages(), QStringList { damagedMessage(storePath() + QStringLiteral(".damaged")) });
        QCOMPARE(fileContents(storePath() + QStringLiteral(".damaged/inside")), QByteArray("kept"));
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(readRecord(QStringLiteral("Layers"), QStringLiteral("Name")).width, 90);
    }

    void shouldReportFailedWrites_data()
    {
        QTest::addColumn<int>("blocker");
        QTest::newRow("disk full (file size limit)") << 0;
        QTest::newRow("directory blocked by a file") << 1;
        QTest::newRow("replacing fails (name resolves to a directory)") << 2;
    }

    void shouldReportFailedWrites()
    {
        QFETCH(int, blocker);
        // Given a stored layout and more records pending
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), 120, 0);
        QVERIFY(lom::flushColumnStore());
        for (int column = 0; column < 50; ++column)
            writeRecord(QStringLiteral("Layers"), QStringLiteral("Column %1").arg(column), 10, column + 1);
        const QString dir = m_dir->path() + QStringLiteral("/corvane");
        const QByteArray before = fileContents(storePath());

        // When the file cannot be written, the flush says so, the old file is intact and nothing
        // half-written is left
        if (blocker == 0) {
            rlimit original {};
            QCOMPARE(getrlimit(RLIMIT_FSIZE, &original), 0);
            const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
            rlimit limited = original;
            limited.rlim_cur = 64;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
            const bool flushed = lom::flushColumnStore();
            setrlimit(RLIMIT_FSIZE, &original);
            std::signal(SIGXFSZ, previousHandler);
            QVERIFY(!flushed);
            QCOMPARE(fileContents(storePath()), before);
            QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList { "columns.ini" });
        } else if (blocker == 1) {
            QVERIFY(QDir(dir).removeRecursively());
            QVERIFY(writeFile(dir, "not a directory"));
            QVERIFY(!lom::flushColumnStore());
            QCOMPARE(fileContents(dir), QByteArray("not a directory"));
            QVERIFY(QFile::remove(dir));
        } else {
            // The file reached through "x" (sub/target) reads as sound, but the new file goes
            // where the link's text points (target), which is a directory.
            QVERIFY(QDir(dir).mkpath(QStringLiteral("sub/inner")) && QDir(dir).mkdir(QStringLiteral("target")));
            QVERIFY(QFile::rename(storePath(), dir + QStringLiteral("/sub/target")));
            QVERIFY(QFile::link(QStringLiteral("sub/inner"), dir + QStringLiteral("/x")));
            QVERIFY(QFile::link(QStringLiteral("x/../target"), storePath()));
            QVERIFY(!lom::flushColumnStore());
            QCOMPARE(fileContents(storePath()), before);
            QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                (QStringList { "columns.ini", "sub", "target", "x" }));
            QVERIFY(QDir(dir + QStringLiteral("/target")).isEmpty());
            QVERIFY(QDir(dir).removeRecursively());
        }

        // And the records stay pending for the next attempt
        QCOMPARE(readRecord(QStringLiteral("Layers"), QStringLiteral("Column 49")).width, 10);
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(savedKeys(QStringLiteral("Layers")).size(), 51);
    }

    void shouldFindConfigDirectory_data()
    {
        QTest::addColumn<QByteArray>("xdg"); // below the temporary directory unless relative or empty
        QTest::addColumn<QString>("file"); // below the temporary directory
        QTest::newRow("missing directories created") << QByteArray("/not/yet/there") << "/not/yet/there/corvane/columns.ini";
        QTest::newRow("unset: home") << QByteArray() << "/.config/corvane/columns.ini";
        QTest::newRow("relative: home") << QByteArray("relative/config") << "/.config/corvane/columns.ini";
    }

    void shouldFindConfigDirectory()
    {
        QFETCH(QByteArray, xdg);
        QFETCH(QString, file);
        qputenv("HOME", QFile::encodeName(m_dir->path()));
        if (xdg.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", xdg.startsWith('/') ? QFile::encodeName(m_dir->path()) + xdg : xdg);
        lom::resetColumnStore();
        QCOMPARE(lum::toQt(lom::columnStoreFilePath()), m_dir->path() + file);
        QCOMPARE(readRecord(QStringLiteral("Layers"), QStringLiteral("Name")).width, notFound);
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), 90, 1);
        QVERIFY(lom::flushColumnStore());
        QVERIFY(QFile::exists(m_dir->path() + file));
    }

private:
    QString storePath() const { return m_dir->path() + QStringLiteral("/corvane/columns.ini"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_home;
};

int main(int argc, char** argv)
{
    if (argc > 2 && qstrcmp(argv[1], "--child-write") == 0)
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    tst_LoomColumnStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_loomcolumnstore.moc"
