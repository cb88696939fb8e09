// The settings store against real files in a private configuration folder.

#include "Files.h"
#include "settings/CRegSettings.h"
#include "settings/RegistryFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentimo;
using namespace zentimo::test;

namespace {

struct OddFile {
    const char* name;
    QByteArray content;
    const char* size = "d"; // what "Size" reads as, with "d" as the default asked for
    bool written = true;    // a value saved goes in
    int setAside = 0;       // copies kept beside the file
};

const QString kOptionsKey = QStringLiteral("[HKEY_CURRENT_USER\\Software\\Fernwick\\Zentimo\\Options]");

void setModified(const QString& path, time_t seconds, long nanoseconds = 123456789)
{
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
}

bool setMode(const QString& path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}
using Spoil = bool (*)(const QString& file);

// For this process's writes; up to the hard limit.
bool limitFileSize(rlim_t bytes)
{
    rlimit size{};
    if (::getrlimit(RLIMIT_FSIZE, &size) != 0)
        return false;
    size.rlim_cur = std::min(bytes, size.rlim_max);
    return ::setrlimit(RLIMIT_FSIZE, &size) == 0;
}

QByteArray options(const QByteArray& body, const QByteArray& header = "Zentimo Registry Version 1")
{
    return header + "\n\n" + kOptionsKey.toUtf8() + "\n" + body;
}

} // namespace
Q_DECLARE_METATYPE(OddFile)
Q_DECLARE_METATYPE(Spoil)

class TestCRegSettings : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
    CRegSettings m_store;

    bool save(const QString& name, const QString& text, const QString& section = "Options")
    {
        return m_store.SaveSetting(section, name, text);
    }
    QString get(const QString& name, const QString& fallback = {}, const QString& section = "Options")
    {
        return m_store.GetSetting(section, name, fallback);
    }

