// audio_sdl.cpp -- the "SDL Audio" back end: SDL's output device fed by our own mixer
#include <SDL.h>

#include <algorithm>
#include <vector>

#include "audio_internal.h"

namespace {

SDL_AudioDeviceID Device = 0;
int DeviceRate = 44100;
std::vector<float> MixBuffer;

// Runs on SDL's audio thread: sums every playing channel and clips to 16 bits.
void MixCallback(void*, Uint8* stream, int length)
{
    int frames = length / (2 * int(sizeof(int16_t)));
    MixBuffer.assign(size_t(frames) * 2, 0.0f);
    {
        std::lock_guard<std::recursive_mutex> lock(AudioLock);
        for (Channel& ch : ChannelSlots)
            if (ch.state == ChannelState::Playing) MixChannel(ch, MixBuffer.data(), frames, DeviceRate);
    }
    int16_t* out = reinterpret_cast<int16_t*>(stream);
    for (int i = 0; i < frames * 2; ++i) {
        float v = std::clamp(MixBuffer[i], -1.0f, 1.0f);
        out[i] = int16_t(v * 32767.0f);
    }
}

bool SdlOpen()
{
    if (Device) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{}, have{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = MixCallback;
    // Only the rate may differ from what we ask; SDL converts anything else for us.
    Device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (!Device) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    DeviceRate = have.freq;
    SDL_PauseAudioDevice(Device, 0);
    return true;
}

// Called without AudioLock: closing waits for the callback, which takes the lock.
void SdlClose()
{
    if (!Device) return;
    SDL_CloseAudioDevice(Device);
    Device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// The mixer reads the channel table directly, so the game's calls need no work here.
void SdlCue(int slot) {}
void SdlResume(int slot) {}
void SdlStop(int slot) {}
void SdlApply(int slot) {}
void SdlRefresh(int slot) {}

}  // namespace

const AudioBackend SdlBackend = {"SDL Audio", SdlOpen, SdlClose, SdlCue, SdlResume, SdlStop, SdlApply, SdlRefresh};
