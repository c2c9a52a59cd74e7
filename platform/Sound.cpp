#include "Sound.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

SoundDevice* SoundDevice::Create()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return nullptr;
    SoundDevice* device = new SoundDevice;
    SDL_AudioSpec wanted{}, obtained{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 2048;
    wanted.callback = &SoundDevice::Mix;
    wanted.userdata = device;
    device->deviceId = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (device->deviceId == 0) {
        delete device;
        return nullptr;
    }
    device->deviceFrequency = obtained.freq;
    device->deviceFormat = obtained.format;
    device->deviceChannels = obtained.channels;
    SDL_PauseAudioDevice(device->deviceId, 0);
    return device;
}

SoundDevice::~SoundDevice()
{
    if (deviceId != 0)
        SDL_CloseAudioDevice(deviceId);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

SoundBuffer* SoundDevice::CreateSoundBuffer(const WAVEFORMATEX& format, uint32_t bytes)
{
    if (bytes == 0 || format.wFormatTag != WAVE_FORMAT_PCM || format.nChannels == 0 ||
        (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) || format.nSamplesPerSec == 0)
        return nullptr;
    SoundBuffer* buffer = new SoundBuffer(*this, format, bytes);
    SDL_LockAudioDevice(deviceId);
    buffers.push_back(buffer);
    SDL_UnlockAudioDevice(deviceId);
    return buffer;
}

bool SoundDevice::Convert(SoundBuffer& buffer)
{
    const WAVEFORMATEX& f = buffer.format;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, f.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB, static_cast<uint8_t>(f.nChannels),
                          static_cast<int>(f.nSamplesPerSec), deviceFormat, static_cast<uint8_t>(deviceChannels),
                          deviceFrequency) < 0)
        return false;
    const size_t frame = static_cast<size_t>(f.nChannels) * (f.wBitsPerSample / 8);
    const size_t usable = buffer.samples.size() / frame * frame;
    std::vector<uint8_t> work(usable * static_cast<size_t>(std::max(cvt.len_mult, 1)));
    std::memcpy(work.data(), buffer.samples.data(), usable);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(usable);
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0)
        return false;
    work.resize(cvt.needed ? static_cast<size_t>(cvt.len_cvt) : usable);
    SDL_LockAudioDevice(deviceId);
    buffer.converted.swap(work);
    buffer.position = 0;
    SDL_UnlockAudioDevice(deviceId);
    return true;
}

// Runs on SDL's audio thread: adds every playing buffer into the stream.
void SoundDevice::Mix(void* userdata, uint8_t* stream, int bytes)
{
    SoundDevice* device = static_cast<SoundDevice*>(userdata);
    std::memset(stream, device->deviceFormat == AUDIO_U8 ? 0x80 : 0, static_cast<size_t>(bytes));
    for (SoundBuffer* buffer : device->buffers) {
        if (!buffer->playing || buffer->converted.empty())
            continue;
        int done = 0;
        while (done < bytes && buffer->playing) {
            const size_t left = buffer->converted.size() - buffer->position;
            const int chunk = static_cast<int>(std::min<size_t>(left, static_cast<size_t>(bytes - done)));
            SDL_MixAudioFormat(stream + done, buffer->converted.data() + buffer->position, device->deviceFormat,
                               static_cast<uint32_t>(chunk), SDL_MIX_MAXVOLUME);
            done += chunk;
            buffer->position += static_cast<size_t>(chunk);
            if (buffer->position >= buffer->converted.size()) {
                buffer->position = 0;
                buffer->playing = buffer->looping;
            }
        }
    }
}

SoundBuffer::~SoundBuffer()
{
    SDL_LockAudioDevice(device.deviceId);
    auto& list = device.buffers;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    SDL_UnlockAudioDevice(device.deviceId);
}

bool SoundBuffer::Lock(void** data, uint32_t* bytes)
{
    if (locked || !data || !bytes)
        return false;
    locked = true;
    *data = samples.data();
    *bytes = static_cast<uint32_t>(samples.size());
    return true;
}

bool SoundBuffer::Unlock()
{
    if (!locked)
        return false;
    locked = false;
    return device.Convert(*this);
}

bool SoundBuffer::Play(bool loop)
{
    if (locked || converted.empty())
        return false;
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
