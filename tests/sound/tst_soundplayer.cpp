// What the sound player makes of files: the errors it reports, and what is kept of files that claim too much.

#include "Files.h"
#include "sound/RegularFile.h"
#include "sound/SoundPlayer.h"

#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentimo;
using namespace zentimo::test;

class TestSoundPlayer : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    // Started without a standard input, the first file opened is descriptor 0, and an empty path must not
    // hand that out. An EINTR that an earlier call left in errno is no interruption of a read.
    void aRegularFileOpensAndReadsWhole()
    {
        ::close(STDIN_FILENO);
        QCOMPARE(RegularFile::open(QString()), -1);
        writeFile(path("pieces.mid"), QByteArray(200000, 'm')); // read in pieces of 64 KiB
        const int fd = RegularFile::open(path("pieces.mid"));
        errno = EINTR;
        bool whole = false;
        QCOMPARE(RegularFile::read(fd, 1 << 20, &whole), QByteArray(200000, 'm'));
        QVERIFY(whole);
        ::close(fd);
    }

    void loadSoundReportsFileErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("missing file") << "missing.mp3" << 53;
        QTest::newRow("missing folder") << "no/such/folder/a.mp3" << 76;
        QTest::newRow("a folder") << "folder" << 75;
        QTest::newRow("empty path") << "" << 75;
        QTest::newRow("unreadable") << "locked.mp3" << 70;
        // Refused at once: a pipe's reader would wait for a writer, an endless device would fill memory.
        QTest::newRow("a named pipe") << "pipe.mid" << 75;
        QTest::newRow("a link to /dev/zero") << "zero.mid" << 75;
    }

    void loadSoundReportsFileErrors()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QDir(m_dir.path()).mkdir("folder");
        ::mkfifo(QFile::encodeName(path("pipe.mid")).constData(), 0600);
        QFile::link("/dev/zero", path("zero.mid"));
        writeFile(path("locked.mp3"), "x");
        QFile::setPermissions(path("locked.mp3"), QFileDevice::Permissions());
        const WithoutRootAccess user;
        FileError err;
        const QString file = name.isEmpty() ? name : path(name);
        QCOMPARE(SoundPlayer::LoadSound(file, &err), QString());
        QCOMPARE(err.number, number);
        QCOMPARE(SoundPlayer::CheckFile(file).number, number);
    }

    // One character a byte; only spaces are blanks, tabs and line ends are the file's.
    void loadSoundReadsTheFileAsText()
    {
        writeFile(path("odd.mid"), "  \tMThd \xe9  \r\n  ");
        FileError err;
        QCOMPARE(SoundPlayer::LoadSound(path("odd.mid"), &err), QString::fromLatin1("\tMThd \xe9  \r\n"));
        QCOMPARE(err.number, 0);
        // Only the first MiB: the callers look at the error, not at the text.
        writeFile(path("long.mid"), QByteArray((1 << 20) + 10, 'a'));
        QCOMPARE(SoundPlayer::LoadSound(path("long.mid"), &err).size(), 1 << 20);
        writeFile(path("one.mid"), "x");
        QCOMPARE(SoundPlayer::LoadSound(path("one.mid"), &err), QString("x"));
        QCOMPARE(SoundPlayer::CheckFile(path("one.mid")).number, 0);
        // Shorter than its size says, as a file cut while read (a kernel file says 4,096): what is there.
        const QString cut = "/sys/devices/system/cpu/online";
        errno = EINTR; // left by an earlier call: no interruption of this read
        QCOMPARE(SoundPlayer::LoadSound(cut, &err), QString::fromLatin1(readAll(cut)));
        QCOMPARE(err.number, 0);
    }
};

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "tst_soundplayer.moc"
