// Sound: the default output device and static buffers played in a loop;
// SDL converts each buffer to the device's format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The wave-format record of a WAV file's "fmt " chunk.
struct WAVEFORMATEX {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
};

constexpr uint16_t WAVE_FORMAT_PCM = 1;

class SoundDevice;

class SoundBuffer {
public:
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    // The whole buffer, to be filled before Unlock.
    bool Lock(void** data, uint32_t* bytes);
    bool Unlock();
    bool Play(bool looping);

    uint32_t Bytes() const { return static_cast<uint32_t>(samples.size()); }
    bool Playing() const { return playing; }

private:
    friend class SoundDevice;
    SoundBuffer(SoundDevice& d, const WAVEFORMATEX& f, uint32_t bytes) : device(d), format(f), samples(bytes) {}

    SoundDevice& device;
    WAVEFORMATEX format;
    std::vector<uint8_t> samples;      // as the file holds them
    std::vector<uint8_t> converted;    // in the device's format
    size_t position = 0;
    bool locked = false;
    bool playing = false;
    bool looping = false;
};

class SoundDevice {
public:
    // Null when there is no output device.
    static SoundDevice* Create();
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Null for a format the device cannot convert or an empty buffer.
    SoundBuffer* CreateSoundBuffer(const WAVEFORMATEX& format, uint32_t bytes);

    // Stops the whole output where it is, or lets it go on from there.
    void Pause(bool paused);
    bool Paused() const { return paused; }

private:
    friend class SoundBuffer;
    SoundDevice() = default;
    static void Mix(void* device, uint8_t* stream, int bytes);
    bool Convert(SoundBuffer& buffer);

    uint32_t deviceId = 0;
    int deviceFrequency = 0;
    uint16_t deviceFormat = 0;
    int deviceChannels = 0;
    std::vector<SoundBuffer*> buffers;
    bool paused = false;
};
