// Corvane.Core tests.
#include "support/messagecapture.h"

#include <loom/columnstore.h>
#include <lumen/strings.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <limits>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

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
    const wxArrayString keys = lom::getSavedColumnDataList(lum::wxFromQt(table));
    QStringList result;
    for (const wxString& key : keys)
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

// The second process of the persistence tests: writes records (table, column, width, position
// each) and ends normally, without flushing on its own. "app" runs with a QCoreApplication that
// never enters its event loop, "bare" without any application object.
int runChild(int argc, char** argv)
{
    if (argc < 7 || (argc - 3) % 4 != 0)
        return 2;
    const QString mode = QString::fromUtf8(argv[2]);
    std::unique_ptr<QCoreApplication> app;
    if (mode == QLatin1String("app"))
        app = std::make_unique<QCoreApplication>(argc, argv);
    for (int i = 3; i + 3 < argc; i += 4) {
        writeRecord(QString::fromUtf8(argv[i]), QString::fromUtf8(argv[i + 1]), atoi(argv[i + 2]), atoi(argv[i + 3]));
    }
    return 0;
}

bool runWriterProcess(const QString& configHome, const QString& mode, const QStringList& records)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    child.setProcessEnvironment(environment);
    child.start(
        QCoreApplication::applicationFilePath(), QStringList { QStringLiteral("--child-write"), mode } + records);
    return child.waitForFinished(30000) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0
        && child.readAllStandardError().isEmpty();
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
        QFile::setPermissions(
            m_dir->path() + QStringLiteral("/corvane"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_dir.reset();
    }

    void shouldRoundTripAnyKey_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");

        QTest::newRow("plain") << QStringLiteral("LayerTable") << QStringLiteral("Name");
        QTest::newRow("empty table key") << QString() << QStringLiteral("Name");
        QTest::newRow("empty column key") << QStringLiteral("Layers") << QString();
        QTest::newRow("slashes") << QStringLiteral("a/b/../c") << QStringLiteral("/x/");
        QTest::newRow("backslashes") << QStringLiteral("C:\\Drawings\\") << QStringLiteral("\\n");
        QTest::newRow("equals") << QStringLiteral("a=b") << QStringLiteral("=1,2");
        QTest::newRow("brackets") << QStringLiteral("[Layers]") << QStringLiteral("]x[");
        QTest::newRow("spaces") << QStringLiteral(" padded table ") << QStringLiteral("  ");
        QTest::newRow("dots") << QStringLiteral("..") << QStringLiteral(".");
        QTest::newRow("config specials") << QStringLiteral("!immutable") << QStringLiteral("#comment;");
        QTest::newRow("encoding lookalikes") << QStringLiteral("%0041_a*") << QStringLiteral("_A%");
        QTest::newRow("control characters") << QStringLiteral("line\nbreak") << QStringLiteral("tab\there\r");
        QTest::newRow("cyrillic and cjk") << QStringLiteral("Слои") << QStringLiteral("線の太さ");
        QTest::newRow("outside bmp") << QStringLiteral("\U0001F4D0 plans") << QStringLiteral("\U00010400");
        QTest::newRow("quotes") << QStringLiteral("\"quoted\"") << QStringLiteral("'single'");
        QTest::newRow("long") << QString(500, QLatin1Char('L')) << QString(300, QChar(0x00e9));
    }

    void shouldRoundTripAnyKey()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        cvtest::MessageCapture debug;

        // Given a record written and flushed by one store
        writeRecord(table, column, 140, 3);
        QVERIFY(lom::flushColumnStore());

        // When a fresh store reads the file
        lom::resetColumnStore();

        // Then the keys and the record come back exactly, and the file was read as sound
        QCOMPARE(savedKeys(table), QStringList { column });
        const Record record = readRecord(table, column);
        QCOMPARE(record.width, 140);
        QCOMPARE(record.position, 3);
        QCOMPARE(record.hidden, false);
        QVERIFY2(debug.messages().isEmpty(), qPrintable(debug.messages().join(QLatin1Char('\n'))));
    }

    void shouldKeepTablesApart_data()
    {
        QTest::addColumn<QString>("firstTable");
        QTest::addColumn<QString>("firstColumn");
        QTest::addColumn<QString>("secondTable");
        QTest::addColumn<QString>("secondColumn");

        QTest::newRow("path split") << QStringLiteral("a/b") << QStringLiteral("c") << QStringLiteral("a")
                                    << QStringLiteral("b/c");
        QTest::newRow("parent path") << QStringLiteral("x/..") << QStringLiteral("c") << QString() << QStringLiteral("c");
        QTest::newRow("case") << QStringLiteral("Layers") << QStringLiteral("Name") << QStringLiteral("layers")
                              << QStringLiteral("Name");
        QTest::newRow("column case") << QStringLiteral("Layers") << QStringLiteral("Name") << QStringLiteral("Layers")
                                     << QStringLiteral("NAME");
        QTest::newRow("empty and space") << QString() << QStringLiteral("c") << QStringLiteral(" ") << QStringLiteral("c");
        QTest::newRow("group header") << QStringLiteral("a]\n[b") << QStringLiteral("c") << QStringLiteral("b")
                                      << QStringLiteral("c");
        QTest::newRow("record inside key") << QStringLiteral("t") << QStringLiteral("c\nc=1,1") << QStringLiteral("t")
                                           << QStringLiteral("c");
    }

    void shouldKeepTablesApart()
    {
        QFETCH(QString, firstTable);
        QFETCH(QString, firstColumn);
        QFETCH(QString, secondTable);
        QFETCH(QString, secondColumn);

        // Given two records whose keys would meet in a naive path or a case-blind lookup
        writeRecord(firstTable, firstColumn, 11, 1);
        writeRecord(secondTable, secondColumn, 22, 2);
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();

        // Then each table holds only its own record
        QCOMPARE(readRecord(firstTable, firstColumn).width, 11);
        QCOMPARE(readRecord(secondTable, secondColumn).width, 22);
        if (firstTable != secondTable) {
            QCOMPARE(savedKeys(firstTable), QStringList { firstColumn });
            QCOMPARE(savedKeys(secondTable), QStringList { secondColumn });
            QCOMPARE(readRecord(firstTable, secondColumn).width, firstColumn == secondColumn ? 11 : notFound);
        } else {
            QStringList both { firstColumn, secondColumn };
            both.sort();
            QCOMPARE(savedKeys(firstTable), both);
        }
    }

    void shouldReportStoredWidthAndHiddenState_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("hidden");
        QTest::newRow("no record: arguments untouched") << false << 80 << false;
        QTest::newRow("visible") << true << 120 << false;
        QTest::newRow("hidden") << true << 0 << true;
        QTest::newRow("negative width from resize") << true << -5 << false;
        QTest::newRow("largest") << true << std::numeric_limits<int>::max() << false;
        QTest::newRow("smallest") << true << std::numeric_limits<int>::min() << false;
    }
    void shouldReportStoredWidthAndHiddenState()
    {
        QFETCH(bool, stored);
        QFETCH(int, width);
        QFETCH(bool, hidden);
        // A later record of the same column replaces the earlier one
        writeRecord(QStringLiteral("Layers"), stored ? QStringLiteral("Name") : QStringLiteral("Other"), 777, 9);
        if (stored)
            writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), width, -4);
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(savedKeys(QStringLiteral("Layers")).size(), 1);
        QVERIFY(savedKeys(QStringLiteral("Unknown")).isEmpty());
        for (const bool presetHidden : { false, true }) {
            bool reportedHidden = presetHidden;
            int position = 42;
            QCOMPARE(lom::readColumnDataFromRegistry(wxT("Name"), 80, 0, reportedHidden, position, wxT("Layers")), width);
            QCOMPARE(reportedHidden, stored ? hidden : presetHidden);
            QCOMPARE(position, stored ? -4 : 42);
        }
    }

    void shouldWriteFileWhenControlReturnsToEventLoop()
    {
        // Given a whole layout written without an explicit flush
        for (int column = 0; column < 100; ++column)
            writeRecord(QStringLiteral("Layers"), QStringLiteral("Column %1").arg(column), 60 + column, column);
        QVERIFY(!QFile::exists(storePath()));

        // When control returns to the event loop, the file holds every record
        QTRY_VERIFY(QFile::exists(storePath()));
        lom::resetColumnStore();
        QCOMPARE(savedKeys(QStringLiteral("Layers")).size(), 100);
        QCOMPARE(readRecord(QStringLiteral("Layers"), QStringLiteral("Column 99")).width, 159);
    }

    void shouldPersistAcrossProcesses_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("application without event loop") << QStringLiteral("app");
        QTest::newRow("no application object") << QStringLiteral("bare");
    }

    void shouldPersistAcrossProcesses()
    {
        QFETCH(QString, mode);

        // Given a record this process already stored
        writeRecord(QStringLiteral("Layouts"), QStringLiteral("Mine"), 33, 1);
        QVERIFY(lom::flushColumnStore());

        // When another process writes a record and exits normally without flushing
        QVERIFY(runWriterProcess(m_dir->path(), mode,
            { QStringLiteral("Layouts/Ω"), QStringLiteral("Width [px]"), QStringLiteral("77"), QStringLiteral("2") }));

        // Then a store that reads the file again sees what that process wrote
        lom::resetColumnStore();
        const Record record = readRecord(QStringLiteral("Layouts/Ω"), QStringLiteral("Width [px]"));
        QCOMPARE(record.width, 77);
        QCOMPARE(record.position, 2);
        QCOMPARE(savedKeys(QStringLiteral("Layouts")), QStringList { QStringLiteral("Mine") });
    }

    void shouldKeepRecordsThatAnotherProcessStored()
    {
        // Given this process has read the store, holds an unflushed record, and writes again a value it already stored
        writeRecord(QStringLiteral("Shared"), QStringLiteral("Stale"), 10, 0);
        writeRecord(QStringLiteral("Shared"), QStringLiteral("Again"), 5, 0);
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(readRecord(QStringLiteral("Shared"), QStringLiteral("Stale")).width, 10);
        writeRecord(QStringLiteral("Mine"), QStringLiteral("A"), 1, 0);

        // When another process stores other records, and two that this process writes afterwards
        const QStringList theirs { QStringLiteral("Theirs"), QStringLiteral("B"), QStringLiteral("77"), QStringLiteral("1"),
            QStringLiteral("Shared"), QStringLiteral("Stale"), QStringLiteral("20"), QStringLiteral("2"),
            QStringLiteral("Mine"), QStringLiteral("A"), QStringLiteral("99"), QStringLiteral("3"),
            QStringLiteral("Shared"), QStringLiteral("Again"), QStringLiteral("66"), QStringLiteral("4") };
        QVERIFY(runWriterProcess(m_dir->path(), QStringLiteral("bare"), theirs));
        writeRecord(QStringLiteral("Shared"), QStringLiteral("Again"), 5, 0);
        QVERIFY(lom::flushColumnStore());

        // Then the file keeps both processes' records, and each record holds the value written last
        QCOMPARE(readRecord(QStringLiteral("Theirs"), QStringLiteral("B")).width, 77);
        lom::resetColumnStore();
        QCOMPARE(readRecord(QStringLiteral("Mine"), QStringLiteral("A")).width, 1);
        QCOMPARE(readRecord(QStringLiteral("Theirs"), QStringLiteral("B")).width, 77);
        QCOMPARE(readRecord(QStringLiteral("Shared"), QStringLiteral("Stale")).width, 20);
        QCOMPARE(readRecord(QStringLiteral("Shared"), QStringLiteral("Again")).width, 5);
    }

    void shouldKeepFileDamagedSinceLoadingAside()
    {
        // Given a store read from a sound file, with a pending record
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), 120, 0);
        QVERIFY(lom::flushColumnStore());
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Color"), 40, 1);

        // When the file is damaged before the store writes again
        const QByteArray damage("[tlayers]\ncname=1,2\n\x01\x02 not a record\n");
        QVERIFY(writeFile(storePath(), damage));
        cvtest::MessageCapture debug;
        QVERIFY(lom::flushColumnStore());

        // Then the damaged file is kept aside, not overwritten, and the new file holds every record
        const QString aside = storePath() + QStringLiteral(".damaged");
        QCOMPARE(debug.messages(), QStringList { damagedMessage(aside) });
        QVERIFY(fileContents(aside) == damage);
        lom::resetColumnStore();
        QCOMPARE(savedKeys(QStringLiteral("Layers")), (QStringList { QStringLiteral("Color"), QStringLiteral("Name") }));
        QCOMPARE(savedKeys(QStringLiteral("layers")), QStringList { QStringLiteral("name") });
    }

    void shouldReplaceFileWithoutLeavingTemporaries()
    {
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), 120, 0);
        QVERIFY(lom::flushColumnStore());
        const QByteArray first = fileContents(storePath());
        QVERIFY(!first.isEmpty());
        QCOMPARE(storeDirEntries(), QStringList { QStringLiteral("columns.ini") });

        writeRecord(QStringLiteral("Layers"), QStringLiteral("Color"), 40, 1);
        QVERIFY(lom::flushColumnStore());

        QCOMPARE(storeDirEntries(), QStringList { QStringLiteral("columns.ini") });
        QVERIFY(fileContents(storePath()) != first);
        lom::resetColumnStore();
        QCOMPARE(savedKeys(QStringLiteral("Layers")), (QStringList { QStringLiteral("Color"), QStringLiteral("Name") }));
    }

    void shouldKeepOldFileWhenWritingFails()
    {
        // Given a stored layout
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), 120, 0);
        QVERIFY(lom::flushColumnStore());
        const QByteArray before = fileContents(storePath());

        // When the disk refuses the new file halfway (a file size limit stands in for a full disk)
        for (int column = 0; column < 50; ++column)
            writeRecord(QStringLiteral("Layers"), QStringLiteral("Column %1").arg(column), 10, column + 1);
        rlimit original {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &original), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = original;
        limited.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool flushed = lom::flushColumnStore();
        setrlimit(RLIMIT_FSIZE, &original);
        std::signal(SIGXFSZ, previousHandler);

        // Then the old file is intact, nothing half-written is left, and the records stay pending
        QVERIFY(!flushed);
        QCOMPARE(fileContents(storePath()), before);
        QCOMPARE(storeDirEntries(), QStringList { QStringLiteral("columns.ini") });
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(savedKeys(QStringLiteral("Layers")).size(), 51);
    }

    void shouldKeepOldFileInReadOnlyDirectory()
    {
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), 120, 0);
        QVERIFY(lom::flushColumnStore());
        const QByteArray before = fileContents(storePath());
        const QString dir = m_dir->path() + QStringLiteral("/corvane");
        QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
        if (QFile(dir + QStringLiteral("/probe")).open(QIODevice::WriteOnly))
            QSKIP("Permissions do not bind this user (root); the file size limit test covers failed writes");

        writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), 60, 2);
        QVERIFY(!lom::flushColumnStore());
        QCOMPARE(fileContents(storePath()), before);
        QCOMPARE(readRecord(QStringLiteral("Layers"), QStringLiteral("Name")).width, 60);
    }

    void shouldKeepRecordsWhenDirectoryCannotBeCreated()
    {
        // Given a configuration directory that is blocked by a plain file
        const QString blocker = m_dir->path() + QStringLiteral("/blocked");
        QVERIFY(writeFile(blocker, "not a directory"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker));
        lom::resetColumnStore();
        cvtest::MessageCapture debug;

        // When a layout is written, the file cannot be, yet the records answer and nothing else changes
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), 90, 1);
        QVERIFY(!lom::flushColumnStore());
        QCOMPARE(readRecord(QStringLiteral("Layers"), QStringLiteral("Name")).width, 90);
        QCOMPARE(fileContents(blocker), QByteArray("not a directory"));
        QVERIFY(debug.messages().isEmpty());
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

    void shouldKeepDamagedFileAside_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("readable"); // "table|column|width|position" of every record that survives

        QRandomGenerator random(20261206);
        QByteArray binary(4096, Qt::Uninitialized);
        for (char& byte : binary)
            byte = static_cast<char>(random.bounded(256));
        binary[100] = '\0';
        QByteArray enormous = "[tlayers]\ncname=120,0\n";
        const QByteArray junk = QByteArray(200, 'x') + '\n';
        while (enormous.size() < 24 * 1024 * 1024)
            enormous += junk;
        enormous += "cwidth=30,1\n";

        QTest::newRow("binary") << binary << QStringList();
        QTest::newRow("truncated record") << QByteArray("[t_layers]\ncname=120,0\ncco")
                                          << QStringList { QStringLiteral("Layers|name|120|0") };
        QTest::newRow("truncated value") << QByteArray("[tlayers]\ncname=120,") << QStringList();
        QTest::newRow("truncated group") << QByteArray("[tlayers]\ncname=1,2\n[tlay")
                                         << QStringList { QStringLiteral("layers|name|1|2") };
        QTest::newRow("duplicate record") << QByteArray("[tlayers]\ncname=1,2\ncname=3,4\n")
                                          << QStringList { QStringLiteral("layers|name|3|4") };
        QTest::newRow("non-numeric width") << QByteArray("[tlayers]\ncname=wide,1\ncco=10,2\n")
                                           << QStringList { QStringLiteral("layers|co|10|2") };
        QTest::newRow("missing value") << QByteArray("[tlayers]\ncname=\ncco=10,2\n")
                                       << QStringList { QStringLiteral("layers|co|10|2") };
        QTest::newRow("missing position") << QByteArray("[tlayers]\ncname=10\n") << QStringList();
        QTest::newRow("overflowing width") << QByteArray("[tlayers]\ncname=99999999999,1\n") << QStringList();
        QTest::newRow("record outside a table")
            << QByteArray("cname=1,2\n[tt]\ncx=3,4\n") << QStringList { QStringLiteral("t|x|3|4") };
        QTest::newRow("foreign group") << QByteArray("[Layers]\ncname=1,2\n[tt]\ncx=3,4\n")
                                       << QStringList { QStringLiteral("t|x|3|4") };
        QTest::newRow("second spelling of a key") << QByteArray("[tlayers]\nc%0061=1,2\n") << QStringList();
        QTest::newRow("nested group") << QByteArray("[tlayers/tx]\ncname=1,2\n") << QStringList();
        QTest::newRow("enormous") << enormous
                                  << QStringList { QStringLiteral("layers|name|120|0"),
                                         QStringLiteral("layers|width|30|1") };
    }

    void shouldKeepDamagedFileAside()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, readable);

        // Given a damaged file
        QVERIFY(writeFile(storePath(), contents));
        const QString aside = storePath() + QStringLiteral(".damaged");

        // When the store first reads it
        {
            cvtest::MessageCapture debug;
            QCOMPARE(savedKeys(QStringLiteral("nothing")), QStringList());

            // Then it says so once and keeps the file aside, byte for byte
            QCOMPARE(debug.messages(), QStringList { damagedMessage(aside) });
            QVERIFY(fileContents(aside) == contents);
        }

        // And it starts from what it could read, which reaches a sound file again
        const auto checkReadable = [&readable] {
            for (const QString& line : readable) {
                const QStringList parts = line.split(QLatin1Char('|'));
                const Record record = readRecord(parts[0], parts[1]);
                QCOMPARE(record.width, parts[2].toInt());
                QCOMPARE(record.position, parts[3].toInt());
                QVERIFY(savedKeys(parts[0]).contains(parts[1]));
            }
        };
        checkReadable();
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        cvtest::MessageCapture debug;
        checkReadable();
        QVERIFY(debug.messages().isEmpty());
        QVERIFY(fileContents(aside) == contents);
    }

    void shouldNeverOverwriteEarlierDamagedFile()
    {
        const QString aside = storePath() + QStringLiteral(".damaged");
        QVERIFY(writeFile(aside, "first damage"));
        QVERIFY(writeFile(aside + QStringLiteral("-1"), "second damage"));
        QVERIFY(writeFile(storePath(), "third damage"));

        cvtest::MessageCapture debug;
        QCOMPARE(savedKeys(QString()), QStringList());

        QCOMPARE(debug.messages(), QStringList { damagedMessage(aside + QStringLiteral("-2")) });
        QCOMPARE(fileContents(aside), QByteArray("first damage"));
        QCOMPARE(fileContents(aside + QStringLiteral("-1")), QByteArray("second damage"));
        QCOMPARE(fileContents(aside + QStringLiteral("-2")), QByteArray("third damage"));
    }

    void shouldKeepUnreadableFileAside()
    {
        // Given a store path that cannot be read as a file
        QVERIFY(QDir().mkpath(storePath()));
        QVERIFY(writeFile(storePath() + QStringLiteral("/inside"), "kept"));

        cvtest::MessageCapture debug;
        writeRecord(QStringLiteral("Layers"), QStringLiteral("Name"), 90, 1);

        QCOMPARE(debug.messages(), QStringList { damagedMessage(storePath() + QStringLiteral(".damaged")) });
        QCOMPARE(fileContents(storePath() + QStringLiteral(".damaged/inside")), QByteArray("kept"));
        QVERIFY(lom::flushColumnStore());
        lom::resetColumnStore();
        QCOMPARE(readRecord(QStringLiteral("Layers"), QStringLiteral("Name")).width, 90);
    }

    void shouldNeverWriteOverDamagedFileItCannotKeepAside()
    {
        // Given a damaged file in a directory that refuses renames
        const QByteArray contents("[tlayers]\ncname=120,0\ngarbage\n");
        QVERIFY(writeFile(storePath(), contents));
        const QString dir = m_dir->path() + QStringLiteral("/corvane");
        QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
        if (QFile(dir + QStringLiteral("/probe")).open(QIODevice::WriteOnly))
            QSKIP("Permissions do not bind this user (root)");
        cvtest::MessageCapture debug;

        // When the store reads it and is asked to write
        QCOMPARE(readRecord(QStringLiteral("layers"), QStringLiteral("name")).width, 120);
        writeRecord(QStringLiteral("layers"), QStringLiteral("other"), 10, 1);

        // Then it says so, keeps working in memory, and leaves the file as it was even when writing is possible again
        QCOMPARE(debug.messages(),
            QStringList { QStringLiteral("Column layout store damaged and not writable, left untouched at \"%1\"")
                              .arg(storePath()) });
        QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(!lom::flushColumnStore());
        QCOMPARE(fileContents(storePath()), contents);
        QCOMPARE(readRecord(QStringLiteral("layers"), QStringLiteral("other")).width, 10);
    }

private:
    QString storePath() const { return m_dir->path() + QStringLiteral("/corvane/columns.ini"); }
    QStringList storeDirEntries() const
    {
        return QDir(m_dir->path() + QStringLiteral("/corvane"))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_home;
};

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child-write") == 0)
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    tst_LoomColumnStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_loomcolumnstore.moc"
