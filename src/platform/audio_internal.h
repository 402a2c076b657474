// audio_internal.h -- what the audio front end shares with its decoders, its mixer and its back ends
// (included only by src/platform/audio*.cpp, sound_decode.cpp and the audio tests)
//
// The front end (audio.cpp) owns every sound and channel. A back end only plays them: the SDL one
// mixes the channel table in its callback, the OpenAL one mirrors cued channels onto AL sources,
// the silent one plays nothing. All of this state is guarded by AudioLock, because the SDL callback
// and the OpenAL refill thread read it while the game thread changes it.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// ---------------------------------------------------------------- sounds

// A loaded sound. Short sounds (WAV) are held whole as 16-bit samples; Ogg Vorbis files are held as
// their compressed bytes and decoded bit by bit while they play.
struct SoundData {
    int channels = 0;                 // 1 or 2
    int sampleRate = 0;
    int frames = 0;                   // length in sample frames
    bool loop = false;                // SoundLoop: starts again at its end
    std::vector<int16_t> pcm;         // interleaved samples (not streamed)
    std::shared_ptr<const std::vector<unsigned char>> oggBytes;  // the whole file (streamed)
    unsigned alBuffer = 0;            // the OpenAL buffer of a non-streamed sound, made on first use

    bool Streamed() const { return oggBytes != nullptr; }
};

// Decoding (sound_decode.cpp). Both parsers take any bytes at all and fail cleanly on bad ones.
bool ParseWav(const unsigned char* bytes, size_t size, SoundData& out);
bool OpenOggInfo(std::shared_ptr<const std::vector<unsigned char>> bytes, SoundData& out);
bool LoadSoundFile(const std::string& path, SoundData& out);

// An incremental Ogg Vorbis decoder over the bytes of a loaded sound.
struct OggStream;
struct OggStreamDeleter {
    void operator()(OggStream* stream) const;
};
using OggStreamPtr = std::unique_ptr<OggStream, OggStreamDeleter>;
OggStreamPtr OggOpen(std::shared_ptr<const std::vector<unsigned char>> bytes);
int OggRead(OggStream* stream, int16_t* out, int frames);   // frames decoded; 0 at the end or on damage
bool OggRewind(OggStream* stream);

// ---------------------------------------------------------------- channels

enum class ChannelState {
    Idle,      // allocated, nothing cued yet
    Cued,      // a sound sits on it, paused at its start
    Playing,
    Ended      // reached its end or was stopped
};

// One channel. The read cursor walks the sound (decoding as it goes for streamed sounds); the SDL
// mixer keeps a short window of decoded frames around its fractional position.
struct Channel {
    bool allocated = false;
    int generation = 0;               // part of the handle, so a recycled slot ignores stale handles
    uint64_t lastUse = 0;             // for recycling the channel nobody has touched longest
    int sound = 0;
    SoundData* data = nullptr;
    ChannelState state = ChannelState::Idle;
    float volume = 1, pan = 0, rate = 1;

    // Sequential reading of the sound
    int cursor = 0;                   // next frame of a non-streamed sound
    OggStreamPtr stream;              // decoder of a streamed sound

    // SDL mixer
    double position = 0;              // in source frames since the cue
    int64_t windowStart = 0;          // source frame of window[0]
    std::vector<float> window;        // decoded frames, interleaved in the sound's channel count
    bool sourceDone = false;          // the read cursor found the end

    // Silent back end without a device: when a playing channel should be over (steady-clock ms)
    double silentEndMs = 0;

    // OpenAL
    int alVoice = -1;                 // index into the OpenAL back end's sources, -1 for none
};

constexpr int MaxChannels = 1024;     // slots; finished channels are recycled when all are in use

// Reads up to `frames` frames from the channel's read cursor into out (interleaved, the sound's own
// channel count), starting over at the end of a looping sound. Returns frames read; 0 at the end.
int ReadChannelFrames(Channel& channel, int16_t* out, int frames);
// Puts the read cursor back to the start of the cued sound.
void RewindChannel(Channel& channel);

// The software mixer (audio_mix.cpp): adds `frames` stereo frames of the channel at outRate into out
// (interleaved left/right), applying volume, pan and rate, and marks the channel Ended when its sound
// runs out. Does nothing unless the channel is Playing.
void MixChannel(Channel& channel, float* out, int frames, int outRate);
// Left and right gains of a pan position: centre plays both sides fully, -1 only the left.
void PanGains(float pan, float& left, float& right);

// ---------------------------------------------------------------- back ends

// One back end, called by the game thread only. Open and Close run without AudioLock (closing may
// wait for a mixing thread that takes it); every other function runs with AudioLock held.
struct AudioBackend {
    const char* name;
    bool (*Open)();                   // starts the output; false when it cannot
    void (*Close)();                  // stops it; closing what is not open does nothing
    void (*Cue)(int slot);            // the channel now holds a sound, paused at its start
    void (*Resume)(int slot);
    void (*Stop)(int slot);           // also before a channel is cued again or recycled
    void (*Apply)(int slot);          // volume, pan or rate changed
    void (*Refresh)(int slot);        // brings the channel's state up to date before it is read
};

extern const AudioBackend SilentBackend;
extern const AudioBackend SdlBackend;
extern const AudioBackend OpenALBackend;

// ======================================================================== audio state
extern std::recursive_mutex AudioLock;
extern std::vector<std::unique_ptr<SoundData>> SoundTable;   // handle n is entry n - 1
extern std::vector<Channel> ChannelSlots;                    // MaxChannels entries
extern bool AudioHeadless;                                   // tests: silent only, ends by TestFinishSound
