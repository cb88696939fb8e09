#pragma once
// The audio back end on SDL2_mixer. Mixer channel 0 is the waveform channel; the file device is the
// mixer's music, with channel 1 for the fallback sound of a device file that cannot be played. The audio
// device opens with the first sound, not at program start; when it cannot be opened every call answers
// false and nothing plays. The mixer is one per process: all instances share it.
//
// Nothing is read or decoded on the caller's thread: a .wav file streams from a decoder thread of its own,
// and .mp3/.mid files are opened on one loader thread; whatever turns out unplayable sounds the fallback.

#include "sound/AudioBackend.h"

namespace zentimo {

class SdlAudio : public AudioBackend {
public:
    static constexpr int kRate = 44100;
    // About 12 ms: an alarm sounds at once, with room for a busy desktop not to starve the device.
    static constexpr int kBufferFrames = 512;
    // A .mid file is read whole, and no General MIDI file comes near this.
    static constexpr qint64 kMaxMidiBytes = qint64{4} * 1024 * 1024;

    SdlAudio();
    ~SdlAudio() override;

    bool playWaveImage(const QByteArray& image, bool loop) override;
    // True when the file goes to its decoder (that it plays is known only later).
    bool playWaveFile(const QString& path, bool loop) override;
    void stopWave() override;

    // True when the file goes to the loader; false for an empty path or without a device.
    bool openDevice(const QString& path, DeviceType type) override;
    bool playDevice() override;
    void closeDevice() override;

    // Opens the audio device now rather than with the first sound; false when there is none.
    bool prepare();
    // Loads the libraries; for a .mid or .mp3 file also opens it ahead, so that the alarm's "open" finds
    // it ready (a General MIDI bank takes most of a second to read); any other file lets go of that.
    void warmUp(const QString& file) override;
    bool isOpen() const;
    bool isWavePlaying() const;
    bool isDevicePlaying() const;
    bool isPlaying() const override;
    // Whether the device's file is still being opened on the loader thread.
    bool isDeviceLoading() const;
    // Whether the file given to warmUp is still being opened.
    bool isPreparing() const;
};

} // namespace zentimo
