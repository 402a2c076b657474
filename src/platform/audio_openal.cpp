// audio_openal.cpp -- the "OpenAL" back end: each sounding channel on its own OpenAL Soft source
//
// Sources are few (a device offers a few hundred), channels are many, so a channel holds a source
// only from its cue until it ends. Short sounds sit in one AL buffer each; streamed sounds go through
// a small queue of buffers that a refill thread keeps topped up.
#include <AL/al.h>
#include <AL/alc.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "audio_internal.h"

namespace {

constexpr int MaxVoices = 240;
constexpr int StreamBuffers = 4;
constexpr int StreamBufferFrames = 4096;   // about a tenth of a second each at 44.1 kHz

struct Voice {
    ALuint source = 0;
    ALuint buffers[StreamBuffers] = {};
    int slot = -1;              // the channel on this source, -1 when free
    bool streaming = false;
    bool streamDone = false;    // the decoder has handed over its last frames
};

ALCdevice* Device = nullptr;
ALCcontext* Context = nullptr;
Voice Voices[MaxVoices];
int VoiceCount = 0;
std::thread RefillThread;
std::atomic<bool> RefillRunning{false};

ALenum FormatOf(const SoundData& data)
{
    return data.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

// Decodes the next block of a streamed channel into an AL buffer; false at the end of the sound.
bool FillStreamBuffer(Channel& ch, ALuint buffer)
{
    static int16_t block[StreamBufferFrames * 2];
    int got = ReadChannelFrames(ch, block, StreamBufferFrames);
    if (got <= 0) return false;
    alBufferData(buffer, FormatOf(*ch.data), block, ALsizei(got * ch.data->channels * sizeof(int16_t)),
                 ch.data->sampleRate);
    return true;
}

void ReleaseVoice(Channel& ch)
{
    if (ch.alVoice < 0) return;
    Voice& voice = Voices[ch.alVoice];
    alSourceStop(voice.source);
    alSourcei(voice.source, AL_BUFFER, 0);   // also empties a stream's queue
    voice.slot = -1;
    voice.streaming = false;
    voice.streamDone = false;
    ch.alVoice = -1;
}

// Brings one voice up to date: refills a stream's queue, restarts a stream that ran dry, and ends
// the channel once its source has played everything.
void ServiceVoice(Voice& voice)
{
    if (voice.slot < 0) return;
    Channel& ch = ChannelSlots[voice.slot];
    if (ch.state != ChannelState::Playing) return;
    ALint state = AL_STOPPED;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    if (voice.streaming) {
        ALint processed = 0;
        alGetSourcei(voice.source, AL_BUFFERS_PROCESSED, &processed);
        while (processed-- > 0) {
            ALuint buffer = 0;
            alSourceUnqueueBuffers(voice.source, 1, &buffer);
            if (!voice.streamDone && FillStreamBuffer(ch, buffer))
                alSourceQueueBuffers(voice.source, 1, &buffer);
            else
                voice.streamDone = true;
        }
        ALint queued = 0;
        alGetSourcei(voice.source, AL_BUFFERS_QUEUED, &queued);
        if (state == AL_STOPPED && queued > 0) {   // it ran dry before we refilled: carry on
            alSourcePlay(voice.source);
            return;
        }
        if (state == AL_STOPPED && voice.streamDone) {
            ch.state = ChannelState::Ended;
            ReleaseVoice(ch);
        }
        return;
    }
    if (state == AL_STOPPED) {
        ch.state = ChannelState::Ended;
        ReleaseVoice(ch);
    }
}

void RefillLoop()
{
    while (RefillRunning) {
        {
            std::lock_guard<std::recursive_mutex> lock(AudioLock);
            for (int i = 0; i < VoiceCount; ++i)
                if (Voices[i].streaming) ServiceVoice(Voices[i]);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// A free source for a channel: an unused one, or one whose channel has finished.
int TakeVoice()
{
    for (int i = 0; i < VoiceCount; ++i)
        if (Voices[i].slot < 0) return i;
    for (int i = 0; i < VoiceCount; ++i) {
        ServiceVoice(Voices[i]);
        if (Voices[i].slot < 0) return i;
    }
    return -1;
}

bool OpenALOpen()
{
    if (Device) return true;
    Device = alcOpenDevice(nullptr);
    if (!Device) return false;
    // OpenAL Soft falls back to a device that plays into nothing; that is no better than silence,
    // and silence is cheaper.
    const ALCchar* name = alcGetString(Device, ALC_DEVICE_SPECIFIER);
    if (name && std::strcmp(name, "No Output") == 0) {
        alcCloseDevice(Device);
        Device = nullptr;
        return false;
    }
    Context = alcCreateContext(Device, nullptr);
    if (!Context || !alcMakeContextCurrent(Context)) {
        if (Context) alcDestroyContext(Context);
        alcCloseDevice(Device);
        Context = nullptr;
        Device = nullptr;
        return false;
    }
    alDistanceModel(AL_NONE);
    VoiceCount = 0;
    alGetError();
    while (VoiceCount < MaxVoices) {
        Voice& voice = Voices[VoiceCount];
        voice = Voice();
        alGenSources(1, &voice.source);
        if (alGetError() != AL_NO_ERROR) break;
        alGenBuffers(StreamBuffers, voice.buffers);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteSources(1, &voice.source);
            break;
        }
        alSourcei(voice.source, AL_SOURCE_RELATIVE, AL_TRUE);
        ++VoiceCount;
    }
    RefillRunning = true;
    RefillThread = std::thread(RefillLoop);
    return true;
}

void OpenALClose()
{
    if (!Device) return;
    RefillRunning = false;
    if (RefillThread.joinable()) RefillThread.join();
    {
        std::lock_guard<std::recursive_mutex> lock(AudioLock);
        for (Channel& ch : ChannelSlots) ReleaseVoice(ch);
        for (int i = 0; i < VoiceCount; ++i) {
            alDeleteSources(1, &Voices[i].source);
            alDeleteBuffers(StreamBuffers, Voices[i].buffers);
            Voices[i] = Voice();
        }
        VoiceCount = 0;
        for (auto& sound : SoundTable) {
            if (sound->alBuffer) alDeleteBuffers(1, &sound->alBuffer);
            sound->alBuffer = 0;
        }
    }
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(Context);
    alcCloseDevice(Device);
    Context = nullptr;
    Device = nullptr;
}

void OpenALApply(int slot)
{
    Channel& ch = ChannelSlots[slot];
    if (ch.alVoice < 0) return;
    ALuint source = Voices[ch.alVoice].source;
    alSourcef(source, AL_GAIN, ch.volume);
    alSourcef(source, AL_PITCH, ch.rate);
    // A mono source is panned by placing it on a half circle in front of the listener. Stereo sources
    // keep their own left and right.
    float x = ch.pan;
    float z = -std::sqrt(std::max(0.0f, 1.0f - x * x));
    alSource3f(source, AL_POSITION, x, 0, z);
}

void OpenALCue(int slot)
{
    Channel& ch = ChannelSlots[slot];
    int index = TakeVoice();
    if (index < 0) {   // every source is sounding: this channel stays quiet
        ch.state = ChannelState::Ended;
        return;
    }
    Voice& voice = Voices[index];
    voice.slot = slot;
    ch.alVoice = index;
    SoundData& data = *ch.data;
    alSourcei(voice.source, AL_BUFFER, 0);
    if (data.Streamed()) {
        voice.streaming = true;
        voice.streamDone = false;
        alSourcei(voice.source, AL_LOOPING, AL_FALSE);
        int queued = 0;
        for (; queued < StreamBuffers; ++queued)
            if (!FillStreamBuffer(ch, voice.buffers[queued])) break;
        if (queued == 0) {
            ch.state = ChannelState::Ended;
            ReleaseVoice(ch);
            return;
        }
        voice.streamDone = queued < StreamBuffers;
        alSourceQueueBuffers(voice.source, queued, voice.buffers);
    } else {
        if (!data.alBuffer) {
            alGetError();
            alGenBuffers(1, &data.alBuffer);
            if (alGetError() != AL_NO_ERROR) {
                data.alBuffer = 0;
                ch.state = ChannelState::Ended;
                ReleaseVoice(ch);
                return;
            }
            alBufferData(data.alBuffer, FormatOf(data), data.pcm.data(),
                         ALsizei(data.pcm.size() * sizeof(int16_t)), data.sampleRate);
        }
        voice.streaming = false;
        alSourcei(voice.source, AL_LOOPING, data.loop ? AL_TRUE : AL_FALSE);
        alSourcei(voice.source, AL_BUFFER, ALint(data.alBuffer));
    }
    OpenALApply(slot);
}

void OpenALResume(int slot)
{
    Channel& ch = ChannelSlots[slot];
    if (ch.alVoice < 0) {
        ch.state = ChannelState::Ended;
        return;
    }
    alSourcePlay(Voices[ch.alVoice].source);
}

void OpenALStop(int slot)
{
    ReleaseVoice(ChannelSlots[slot]);
}

void OpenALRefresh(int slot)
{
    Channel& ch = ChannelSlots[slot];
    if (ch.alVoice >= 0) ServiceVoice(Voices[ch.alVoice]);
}

}  // namespace

const AudioBackend OpenALBackend = {"OpenAL",     OpenALOpen,  OpenALClose, OpenALCue,
                                    OpenALResume, OpenALStop,  OpenALApply, OpenALRefresh};
