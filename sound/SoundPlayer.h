#pragma once
// The alarm's sound primitives: built-in sounds 101..107 on the waveform channel, .wav files on the
// waveform channel, .mp3/.mid on the file device "zentimosong". Results are for tests; callers ignore them.

#include "sound/AudioBackend.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

namespace zentimo {

struct FileError {
    // The numbers the user is shown, with the descriptions below.
    static constexpr int kFileNotFound = 53;
    static constexpr int kPermissionDenied = 70;
    static constexpr int kAccessError = 75; // "Path/File access error"
    static constexpr int kPathNotFound = 76;

    int number = 0; // 0: none
    QString description;
};

class SoundPlayer {
public:
    static constexpr int kFirstBuiltIn = 101;
    static constexpr int kLastBuiltIn = 107;

    // With no back end given, SDL2_mixer is opened the first time a sound is needed.
    explicit SoundPlayer(std::unique_ptr<AudioBackend> backend = nullptr);
    ~SoundPlayer();

    // An unknown id plays the fallback sound.
    bool PlayBuiltInLooped(int id);
    bool PlayBuiltInOnce(int id);
    // A .wav file by its short path; an empty path (missing file) or a file that cannot be played
    // plays the built-in fallback sound instead, looped where the file would have looped (the back end
    // may find that out only after this returned).
    bool PlayWaveFile(const QString& shortPath, bool loop);
    void StopWaveform();

    // What a sound file is, by the last three letters of its name in any case: .mp3 and .mid play on the
    // file device, .wav on the waveform channel.
    enum class FileKind { Unknown, Device, Wave };
    static FileKind kindOf(const QString& path);
    // Plays a sound file by its kind: a device sound once, a .wav looped or once; a file that cannot be
    // played gives the fallback sound. False, and nothing played, for a file of no known kind.
    bool PlayFile(const QString& path, bool loop);

    bool OpenDevice(const QString& quotedPath, AudioBackend::DeviceType type);
    bool PlayDevice();
    void CloseDevice();
    // At the start of a run that ends in an alarm: `file` is the alarm's sound file, empty for a built-in
    // (and when the run stops: what was opened ahead is let go).
    void WarmUp(const QString& file = QString());
    // Whether any sound plays now (a fallback in a file's place too).
    bool isPlaying() const;

    // The path itself when the file exists, else the empty text.
    static QString ShortPath(const QString& path);
    // The file as text (its first MiB at most), trimmed of blanks at both ends; the empty text on any
    // error, reported in err.
    static QString LoadSound(const QString& path, FileError* err = nullptr);
    // Why a sound file cannot be opened, without waiting on it (a named pipe, a device or a folder is
    // refused as "Path/File access error"); number 0 when it can.
    static FileError CheckFile(const QString& path);
    // The WAVE image of a built-in sound, empty for an unknown id.
    static QByteArray builtInImage(int id);
    // The names of the built-in sounds in list order; position p is id 101 + p.
    static QStringList builtInNames();
    // The short sound played in place of a .wav file that is missing or cannot be played.
    static QByteArray fallbackImage();

    // Whether a sound that Alarm Off, Snooze, the Options test or closing must stop may be playing: what
    // PlayFile started on the device or looped on the waveform channel, until stopped here or ended.
    bool SoundPlaying() const { return m_waveHeld || m_deviceHeld; }

    AudioBackend& backend();

private:
    bool playImage(const QByteArray& image, bool loop);

    std::unique_ptr<AudioBackend> m_backend;
    QByteArray m_resourceData; // the image on the waveform channel, kept while the back end reads it
    bool m_waveHeld = false;
    bool m_deviceHeld = false;
};

} // namespace zentimo
