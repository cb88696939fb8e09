// The settings store against real files in a private configuration folder.

#include "settings/CRegSettings.h"
#include "settings/RegistryFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/stat.h>

using namespace zentimo;

namespace {

const QString kOptionsKey = QStringLiteral("[HKEY_CURRENT_USER\\Software\\Fernwick\\Zentimo\\Options]");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

QByteArray options(const QByteArray& body, const QByteArray& header = "Zentimo Registry Version 1")
{
    return header + "\n\n" + kOptionsKey.toUtf8() + "\n" + body;
}

// Every line is the header, blank, a key or a "name"="text" value: what a writer leaves behind.
bool parsesCleanly(const QByteArray& file)
{
    static const QRegularExpression value(QStringLiteral(R"(^("([^"\\]|\\.)*"|@)="([^"\\]|\\.)*"$)"));
    const QList<QByteArray> lines = file.split('\n');
    if (lines.first() != RegistryFile::kHeader || !file.endsWith('\n'))
        return false;
    for (qsizetype i = 1; i < lines.size() - 1; ++i) {
        const QString line = QString::fromUtf8(lines[i]);
        if (!line.isEmpty() && !(line.startsWith(u'[') && line.endsWith(u']')) &&
            !value.match(line).hasMatch())
            return false;
    }
    return true;
}

} // namespace

class TestCRegSettings : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
    CRegSettings m_store;

