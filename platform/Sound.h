// Sound: the default output device playing one static buffer in a loop. The
// device is opened in the buffer's own format, so the samples are looped
// exactly as they are and SDL converts the stream for the hardware: no copy
// of the whole sound is made, and the loop point stays seamless.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
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

// What the device plays: PCM of 8 or 16 bits, one or two channels, at 8,000
// to 192,000 samples a second.
bool PlayableFormat(const WAVEFORMATEX& format);

class SoundDevice;

class SoundBuffer {
public:
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    bool Play(bool looping);

    uint32_t Bytes() const { return static_cast<uint32_t>(samples.size()); }
    bool Playing() const { return playing; }

private:
    friend class SoundDevice;
    SoundBuffer(SoundDevice& d, std::vector<uint8_t>&& s) : device(d), samples(std::move(s)) {}

    SoundDevice& device;
    std::vector<uint8_t> samples;  // whole frames, as the file holds them
    size_t position = 0;
    bool playing = false;
    bool looping = false;
};

class SoundDevice {
public:
    // Null when there is no sound output at all.
    static SoundDevice* Create();
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Takes the samples over (a trailing part of a frame is dropped) and opens
    // the output in their format. Null for a format that is not playable, for
    // less than one frame, while another buffer exists, or when the output
    // cannot be opened.
    SoundBuffer* CreateSoundBuffer(const WAVEFORMATEX& format, std::vector<uint8_t>&& samples);

    // Stops the whole output where it is, or lets it go on from there.
    void Pause(bool paused);
    bool Paused() const { return paused; }

private:
    friend class SoundBuffer;
    SoundDevice() = default;
    static void Fill(void* device, uint8_t* stream, int bytes);
    void Close();

    uint32_t deviceId = 0;
    uint8_t silence = 0;
    SoundBuffer* buffer = nullptr;
    bool paused = false;
};
