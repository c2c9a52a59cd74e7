#include "Sound.h"

#include "System.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

bool PlayableFormat(const WAVEFORMATEX& f)
{
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= 8000 &&
           f.nSamplesPerSec <= 192000;
}

SoundDevice* SoundDevice::Create()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    return new SoundDevice;
}

SoundDevice::~SoundDevice()
{
    Close();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SoundDevice::Close()
{
    if (deviceId != 0)
        SDL_CloseAudioDevice(deviceId);
    deviceId = 0;
}

SoundBuffer* SoundDevice::CreateSoundBuffer(const WAVEFORMATEX& format, std::vector<uint8_t>&& samples)
{
    if (buffer || !PlayableFormat(format))
        return nullptr;
    const size_t frame = static_cast<size_t>(format.nChannels) * (format.wBitsPerSample / 8);
    samples.resize(samples.size() / frame * frame);
    if (samples.empty())
        return nullptr;

    // The stream is asked for exactly the file's format (no changes allowed):
    // whatever the hardware wants, SDL converts on the way.
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.nSamplesPerSec);
    wanted.format = format.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    wanted.channels = static_cast<uint8_t>(format.nChannels);
    wanted.samples = System::kSoundFrames;
    wanted.callback = &SoundDevice::Fill;
    wanted.userdata = this;
    deviceId = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (deviceId == 0)
        return nullptr;
    silence = format.wBitsPerSample == 8 ? 0x80 : 0;
    buffer = new SoundBuffer(*this, std::move(samples));
    SDL_PauseAudioDevice(deviceId, paused ? 1 : 0);
    return buffer;
}

// Runs on SDL's audio thread: the buffer's samples, wrapping round at the end
// of a looping buffer, silence once a buffer played once is over.
void SoundDevice::Fill(void* userdata, uint8_t* stream, int bytes)
{
    SoundDevice* device = static_cast<SoundDevice*>(userdata);
    SoundBuffer* buffer = device->buffer;
    size_t done = 0;
    const size_t wanted = static_cast<size_t>(bytes);
    while (buffer && buffer->playing && done < wanted) {
        const size_t chunk = std::min(buffer->samples.size() - buffer->position, wanted - done);
        std::memcpy(stream + done, buffer->samples.data() + buffer->position, chunk);
        done += chunk;
        buffer->position += chunk;
        if (buffer->position == buffer->samples.size()) {
            buffer->position = 0;
            buffer->playing = buffer->looping;
        }
    }
    std::memset(stream + done, device->silence, wanted - done);
}

SoundBuffer::~SoundBuffer()
{
    // Closing the output waits for the audio thread, which then no longer
    // sees this buffer.
    device.Close();
    device.buffer = nullptr;
}

bool SoundBuffer::Play(bool loop)
{
    SDL_LockAudioDevice(device.deviceId);
    looping = loop;
    playing = true;
    SDL_UnlockAudioDevice(device.deviceId);
    return true;
}

void SoundDevice::Pause(bool pause)
{
    paused = pause;
    SDL_PauseAudioDevice(deviceId, pause ? 1 : 0);
}
