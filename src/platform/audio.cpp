// audio.cpp -- the audio front end: back-end choice, sound loading, channel handles and the test log
#include "audio.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <dlfcn.h>

#include "audio_internal.h"
#include "platform_internal.h"
#include "test_platform.h"

// ======================================================================== audio state
std::recursive_mutex AudioLock;
std::vector<std::unique_ptr<SoundData>> SoundTable;
std::vector<Channel> ChannelSlots(MaxChannels);
bool AudioHeadless = false;

namespace {

// Back ends in their fixed order; Offered marks the ones whose output opened at start-up.
const AudioBackend* const Backends[] = {&OpenALBackend, &SdlBackend, &SilentBackend};
constexpr int BackendCount = 3;
bool Offered[BackendCount];
const AudioBackend* Current = &SilentBackend;
bool OpenALOpened = false;
uint64_t UseCounter = 0;
std::vector<TestSoundCall> SoundLog;

constexpr int GenerationLimit = INT_MAX / MaxChannels - 1;

void Record(const char* op, int sound, int channel, float value, const std::string& path = std::string())
{
    if (!AudioHeadless) return;
    SoundLog.push_back(TestSoundCall{op, sound, channel, value, path});
}

// The slot of a live channel handle, or -1 for 0, garbage and handles of recycled slots.
int SlotOf(int channel)
{
    if (channel <= 0) return -1;
    int slot = (channel - 1) % MaxChannels;
    int generation = (channel - 1) / MaxChannels;
    Channel& ch = ChannelSlots[slot];
    if (!ch.allocated || ch.generation != generation) return -1;
    ch.lastUse = ++UseCounter;
    return slot;
}

SoundData* SoundOf(int sound)
{
    if (sound <= 0 || sound > int(SoundTable.size())) return nullptr;
    return SoundTable[sound - 1].get();
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i])) return false;
    return true;
}

// Ends every channel's sound. On a change of back end the handles stay good (the game may hold
// them in its tables and cue them again); on a fresh start-up they are all forgotten.
void ResetChannels(bool forget)
{
    for (int slot = 0; slot < MaxChannels; ++slot) {
        Channel& ch = ChannelSlots[slot];
        if (!ch.allocated) continue;
        Current->Stop(slot);
        if (forget) {
            int generation = (ch.generation + 1) % GenerationLimit;   // old handles stop working
            ch = Channel();
            ch.generation = generation;
        } else {
            if (ch.state == ChannelState::Cued || ch.state == ChannelState::Playing) ch.state = ChannelState::Ended;
            ch.stream.reset();
            ch.window.clear();
        }
    }
}

// Without a sound card, ALSA and OpenAL Soft print their failed attempts to stderr. A game without
// sound is a normal case here, so keep them quiet: ALSA through its error hook (looked up at run time,
// as SDL and OpenAL load ALSA themselves), OpenAL Soft through its log level.
void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietSystemAudioLogs()
{
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    if (void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL)) {
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(Handler);
        if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(SilentAlsaError);
    }
}

// At process exit the output threads must stop before the tables they read are destroyed.
void CloseAudioAtExit()
{
    {
        std::lock_guard<std::recursive_mutex> lock(AudioLock);
        ResetChannels(true);
        Current = &SilentBackend;
    }
    for (const AudioBackend* backend : Backends) backend->Close();
}

float Clamp(float value, float low, float high)
{
    if (!(value >= low)) return low;   // NaN lands here too
    return value > high ? high : value;
}

}  // namespace

void SndStartUp(bool headless)
{
    static bool exitHookSet = false;
    if (!exitHookSet) {
        exitHookSet = true;
        std::atexit(CloseAudioAtExit);
    }
    {
        std::lock_guard<std::recursive_mutex> lock(AudioLock);
        ResetChannels(true);
        Current = &SilentBackend;
    }
    for (const AudioBackend* backend : Backends) backend->Close();
    {
        std::lock_guard<std::recursive_mutex> lock(AudioLock);
        SoundTable.clear();
        SoundLog.clear();
        AudioHeadless = headless;
        OpenALOpened = false;
    }

    if (!headless) QuietSystemAudioLogs();

    // Probe the devices in order. The first that opens stays open and becomes current; the others
    // are closed again and only remembered as offered.
    const AudioBackend* chosen = &SilentBackend;
    for (int i = 0; i < BackendCount; ++i) {
        const AudioBackend* backend = Backends[i];
        Offered[i] = false;
        if (headless && backend != &SilentBackend) continue;
        if (!backend->Open()) continue;
        Offered[i] = true;
        if (backend == &OpenALBackend) OpenALOpened = true;
        if (chosen == &SilentBackend && backend != &SilentBackend)
            chosen = backend;
        else if (backend != chosen)
            backend->Close();
    }
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    Current = chosen;
}