private Q_SLOTS:
    void init()
    {
        // Memory-backed when the system has it: the stress cases write a thousand times, and syncing to
        // a busy disk would only measure the disk.
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
        ::chmod(QFile::encodeName(m_dir->path() + QStringLiteral("/zentimo")).constData(), 0700);
        m_dir.reset();
    }

    void savingCreatesThePrivateFileWithTheOptionsKey()
    {
        QCOMPARE(CRegSettings::defaultFilePath(), m_file);
        QVERIFY(m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Size"), QStringLiteral("1")));
        QCOMPARE(readAll(m_file), options("\"Size\"=\"1\"\n"));
        QCOMPARE(modeOf(m_file), mode_t(0600));
        QCOMPARE(modeOf(QFileInfo(m_file).absolutePath()), mode_t(0700));
    }

    void missingValueGivesDefaultButEmptyTextStaysEmpty()
    {
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("Built-in Sound"),
                                    QStringLiteral("107")),
                 QStringLiteral("107"));
        QVERIFY(m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Alarm Message"), QString()));
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("Alarm Message"),
                                    QStringLiteral("x")),
                 QString(""));
        QVERIFY(m_store.GetAllOptions(QStringLiteral("Never Written")).isEmpty());
    }

    void companyAndAppNameAreTrimmedAndFallBackToDefaults()
    {
        CRegSettings fresh;
        QCOMPARE(fresh.Company(), QStringLiteral("VB and VBA Program Options"));
        QCOMPARE(fresh.AppName(), QStringLiteral("ZM"));
        fresh.setCompany(QStringLiteral("  Fernwick \t"));
        fresh.setAppName(QStringLiteral(" Zentimo "));
        QCOMPARE(fresh.Company(), QStringLiteral("Fernwick"));
        QCOMPARE(fresh.AppName(), QStringLiteral("Zentimo"));
        fresh.setCompany(QString());
        fresh.setAppName(QStringLiteral("   "));
        QCOMPARE(fresh.Company(), QStringLiteral("VB and VBA Program Options"));
        QCOMPARE(fresh.AppName(), QStringLiteral("ZM"));
        QVERIFY(fresh.SaveSetting(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v")));
        QVERIFY(readAll(m_file).contains("[HKEY_CURRENT_USER\\Software\\VB and VBA Program Options\\ZM\\S]"));
    }

    void starAddressesTheUnnamedValue()
    {
        QVERIFY(
            m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("*"), QStringLiteral("unnamed")));
        QVERIFY(readAll(m_file).contains("\n@=\"unnamed\"\n"));
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("*")),
                 QStringLiteral("unnamed"));
        QVERIFY(m_store.DeleteSetting(QStringLiteral("Options"), QStringLiteral("*")));
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("*"), QStringLiteral("d")),
                 QStringLiteral("d"));
    }

    void emptySectionAddressesTheApplicationKey()
    {
        QVERIFY(m_store.SaveSetting(QString(), QStringLiteral("Top"), QStringLiteral("level")));
        QVERIFY(
            readAll(m_file).contains("[HKEY_CURRENT_USER\\Software\\Fernwick\\Zentimo]\n\"Top\"=\"level\""));
        QCOMPARE(m_store.GetSetting(QString(), QStringLiteral("Top")), QStringLiteral("level"));
        QCOMPARE(m_store.GetAllOptions(QString()),
                 SettingPairs({{QStringLiteral("Top"), QStringLiteral("level")}}));
    }

    void deletingAValueOrASection()
    {
        const QString wake = QStringLiteral("Wake Presets");
        QVERIFY(!m_store.DeleteSetting(wake, QStringLiteral("Preset1")));
        QVERIFY(!m_store.DeleteSetting(wake));
        QVERIFY(m_store.SaveSetting(wake, QStringLiteral("Preset1"), QStringLiteral("07:30a")));
        QVERIFY(m_store.SaveSetting(wake, QStringLiteral("Preset2"), QStringLiteral("08:00a")));
        QVERIFY(m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Size"), QStringLiteral("0")));
        QVERIFY(m_store.DeleteSetting(wake, QStringLiteral("preset1")));
        QVERIFY(!m_store.DeleteSetting(wake, QStringLiteral("Preset1")));
        QVERIFY(m_store.DeleteSetting(wake));
        QVERIFY(m_store.GetAllOptions(wake).isEmpty());
        QVERIFY(!readAll(m_file).contains("Wake"));
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("Size")), QStringLiteral("0"));
        // Neither the whole application key nor a section with keys below it goes at once.
        QVERIFY(!m_store.DeleteSetting(QString()));
        QVERIFY(
            m_store.SaveSetting(QStringLiteral("Options\\Deeper"), QStringLiteral("k"), QStringLiteral("v")));
        QVERIFY(!m_store.DeleteSetting(QStringLiteral("Options")));
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("Size")), QStringLiteral("0"));
    }

    void deletingAndRewritingASectionKeepsTheFileTidy()
    {
        for (int round = 0; round < 3; ++round) {
            QVERIFY(m_store.SaveSetting(QStringLiteral("Countdown Presets"), QStringLiteral("Preset1"),
                                        QStringLiteral("1")));
            QVERIFY(m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Size"),
                                        QString::number(round)));
            QVERIFY(m_store.DeleteSetting(QStringLiteral("Countdown Presets")));
        }
        QCOMPARE(readAll(m_file), options("\"Size\"=\"2\"\n"));
    }

    void allOptionsInWriteOrderWithoutNonTextValues()
    {
        writeAll(m_file, options("\"Count\"=dword:00000002\n"));
        const QString presets = QStringLiteral("Options");
        QVERIFY(m_store.SaveSetting(presets, QStringLiteral("Zeta"), QStringLiteral("1")));
        QVERIFY(m_store.SaveSetting(presets, QStringLiteral("Alpha"), QStringLiteral("2")));
        QVERIFY(m_store.SaveSetting(presets, QStringLiteral("ZETA"), QStringLiteral("3")));
        const SettingPairs expected{{QStringLiteral("Zeta"), QStringLiteral("3")},
                                    {QStringLiteral("Alpha"), QStringLiteral("2")}};
        QCOMPARE(m_store.GetAllOptions(presets), expected);
        QCOMPARE(m_store.GetAllOptions(QStringLiteral("OPTIONS")), expected);
        QCOMPARE(m_store.GetSetting(QStringLiteral("options"), QStringLiteral("zeta")), QStringLiteral("3"));
        QCOMPARE(m_store.GetSetting(presets, QStringLiteral("Count"), QStringLiteral("d")),
                 QStringLiteral("d"));
    }

    void awkwardTextsRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("quotes") << "Alarm \"Message\""
                                << "say \"hi\" \"";
        QTest::newRow("backslashes") << "C:\\key\\"
                                     << "C:\\Music\\a.mp3\\\\";
        QTest::newRow("line breaks and tabs") << "Alarm Message"
                                              << "one\ntwo\r\nthree\tfour\n";
        QTest::newRow("control characters") << "ctl" << QString::fromUtf16(u"a\u0001b\u007fc\u001b");
        QTest::newRow("non-ASCII") << QString::fromUtf8("Grüße") << QString::fromUtf8("Weckruf ⏰ 日本 €");
        QTest::newRow("blanks") << " padded "
                                << "  both ends  ";
        QTest::newRow("looks like syntax") << "x\"=\"y"
                                           << "[HKEY_CURRENT_USER\\x]\n\"a\"=\"b\"";
    }

    void awkwardTextsRoundTrip()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QVERIFY(
            m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Before"), QStringLiteral("1")));
        QVERIFY(m_store.SaveSetting(QStringLiteral("Options"), name, text));
        QVERIFY(m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("After"), QStringLiteral("2")));
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), name), text);
        QCOMPARE(m_store.GetAllOptions(QStringLiteral("Options")).at(1), qMakePair(name, text));
        QVERIFY(parsesCleanly(readAll(m_file)));
    }

    void handWrittenLinesSurviveAWrite()
    {
        const QByteArray seeded = "REGEDIT4\r\n; kept comment\r\n\r\n" + kOptionsKey.toUtf8() +
                                  "\r\n\"Size\"=\"1\"\r\n"
                                  "\"Flags\"=dword:00000001\r\n"
                                  "this is nonsense\r\n"
                                  "\"Blob\"=hex:01,02,\\\r\n  03,04\r\n"
                                  "\"SIZE\"=\"2\"\r\n"
                                  "\"Odd\"=\"unknown \\q escape\"\r\n"
                                  "[-HKEY_CURRENT_USER\\Software\\Gone]\r\n"
                                  "\"Orphan\"=\"no key\"\r\n";
        writeAll(m_file, seeded);
        // A name given twice: the later text, in the first place.
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("Size")), QStringLiteral("2"));
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("Orphan"), QStringLiteral("d")),
                 QStringLiteral("d"));
        QVERIFY(
            m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("On Top"), QStringLiteral("True")));
        QCOMPARE(readAll(m_file), "Zentimo Registry Version 1\n; kept comment\n\n" + kOptionsKey.toUtf8() +
                                      "\n\"Size\"=\"2\"\n"
                                      "\"Flags\"=dword:00000001\n"
                                      "this is nonsense\n"
                                      "\"Blob\"=hex:01,02,\\\n  03,04\n"
                                      "\"On Top\"=\"True\"\n"
                                      "\"Odd\"=\"unknown \\q escape\"\n"
                                      "[-HKEY_CURRENT_USER\\Software\\Gone]\n"
                                      "\"Orphan\"=\"no key\"\n");
    }

    void regeditExportInUtf16IsRead()
    {
        const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n") + kOptionsKey +
                             QStringLiteral("\r\n\"Sound File\"=\"C:\\\\Music\\\\Grüße.mp3\"\r\n"
                                            "\"Digit Color\"=\"65535\"\r\n\r\n");
        QByteArray bytes("\xFF\xFE");
        bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        writeAll(m_file, bytes);
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("sound file")),
                 QString::fromUtf8("C:\\Music\\Grüße.mp3"));
        QVERIFY(m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Size"), QStringLiteral("1")));
        QVERIFY(parsesCleanly(readAll(m_file)));
        QCOMPARE(m_store.GetAllOptions(QStringLiteral("Options")).size(), 3);
    }

    void unreadableFilesNeverCrashNorLoseLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("size");    // what "Size" reads as, default "d"
        QTest::addColumn<bool>("movedAside"); // binary: kept under another name
        QTest::newRow("binary") << QByteArray("\x7F"
                                              "ELF\x00\x01\x02\xFF\xFE",
                                              9)
                                << "d" << true;
        QTest::newRow("utf-16 without mark") << QByteArray("R\0E\0G\0", 6) << "d" << true;
        QTest::newRow("latin-1 without header") << QByteArray("Gr\xFC\xDF"
                                                              "e\n")
                                                << "d" << true;
        QTest::newRow("cut inside a value")
            << options("\"Size\"=\"1\"\n\"Alarm Message\"=\"Wake u") << "1" << false;
        QTest::newRow("cut inside an escape") << options("\"Size\"=\"1\"\n\"A\"=\"x\\") << "1" << false;
        QTest::newRow("cut inside a header") << options("\"Size\"=\"1\"\n[HKEY_CURR") << "1" << false;
        QTest::newRow("bad utf-8 line") << options("\"Size\"=\"1\"\n\"M\"=\"caf\xE9\"\n") << "1" << false;
        QTest::newRow("no header") << QByteArray("[HKEY_CURRENT_USER\\Software\\Fernwick\\Zentimo\\Options]\n"
                                                 "\"Size\"=\"1\"\nrandom words\n")
                                   << "1" << false;
        QTest::newRow("empty") << QByteArray() << "d" << false;
    }

    void unreadableFilesNeverCrashNorLoseLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, size);
        QFETCH(bool, movedAside);
        writeAll(m_file, content);
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("Size"), QStringLiteral("d")),
                 size);
        if (movedAside) {
            QVERIFY(!m_store.DeleteSetting(QStringLiteral("Options"), QStringLiteral("Size")));
            QCOMPARE(readAll(m_file), content);
        }
        QVERIFY(m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Play Sound"),
                                    QStringLiteral("True")));
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("Play Sound")),
                 QStringLiteral("True"));
        const QByteArray after = readAll(m_file);
        const QStringList aside =
            QDir(QFileInfo(m_file).absolutePath()).entryList({QStringLiteral("registry.reg.unreadable-*")});
        if (movedAside) {
            QCOMPARE(aside.size(), 1);
            QCOMPARE(readAll(QFileInfo(m_file).absolutePath() + QLatin1Char('/') + aside.first()), content);
            return;
        }
        QVERIFY(aside.isEmpty());
        for (const QByteArray& line : content.split('\n'))
            QVERIFY2(after.contains(line), line.constData());
    }

    void absurdFilesAreReadButNeverRewritten_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("size");
        const QByteArray endless(RegistryFile::kMaxFileSize + 10, 'x');
        QTest::newRow("one endless line") << endless << "d";
        QTest::newRow("values before an endless line") << options("\"Size\"=\"1\"\n" + endless) << "1";
        QTest::newRow("later version") << options("\"Size\"=\"1\"\n", "Zentimo Registry Version 2") << "1";
    }

    void absurdFilesAreReadButNeverRewritten()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, size);
        writeAll(m_file, content);
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("Size"), QStringLiteral("d")),
                 size);
        QVERIFY(!m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Size"), QStringLiteral("0")));
        QVERIFY(!m_store.DeleteSetting(QStringLiteral("Options")));
        QVERIFY(readAll(m_file) == content);
    }

    void aWriteThatWouldMakeTheFileAbsurdIsRefused()
    {
        const QString huge(RegistryFile::kMaxFileSize, u'x');
        QVERIFY(!m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Alarm Message"), huge));
        QVERIFY(
            m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Alarm Message"), huge.left(1000)));
    }

    // Root passes every permission check, so the store honours the permission bits itself; the third case
    // is a folder that cannot be made at all, which stops root too.
    void readOnlyPlacesRefuseWritesAndKeepTheFile_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("read-only file") << "file";
        QTest::newRow("read-only folder") << "folder";
        QTest::newRow("folder below a plain file") << "blocked";
    }

    void readOnlyPlacesRefuseWritesAndKeepTheFile()
    {
        QFETCH(QString, what);
        QVERIFY(m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Size"), QStringLiteral("1")));
        const QByteArray before = readAll(m_file);
        if (what == QLatin1String("file")) {
            QVERIFY(::chmod(QFile::encodeName(m_file).constData(), 0400) == 0);
        } else if (what == QLatin1String("folder")) {
            QVERIFY(::chmod(QFile::encodeName(QFileInfo(m_file).absolutePath()).constData(), 0500) == 0);
        } else {
            const QString plain = m_dir->path() + QStringLiteral("/plain");
            writeAll(plain, "not a folder");
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(plain));
            QVERIFY(
                !m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Size"), QStringLiteral("0")));
            QCOMPARE(
                m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("Size"), QStringLiteral("d")),
                QStringLiteral("d"));
            QCOMPARE(readAll(plain), QByteArray("not a folder"));
            return;
        }
        QVERIFY(!m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Size"), QStringLiteral("0")));
        QVERIFY(!m_store.DeleteSetting(QStringLiteral("Options"), QStringLiteral("Size")));
        QCOMPARE(m_store.GetSetting(QStringLiteral("Options"), QStringLiteral("Size")), QStringLiteral("1"));
        QCOMPARE(readAll(m_file), before);
    }

    void twoWritersAtOnceLoseNothing()
    {
        QProcess a, b;
        a.start(QStringLiteral(REGISTRY_WRITER),
                {QStringLiteral("a"), QStringLiteral("0"), QStringLiteral("500")});
        b.start(QStringLiteral(REGISTRY_WRITER),
                {QStringLiteral("b"), QStringLiteral("0"), QStringLiteral("500")});
        QVERIFY(a.waitForFinished(30000) && b.waitForFinished(30000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        const SettingPairs all = m_store.GetAllOptions(QStringLiteral("Stress"));
        QCOMPARE(all.size(), 1000);
        for (const QString& prefix : {QStringLiteral("a"), QStringLiteral("b")}) {
            for (int n = 0; n < 500; n += 7)
                QCOMPARE(m_store.GetSetting(QStringLiteral("Stress"), prefix + QString::number(n)),
                         QStringLiteral("value %1").arg(n));
        }
    }

    void aWriterKilledMidWriteLeavesEveryConfirmedValue()
    {
        // On disk, where syncing takes long enough for many kills to land inside a write.
        QTemporaryDir disk;
        QVERIFY(disk.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(disk.path()));
        m_file = CRegSettings::defaultFilePath();
        const QDir folder = QFileInfo(m_file).absoluteDir();
        QSet<QString> confirmed;
        int caughtWriting = 0;
        for (int round = 0; round < 25; ++round) {
            QProcess writer;
            writer.start(QStringLiteral(REGISTRY_WRITER),
                         {QStringLiteral("k"), QString::number(round * 100000), QStringLiteral("0")});
            QVERIFY(writer.waitForStarted());
            const int wanted = 1 + QRandomGenerator::global()->bounded(4);
            QByteArray printed;
            while (printed.count('\n') < wanted && writer.waitForReadyRead(10000))
                printed += writer.readAllStandardOutput();
            // Every other round aims at the moment a new copy is being written.
            const QDeadlineTimer aim(round % 2 ? 200 : 0);
            while (!aim.hasExpired() && folder.entryList({QStringLiteral("*.tmp-*")}).isEmpty()) {
            }
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(10000));
            QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
            caughtWriting += folder.entryList({QStringLiteral("*.tmp-*")}).isEmpty() ? 0 : 1;
            // Every whole line was printed after its value was confirmed, also those that came in since.
            printed += writer.readAllStandardOutput();
            QList<QByteArray> keys = printed.split('\n');
            keys.removeLast();
            QVERIFY(keys.size() >= wanted);
            for (const QByteArray& key : keys)
                confirmed.insert(QString::fromUtf8(key));

            const QByteArray file = readAll(m_file);
            QVERIFY2(parsesCleanly(file), file.right(200).constData());
            const SettingPairs all = m_store.GetAllOptions(QStringLiteral("Stress"));
            QSet<QString> stored;
            for (const auto& pair : all)
                stored.insert(pair.first);
            for (const QString& key : std::as_const(confirmed))
                QVERIFY2(stored.contains(key), qPrintable(key));
        }
        // The next writer clears what the killed ones left half done.
        QVERIFY(m_store.SaveSetting(QStringLiteral("Stress"), QStringLiteral("last"), QStringLiteral("1")));
        QCOMPARE(folder.entryList({QStringLiteral("*.tmp-*")}), QStringList());
        qInfo("%d of 25 kills left a half-written copy behind", caughtWriting);
    }

    void aLinkedFileStaysALink()
    {
        const QString real = m_dir->path() + QStringLiteral("/elsewhere/registry.reg");
        writeAll(real, options("\"Size\"=\"1\"\n"));
        QDir().mkpath(QFileInfo(m_file).absolutePath());
        QVERIFY(QFile::link(real, m_file));
        QVERIFY(m_store.SaveSetting(QStringLiteral("Options"), QStringLiteral("Size"), QStringLiteral("0")));
        QVERIFY(QFileInfo(m_file).isSymLink());
        QCOMPARE(readAll(real), options("\"Size\"=\"0\"\n"));
    }
};

QTEST_GUILESS_MAIN(TestCRegSettings)
#include "tst_cregsettings.moc"