private Q_SLOTS:
    void initTestCase() { ::signal(SIGXFSZ, SIG_IGN); } // a write past the size limit fails instead

    void init()
    {
        // Memory-backed when there is one: syncing a thousand stress writes to a busy disk measures the disk.
        const QString shm = QStringLiteral("/dev/shm");
        const bool inMemory = QFileInfo(shm).isDir() && QFileInfo(shm).isWritable();
        m_dir = std::make_unique<QTemporaryDir>((inMemory ? shm : QDir::tempPath()) +
                                                QStringLiteral("/tst_cregsettings-XXXXXX"));
        QVERIFY(m_dir->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->path()));
        m_file = m_dir->path() + QStringLiteral("/zentimo/registry.reg");
        m_store = zentimoSettings();
    }

    void cleanup()
    {
        QVERIFY(limitFileSize(RLIM_INFINITY));
        for (const char* folder : {"/zentimo", "/elsewhere"})
            ::chmod(QFile::encodeName(m_dir->path() + folder).constData(), 0700);
        m_dir.reset();
    }

    // A copy in memory serves while the file keeps its identity, size and modification time to the
    // nanosecond; a file stamped in the future may change again within one clock step, so it is not trusted.
    void aChangedFileIsReadAgainAnUnchangedOneIsNot()
    {
        QVERIFY(writeFile(m_file, options("\"Size\"=\"1\"\n")));
        setModified(m_file, ::time(nullptr) + 3600);
        int before = RegistryFile::parseCount();
        QCOMPARE(get("Size"), QString("1"));
        QCOMPARE(get("Size"), QString("1"));
        QCOMPARE(RegistryFile::parseCount() - before, 2);
        // Stamped this very second: a whole-second clock may step twice with the file changed meanwhile.
        setModified(m_file, ::time(nullptr), 0);
        before = RegistryFile::parseCount();
        QCOMPARE(get("Size"), QString("1"));
        QCOMPARE(get("Size"), QString("1"));
        QCOMPARE(RegistryFile::parseCount() - before, 2);
        const time_t past = ::time(nullptr) - 2; // whole seconds, and beyond such a clock's step
        setModified(m_file, past, 0);
        QCOMPARE(get("Size"), QString("1"));
        before = RegistryFile::parseCount();
        QCOMPARE(get("Size"), QString("1"));
        QCOMPARE(m_store.GetAllOptions("Options"), (SettingPairs{{"Size", "1"}}));
        QCOMPARE(RegistryFile::parseCount(), before);
        QVERIFY(writeFile(m_file, options("\"Size\"=\"2\"\n")));
        setModified(m_file, past, 123456790);
        QCOMPARE(get("Size"), QString("2"));
        QCOMPARE(RegistryFile::parseCount() - before, 1);
    }

    // The file is private; a write lands whole or not at all.
    void savingIsPrivateAndAllOrNothing()
    {
        const QString presets = "Countdown Presets";
        QVERIFY(save("Preset0", "old", presets) && save("Extra", "x", presets) && save("Size", "1"));
        QVERIFY(save("Kept", "below", presets + "\\Hand Edit"));
        const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
        QCOMPARE(QFile::permissions(m_file), owner);
        const SettingPairs list{{"Preset0", "00:01:00"}, {"Preset1", "00:02:00"}};
        QVERIFY(m_store.ReplaceSection(presets, list));
        QCOMPARE(m_store.GetAllOptions(presets), list);
        QCOMPARE(get("Kept", {}, presets + "\\Hand Edit"), QString("below"));
        // A value that cannot be stored spoils the whole batch.
        const QString broken = QString(QChar(0xD800));
        QVERIFY(!m_store.SaveSettings("Options", {{"Size", "0"}, {"Sound File", broken}}));
        QVERIFY(!m_store.ReplaceSection(presets, {{"Preset0", broken}}));
        QCOMPARE(m_store.GetAllOptions(presets), list);
        // Three bytes a character once written: the file would outgrow its limit.
        QVERIFY(!save("Alarm Message", QString(RegistryFile::kMaxFileSize / 3, QChar(0x20AC))));
        QCOMPARE(get("Size"), QString("1"));
        QCOMPARE(get("Alarm Message", "d"), QString("d"));
    }

    // Exports from regedit, one of them of all of Software, with a comment, a number and a value of another
    // type (read as no text, yet deleted) among the texts; and another key's values, which are never
    // Zentimo's whatever bytes its line holds.
    void foreignKeysAndExports_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QString ours =
            kOptionsKey + "\r\n\"Size\"=hex(2):31,00\r\n\"Sound File\"=\"C:\\\\Tea.mp3\"\r\n; mine\r\n"
                          "\"Button Color\"=dword:00ff8080\r\n\r\n[HKEY_CURRENT_USER\\Software\\Fernwick\\";
        const QString other = QString::fromUtf8("Café €\u00A0]\r\n\"Size\"=\"1\"\r\n");
        const auto utf16 = [&](const QString& before) {
            const QString text = "Windows Registry Editor Version 5.00\r\n\r\n" + before + ours + other;
            return "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        };
        QString classes = "[HKEY_CURRENT_USER\\Software\\Classes]\r\n";
        for (int i = 0; i < 30000; ++i)
            classes += QStringLiteral("\".ext%1\"=\"File type %1\"\r\n").arg(i);
        const QByteArray codePage = "Caf\xE9 \x80\xA0]\r\n\"Size\"=\"1\"\r\n";
        QTest::newRow("regedit4 in its 8-bit code page") << "REGEDIT4\r\n\r\n" + ours.toUtf8() + codePage;
        QTest::newRow("regedit5 in utf-16") << utf16("");
        QTest::newRow("utf-8 with a byte order mark") << "\xEF\xBB\xBF" + (ours + other).toUtf8();
        QTest::newRow("regedit5 of all of Software, 1.6 MB") << utf16(classes + "\r\n");
    }
    void foreignKeysAndExports()
    {
        QFETCH(QByteArray, file);
        QVERIFY(writeFile(m_file, file));
        QCOMPARE(get("sound file"), QString("C:\\Tea.mp3"));
        QCOMPARE(get("button color"), QString("16744576"));
        QCOMPARE(get("Size", "d"), QString("d"));
        QVERIFY(m_store.DeleteSetting("Options", "Size") && !readAll(m_file).contains("hex(2)"));
        QVERIFY(m_store.DeleteSetting("Options") && !readAll(m_file).contains("00ff8080"));
        QCOMPARE(get("Sound File", "d"), QString("d"));
        const QString other = QString::fromUtf8("Software\\Fernwick\\Café €\u00A0");
        QCOMPARE(RegistryFile(m_file).textValue(other, "Size"), QString("1"));
    }

    // Files the store cannot read are kept aside, each under a name of its own, and started afresh; text not
    // as the store writes it keeps every line and is read the way regedit reads it; absurd files (endless, or
    // from a later version) are read but never rewritten.
    void oddFilesNeverCrashNorLoseLines_data()
    {
        QTest::addColumn<OddFile>("row");
        const QByteArray endless(RegistryFile::kMaxFileSize + 10, 'x');
        // clang-format off
        const OddFile rows[] = {
            {.name = "binary", .content = QByteArray::fromHex("7f454c46000102fffe"), .setAside = 1},
            {.name = "bad utf-8 line, cut inside a value",
             .content = options("\"Size\"=\"1\"\n\"M\"=\"caf\xE9\"\n\"Alarm Message\"=\"Wake u"), .size = "1"},
            {.name = "utf-16 holding a NUL", .content = QByteArray("\xFF\xFE[\0\0\0", 6), .setAside = 1},
            {.name = "8-bit text, no header", .content = kOptionsKey.toUtf8() + "\n\"Size\"=\"caf\xE9\"\n",
             .setAside = 1},
            {.name = "hand-written, no header",
             .content = kOptionsKey.toUtf8() +
                 "\n; a comment\n\"Size\" =\"\\x4a\\x4A\\x4F\\x30\\x09\"\nrandom words\n\"Play Sound\"=yes\n"
                 "\"Flags\"=dword:00000001\n\"Blob\"=hex:01,\\\n  02\n\"Size\"=\"\\q\"\n"
                 "[-HKEY_CURRENT_USER\\Software\\Gone]\n",
             .size = "JJO0\t"},
            {.name = "a header without its bracket is none, and ends the one before",
             .content = options("[HKEY_CURRENT_USER\\Software\\Fernwick\\Zentimo\\Options.\n\"Size\"=\"2\"\n")},
            {.name = "a dword of nine digits is no number", .content = options("\"Size\"=dword:000000001\n")},
            {.name = "half a hex escape", .content = options("\"Size\"=\"\\x4g\"\n")},
            {.name = "carriage return escape", .content = options("\"Size\"=\"a\\rb\"\n"), .size = "a\rb"},
            {.name = "a continued value ends at the next key",
             .content = options("\"Blob\"=hex:01,\\\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Size\"=\"1\"\n")},
            {.name = "a continued value ends the file",
             .content = options("\"Size\"=\"1\"\n\"Play Sound\"=\"True\"\n\"Blob\"=hex:01,\\"), .size = "1"},
            {.name = "a hex list with a stray letter, or none, a hex type without its number or with a stray letter, a "
                     "text without its = or its closing quote is no value",
             .content = options("\"Size\"=\"1\"\n\"Size\"=hex:4g,00\n\"Size\"=hex\n\"Size\"=hex():31,00\n\"Size\":\"2\"\n"
                                "\"Size\"=hex(2x):31,00\n\"Size\"=hex:31,g\\\n\"Size\"=\"3\n\"Size\"=\"4\\q\n"),
             .size = "1"},
            {.name = "values before an endless line", .content = options("\"Size\"=\"1\"\n" + endless), .size = "1",
             .written = false},
            {.name = "later version", .content = options("\"Size\"=\"1\"\n", "Zentimo Registry Version 2"),
             .size = "1", .written = false},
        };
        // clang-format on
        for (const OddFile& row : rows)
            QTest::newRow(row.name) << row;
    }
    void oddFilesNeverCrashNorLoseLines()
    {
        QFETCH(OddFile, row);
        QVERIFY(writeFile(m_file, row.content));
        for (const QDateTime& t : {QDateTime::currentDateTime(), QDateTime::currentDateTime().addSecs(1)})
            writeFile(m_file + t.toString(".'unreadable-'yyyyMMdd-HHmmss"), {});
        QCOMPARE(get("Size", "d"), QString(row.size));
        QCOMPARE(save("Play Sound", "True"), row.written);
        QCOMPARE(get("Play Sound") == "True", row.written);
        // Saving a value back and forth leaves the file as the first write left it: nothing creeps in.
        save("Play Sound", "False");
        save("Play Sound", "True");
        const QByteArray once = readAll(m_file);
        save("Play Sound", "False");
        save("Play Sound", "True");
        QCOMPARE(readAll(m_file), once);
        const QString folder = QFileInfo(m_file).absolutePath();
        const QStringList aside = QDir(folder).entryList({"registry.reg.unreadable-*"});
        QCOMPARE(aside.size(), row.setAside + 2);
        QByteArray kept = readAll(m_file);
        for (const QString& name : aside)
            kept += readAll(folder + '/' + name);
        // A plain search: QByteArray's own takes seconds to find the endless line of one repeated letter.
        for (const QByteArray& line : row.content.split('\n'))
            QVERIFY2(std::ranges::search(kept, line).begin() != kept.end(), line.left(80).constData());
    }

    // Never written over, and the caller told: an unreadable file with no room for a kept copy's suffix, then
    // a fifo in its place; with no room for the temporary file beside it, nothing is written.
    void oddPlacesAreNeverWrittenOver()
    {
        const QString file = m_dir->path() + '/' + QString(240, 'x'), longer = file + QString(10, 'x');
        const QByteArray binary = QByteArray::fromHex("7f454c46000102fffe");
        QVERIFY(writeFile(file, binary));
        QVERIFY(!RegistryFile(file).setTextValue("Software\\Fernwick\\Zentimo\\Options", "Size", "1"));
        QCOMPARE(readAll(file), binary);
        QVERIFY(!RegistryFile(longer).setTextValue("Software\\Fernwick\\Zentimo\\Options", "Size", "1"));
        QVERIFY(!QFileInfo::exists(longer));
        QVERIFY(QFile::remove(file) && ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        QVERIFY(!RegistryFile(file).setTextValue("Software\\Fernwick\\Zentimo\\Options", "Size", "1"));
        QVERIFY(!QFileInfo(file).isFile()); // still the fifo
    }

    // A file at exactly the size limit is still whole, to its last line, and still the store's to write.
    void aFileAtTheLimitIsWritten()
    {
        const QByteArray last = "\"Size\"=\"1\""; // its very last byte counts
        QByteArray content = options(";");
        content +=
            QByteArray(RegistryFile::kMaxFileSize - content.size() - last.size() - 1, 'x') + '\n' + last;
        QCOMPARE(content.size(), RegistryFile::kMaxFileSize);
        QVERIFY(writeFile(m_file, content));
        QCOMPARE(get("Size"), QString("1"));
        QVERIFY(m_store.DeleteSetting("Options", "Size"));
        QCOMPARE(get("Size", "d"), QString("d"));
    }

    void twoWritersAtOnceLoseNothing()
    {
        QProcess a, b;
        a.start(REGISTRY_WRITER, {"a", "0", "500"});
        b.start(REGISTRY_WRITER, {"b", "0", "500"});
        QVERIFY(a.waitForFinished(30000) && b.waitForFinished(30000));
        QCOMPARE((QList{a.exitCode(), b.exitCode()}), (QList{0, 0}));
        QCOMPARE(m_store.GetAllOptions("Stress").size(), 1000);
        QCOMPARE(get("a499", {}, "Stress"), QString("value 499"));
        QCOMPARE(get("b0", {}, "Stress"), QString("value 0"));
    }

    // A section goes only when it is there and has no sections below it.
    void deletingASection()
    {
        QVERIFY(save("a", "1", "Outer") && save("b", "2", "Outer\\Inner"));
        QVERIFY(!m_store.DeleteSetting("Missing") && !m_store.DeleteSetting("Outer"));
        // No section at all would be the program's own key, with every section in it.
        QVERIFY(!m_store.DeleteSetting("") && !m_store.ReplaceSection("", {}));
        QCOMPARE(get("a", {}, "Outer"), QString("1"));
        // A section named with an empty part or a line break is no place to write to or delete from.
        QVERIFY(!save("c", "3", "Outer\\\\Inner") && !m_store.DeleteSetting("Outer\\\\Inner", "b"));
        QVERIFY(!m_store.ReplaceSection("Outer\\\\Inner", {}));
        QVERIFY(!save("c", "3", "Outer\nInner") && !save("c", "3", "Outer\\"));
        QVERIFY(!RegistryFile(m_file).setTextValue("", "c", "3"));
        QVERIFY(m_store.DeleteSetting("Outer\\Inner") && m_store.DeleteSetting("Outer"));
        QCOMPARE(get("a", "gone", "Outer"), QString("gone"));
        QCOMPARE(get("b", "gone", "Outer\\Inner"), QString("gone"));
    }

    // End to end: waits two seconds of real time for a lock that stays taken.
    void aWriteGivesUpWhenTheLockStaysTaken()
    {
        QVERIFY(save("Size", "1"));
        const int lock =
            ::open(QFile::encodeName(m_file + ".lock").constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX) == 0);
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!save("Size", "2"));
        QVERIFY2(waited.elapsed() >= RegistryFile::kLockWaitMs && waited.elapsed() < 4000,
                 qPrintable(QString::number(waited.elapsed())));
        QCOMPARE(get("Size"), QString("1"));
        ::close(lock);
    }

    // Every value a killed writer confirmed stays, whatever moment the kill lands on.
    void aWriterKilledMidWriteLeavesEveryConfirmedValue()
    {
        // On disk, where syncing takes long enough for many kills to land inside a write.
        QTemporaryDir disk;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(disk.path()));
        const QDir folder = QFileInfo(CRegSettings::defaultFilePath()).absoluteDir();
        QStringList confirmed;
        for (int round = 0; round < 25; ++round) {
            QProcess writer;
            writer.start(REGISTRY_WRITER, {"k", QString::number(round * 100000), "0"});
            QVERIFY(writer.waitForStarted());
            const int wanted = 1 + QRandomGenerator::global()->bounded(4);
            QByteArray printed;
            while (printed.count('\n') < wanted && writer.waitForReadyRead(10000))
                printed += writer.readAllStandardOutput();
            // Every other round aims at the moment a new copy is being written.
            const QDeadlineTimer aim(round % 2 ? 200 : 0);
            while (!aim.hasExpired() && folder.entryList({"*.tmp-*"}).isEmpty()) {
            }
            // QProcess signals only its own child, never pid 0 (the whole process group) once it has ended.
            writer.kill();
            QVERIFY(writer.state() == QProcess::NotRunning || writer.waitForFinished(10000));
            // Every whole line was printed once its value was confirmed.
            printed += writer.readAllStandardOutput();
            confirmed += QString::fromUtf8(printed).split(u'\n', Qt::SkipEmptyParts);
            for (const QString& key : std::as_const(confirmed))
                QVERIFY2(!get(key, {}, "Stress").isEmpty(), qPrintable(key));
        }
        // The next writer clears what the killed ones left half done.
        QVERIFY(save("last", "1", "Stress"));
        QCOMPARE(folder.entryList({"*.tmp-*"}), QStringList());
    }
    // Where a write cannot go, as a user meets it, it says so and the file stays as it was.
    void placesAWriteCannotUse_data()
    {
        QTest::addColumn<Spoil>("spoil");
        QTest::newRow("read-only file") << Spoil([](const QString& file) { return setMode(file, 0500); });
        QTest::newRow("unreadable file") << Spoil([](const QString& file) { return setMode(file, 0); });
        QTest::newRow("read-only folder")
            << Spoil([](const QString& file) { return setMode(QFileInfo(file).path(), 0500); });
        // Every write stops after a few bytes, as on a full disk.
        QTest::newRow("full disk") << Spoil([](const QString&) { return limitFileSize(16); });
    }
    void placesAWriteCannotUse()
    {
        QFETCH(Spoil, spoil);
        QVERIFY(save("Size", "1"));
        const QByteArray before = readAll(m_file);
        {
            const WithoutRootAccess user;
            QVERIFY(spoil(m_file) && !save("Size", "0"));
            QVERIFY(!m_store.DeleteSetting("Options", "Size"));
        }
        QCOMPARE(get("Size"), QString("1"));
        QCOMPARE(readAll(m_file), before);
    }

    // A linked file is written through and stays a link, while the folder it lives in takes writes.
    void aLinkedFileIsWrittenThrough()
    {
        const QString real = m_dir->path() + "/elsewhere/registry.reg";
        QVERIFY(writeFile(real, options("\"Size\"=\"1\"\n")));
        QDir().mkpath(QFileInfo(m_file).absolutePath());
        QVERIFY(QFile::link(real, m_file) && save("Size", "0"));
        QVERIFY(QFileInfo(m_file).isSymLink());
        QCOMPARE(readAll(real), options("\"Size\"=\"0\"\n"));
        QVERIFY(::chmod(QFile::encodeName(QFileInfo(real).absolutePath()).constData(), 0500) == 0);
        QVERIFY(!save("Size", "2"));
        QCOMPARE(readAll(real), options("\"Size\"=\"0\"\n"));
    }
};

QTEST_GUILESS_MAIN(TestCRegSettings)
#include "tst_cregsettings.moc"