std::vector<std::string> SndDriverNames()
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    std::vector<std::string> names;
    for (int i = 0; i < BackendCount; ++i)
        if (Offered[i]) names.push_back(Backends[i]->name);
    return names;
}

bool SndDriverExists(const std::string& name)
{
    for (const std::string& offered : SndDriverNames())
        if (SameName(offered, name)) return true;
    return false;
}

void SndSetDriver(const std::string& name)
{
    const AudioBackend* old = nullptr;
    const AudioBackend* wanted = nullptr;
    int index = -1;
    {
        std::lock_guard<std::recursive_mutex> lock(AudioLock);
        for (int i = 0; i < BackendCount && !wanted; ++i) {
            if (Offered[i] && SameName(Backends[i]->name, name)) {
                wanted = Backends[i];
                index = i;
            }
        }
        if (!wanted || wanted == Current) return;
        // Sounds playing on the old output end now, like stopped ones.
        ResetChannels(false);
        old = Current;
        Current = &SilentBackend;
    }
    old->Close();
    bool opened = wanted->Open();
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    if (opened) {
        Current = wanted;
    } else {
        Offered[index] = false;   // it worked at start-up but not now: no longer offered
    }
}

std::string SndCurrentDriver()
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    return Current->name;
}

bool SndOpenALUsable()
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    return OpenALOpened;
}

int SndLoad(const std::string& path, int flags)
{
    auto sound = std::make_unique<SoundData>();
    bool ok = LoadSoundFile(path, *sound);   // outside the lock: the mixer must not wait for the disk
    sound->loop = (flags & SoundLoop) != 0;

    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    int handle = 0;
    if (ok) {
        SoundTable.push_back(std::move(sound));
        handle = int(SoundTable.size());
    }
    Record("load", handle, 0, 0, path);
    return handle;
}

int SndAllocChannel()
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    int slot = -1;
    for (int i = 0; i < MaxChannels && slot < 0; ++i)
        if (!ChannelSlots[i].allocated) slot = i;
    if (slot < 0) {
        // Every slot is taken: reuse the channel that has gone untouched longest among those that
        // are not sounding. Its old handle stops working.
        uint64_t oldest = UINT64_MAX;
        for (int i = 0; i < MaxChannels; ++i) {
            Channel& ch = ChannelSlots[i];
            Current->Refresh(i);
            if ((ch.state == ChannelState::Idle || ch.state == ChannelState::Ended) && ch.lastUse < oldest) {
                oldest = ch.lastUse;
                slot = i;
            }
        }
    }
    int handle = 0;
    if (slot >= 0) {
        Channel& ch = ChannelSlots[slot];
        int generation = ch.allocated ? (ch.generation + 1) % GenerationLimit : ch.generation;
        if (ch.allocated) Current->Stop(slot);
        ch = Channel();
        ch.allocated = true;
        ch.generation = generation;
        ch.lastUse = ++UseCounter;
        handle = generation * MaxChannels + slot + 1;
    }
    Record("alloc", 0, handle, 0);
    return handle;
}

void SndCue(int sound, int channel)
{
    // A streamed sound gets its own decoder; opening one parses headers, so do it before locking.
    SoundData* data = nullptr;
    std::shared_ptr<const std::vector<unsigned char>> bytes;
    {
        std::lock_guard<std::recursive_mutex> lock(AudioLock);
        data = SoundOf(sound);
        if (data && data->Streamed()) bytes = data->oggBytes;
    }
    OggStreamPtr stream = bytes ? OggOpen(bytes) : nullptr;

    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    Record("cue", sound, channel, 0);
    int slot = SlotOf(channel);
    if (slot < 0) return;
    Channel& ch = ChannelSlots[slot];
    Current->Stop(slot);
    ch.sound = sound;
    ch.data = data;
    ch.stream = std::move(stream);
    ch.cursor = 0;
    ch.position = 0;
    ch.windowStart = 0;
    ch.window.clear();
    ch.sourceDone = false;
    if (!data || (data->Streamed() && !ch.stream)) {
        // Nothing to play: the channel is at its end at once.
        ch.data = nullptr;
        ch.state = ChannelState::Ended;
        return;
    }
    ch.state = ChannelState::Cued;
    Current->Cue(slot);
}

