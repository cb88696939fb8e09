#include "sound/SoundPlayer.h"

#include "sound/RegularFile.h"
#include "sound/SdlAudio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

// Resources compiled into a static library need an explicit reference, from outside any namespace.
static void initBuiltInSounds()
{
    Q_INIT_RESOURCE(builtin_sounds);
}

namespace zentimo {

namespace {

// Only the start of a file is kept: callers look at the error, not at the text.
constexpr qint64 kMaxLoadBytes = qint64{1024} * 1024;

QByteArray resource(const QString& name)
{
    static std::once_flag once;
    std::call_once(once, initBuiltInSounds);
    QFile file(QStringLiteral(":/sounds/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

FileError fileError(int number)
{
    switch (number) {
    case FileError::kFileNotFound:
        return {number, QStringLiteral("File not found")};
    case FileError::kPermissionDenied:
        return {number, QStringLiteral("Permission denied")};
    case FileError::kPathNotFound:
        return {number, QStringLiteral("Path not found")};
    default:
        return {FileError::kAccessError, QStringLiteral("Path/File access error")};
    }
}

int openErrorNumber(const QString& path, int error)
{
    switch (error) {
    case ENOENT:
        return QFileInfo(path).absoluteDir().exists() ? FileError::kFileNotFound : FileError::kPathNotFound;
    case ENOTDIR:
        return FileError::kPathNotFound;
    case EINVAL: // no regular file: a pipe, a device, a folder
        return FileError::kAccessError;
    case EACCES:
    case EPERM:
        return FileError::kPermissionDenied;
    default:
        return FileError::kAccessError;
    }
}

// Spaces only: tabs and line ends are part of the text.
QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString stripQuotes(const QString& quoted)
{
    if (quoted.size() >= 2 && quoted.startsWith(QLatin1Char('"')) && quoted.endsWith(QLatin1Char('"')))
        return quoted.mid(1, quoted.size() - 2);
    return quoted;
}

} // namespace

SoundPlayer::SoundPlayer(std::unique_ptr<AudioBackend> backend) : m_backend(std::move(backend))
{
    if (!m_backend)
        m_backend = std::make_unique<SdlAudio>();
    m_backend->setFallback(fallbackImage());
    m_backend->onEnded([this] {
        if (!m_backend->isPlaying())
            m_waveHeld = m_deviceHeld = false;
    });
}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::WarmUp(const QString& file)
{
    backend().warmUp(file);
}

bool SoundPlayer::isPlaying() const
{
    return m_backend->isPlaying();
}

AudioBackend& SoundPlayer::backend()
{
    return *m_backend;
}

bool SoundPlayer::PlayBuiltInLooped(int id)
{
    return playImage(builtInImage(id), true);
}

bool SoundPlayer::PlayBuiltInOnce(int id)
{
    return playImage(builtInImage(id), false);
}

// An unknown id (a damaged setting) plays the fallback: an alarm should never be silent.
bool SoundPlayer::playImage(const QByteArray& image, bool loop)
{
    // The back end may still be reading the old buffer.
    if (!m_resourceData.isEmpty())
        m_backend->stopWave();
    m_resourceData = image.isEmpty() ? fallbackImage() : image;
    return m_backend->playWaveImage(m_resourceData, loop);
}

// A missing or unplayable file plays our fallback where the system would play its default sound.
bool SoundPlayer::PlayWaveFile(const QString& shortPath, bool loop)
{
    if (!shortPath.isEmpty() && m_backend->playWaveFile(shortPath, loop))
        return true;
    return playImage(fallbackImage(), loop);
}

void SoundPlayer::StopWaveform()
{
    m_backend->stopWave();
    m_waveHeld = false;
}

SoundPlayer::FileKind SoundPlayer::kindOf(const QString& path)
{
    const QString ext = path.right(3).toLower();
    if (ext == QLatin1String("mp3") || ext == QLatin1String("mid"))
        return FileKind::Device;
    if (ext == QLatin1String("wav"))
        return FileKind::Wave;
    return FileKind::Unknown;
}

bool SoundPlayer::PlayFile(const QString& path, bool loop)
{
    switch (kindOf(path)) {
    case FileKind::Device: {
        const auto type = path.right(3).toLower() == QLatin1String("mp3")
                              ? AudioBackend::DeviceType::MpegVideo
                              : AudioBackend::DeviceType::Sequencer;
        OpenDevice(QLatin1Char('"') + ShortPath(path) + QLatin1Char('"'), type);
        PlayDevice();
        m_deviceHeld = true; // a file that cannot be played sounds the fallback, looped
        return true;
    }
    case FileKind::Wave:
        PlayWaveFile(ShortPath(path), loop);
        m_waveHeld = m_waveHeld || loop;
        return true;
    case FileKind::Unknown:
        break;
    }
    return false;
}

bool SoundPlayer::OpenDevice(const QString& quotedPath, AudioBackend::DeviceType type)
{
    return m_backend->openDevice(stripQuotes(quotedPath), type);
}

bool SoundPlayer::PlayDevice()
{
    return m_backend->playDevice();
}

void SoundPlayer::CloseDevice()
{
    m_backend->closeDevice();
    m_deviceHeld = false;
}

QString SoundPlayer::ShortPath(const QString& path)
{
    return !path.isEmpty() && QFileInfo::exists(path) ? path : QString();
}

QString SoundPlayer::LoadSound(const QString& path, FileError* err)
{
    const auto fail = [&](int number) {
        if (err)
            *err = fileError(number);
        return QString();
    };
    if (err)
        *err = FileError{};
    if (path.isEmpty())
        return fail(FileError::kAccessError);
    const int fd = RegularFile::open(path);
    if (fd < 0)
        return fail(openErrorNumber(path, errno));
    struct stat st {};
    ::fstat(fd, &st);
    QByteArray bytes(qMin<qint64>(st.st_size, kMaxLoadBytes), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return fail(error == EACCES ? FileError::kPermissionDenied : FileError::kAccessError);
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    bytes.truncate(got);
    return trimBlanks(QString::fromLatin1(bytes)); // one character per byte
}

FileError SoundPlayer::CheckFile(const QString& path)
{
    if (path.isEmpty())
        return fileError(FileError::kAccessError);
    const int fd = RegularFile::open(path);
    if (fd < 0)
        return fileError(openErrorNumber(path, errno));
    ::close(fd);
    return {};
}

QByteArray SoundPlayer::builtInImage(int id)
{
    if (id < kFirstBuiltIn || id > kLastBuiltIn)
        return {};
    static const QByteArray images[] = {
        resource(QStringLiteral("101.wav")), resource(QStringLiteral("102.wav")),
        resource(QStringLiteral("103.wav")), resource(QStringLiteral("104.wav")),
        resource(QStringLiteral("105.wav")), resource(QStringLiteral("106.wav")),
        resource(QStringLiteral("107.wav")),
    };
    return images[id - kFirstBuiltIn];
}

QStringList SoundPlayer::builtInNames()
{
    return {QStringLiteral("Gong"),
            QStringLiteral("Bugle"),
            QStringLiteral("Buzzer"),
            QStringLiteral("Crazy Sounds"),
            QStringLiteral("Cuckoo Clock"),
            QStringLiteral("Fog Horn"),
            QStringLiteral("Old Time Car Horn")};
}

QByteArray SoundPlayer::fallbackImage()
{
    static const QByteArray image = resource(QStringLiteral("fallback.wav"));
    return image;
}

} // namespace zentimo