void SndResume(int channel)
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    Record("resume", 0, channel, 0);
    int slot = SlotOf(channel);
    if (slot < 0 || ChannelSlots[slot].state != ChannelState::Cued) return;
    ChannelSlots[slot].state = ChannelState::Playing;
    Current->Resume(slot);
}

void SndStop(int channel)
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    Record("stop", 0, channel, 0);
    int slot = SlotOf(channel);
    if (slot < 0) return;
    Channel& ch = ChannelSlots[slot];
    if (ch.state == ChannelState::Cued || ch.state == ChannelState::Playing) {
        Current->Stop(slot);
        ch.state = ChannelState::Ended;
    }
}

bool SndPlaying(int channel)
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    int slot = SlotOf(channel);
    if (slot < 0) return false;
    Current->Refresh(slot);
    ChannelState state = ChannelSlots[slot].state;
    return state == ChannelState::Cued || state == ChannelState::Playing;
}

void SndSetVolume(int channel, float volume)
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    volume = Clamp(volume, 0, 1);
    Record("volume", 0, channel, volume);
    int slot = SlotOf(channel);
    if (slot < 0) return;
    ChannelSlots[slot].volume = volume;
    Current->Apply(slot);
}

void SndSetPan(int channel, float pan)
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    pan = std::isnan(pan) ? 0 : Clamp(pan, -1, 1);
    Record("pan", 0, channel, pan);
    int slot = SlotOf(channel);
    if (slot < 0) return;
    ChannelSlots[slot].pan = pan;
    Current->Apply(slot);
}

void SndSetRate(int channel, float rate)
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    rate = std::isnan(rate) ? 1 : Clamp(rate, 0.25f, 4);
    Record("rate", 0, channel, rate);
    int slot = SlotOf(channel);
    if (slot < 0) return;
    ChannelSlots[slot].rate = rate;
    Current->Apply(slot);
}

float SndGetVolume(int channel)
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    int slot = SlotOf(channel);
    return slot < 0 ? 0 : ChannelSlots[slot].volume;
}

float SndGetPan(int channel)
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    int slot = SlotOf(channel);
    return slot < 0 ? 0 : ChannelSlots[slot].pan;
}

float SndGetRate(int channel)
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    int slot = SlotOf(channel);
    return slot < 0 ? 1 : ChannelSlots[slot].rate;
}

SoundInfo SndInfo(int sound)
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    SoundInfo info;
    if (SoundData* data = SoundOf(sound)) {
        info.channels = data->channels;
        info.sampleRate = data->sampleRate;
        info.frames = data->frames;
    }
    return info;
}

// ---------------------------------------------------------------- reading a channel's sound

int ReadChannelFrames(Channel& ch, int16_t* out, int frames)
{
    SoundData* data = ch.data;
    if (!data || frames <= 0) return 0;
    int done = 0;
    bool restarted = false;   // one fresh start per call, so an empty looping sound cannot spin
    while (done < frames) {
        int got = 0;
        if (ch.stream) {
            got = OggRead(ch.stream.get(), out + done * data->channels, frames - done);
        } else if (!data->Streamed()) {
            got = std::min(frames - done, data->frames - ch.cursor);
            std::copy_n(data->pcm.begin() + size_t(ch.cursor) * data->channels, size_t(got) * data->channels,
                        out + done * data->channels);
            ch.cursor += got;
        }
        done += got;
        if (got > 0) {
            restarted = false;
            continue;
        }
        if (!data->loop || restarted) break;
        RewindChannel(ch);
        restarted = true;
    }
    return done;
}

void RewindChannel(Channel& ch)
{
    ch.cursor = 0;
    if (ch.stream && !OggRewind(ch.stream.get())) {
        // A stream that cannot seek back is opened anew.
        if (ch.data) ch.stream = OggOpen(ch.data->oggBytes);
    }
}

// ---------------------------------------------------------------- test platform hooks

const std::vector<TestSoundCall>& TestSoundLog()
{
    return SoundLog;
}

void TestClearSoundLog()
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    SoundLog.clear();
}

void TestFinishSound(int channel)
{
    std::lock_guard<std::recursive_mutex> lock(AudioLock);
    int slot = SlotOf(channel);
    if (slot < 0) return;
    Channel& ch = ChannelSlots[slot];
    if (ch.state == ChannelState::Cued || ch.state == ChannelState::Playing) {
        Current->Stop(slot);
        ch.state = ChannelState::Ended;
    }
}
