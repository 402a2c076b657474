// audio_test.cpp -- the audio layer on the silent back end, sound loading and the software mixer
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_internal.h"
#include "platform/test_platform.h"
#include "test_support.h"

namespace {

const std::string DataDir = std::string(SOURCE_DIR) + "/data/Files/";

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        TestClearSoundLog();
    }
};

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void Put32(std::vector<unsigned char>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back((unsigned char)(v >> (8 * i)));
}

void Put16(std::vector<unsigned char>& b, uint16_t v)
{
    b.push_back((unsigned char)v);
    b.push_back((unsigned char)(v >> 8));
}

void PutTag(std::vector<unsigned char>& b, const char* tag)
{
    for (int i = 0; i < 4; ++i) b.push_back((unsigned char)tag[i]);
}

// A WAV file built field by field, so a test can spoil exactly one field.
struct WavSpec {
    int format = 1, channels = 1, rate = 22050, bits = 16, blockAlign = -1;
    int dataFrames = 100;
    int64_t dataSizeField = -1;   // what the data chunk claims; -1 for the truth
    uint32_t fmtSizeField = 16;
};

std::vector<unsigned char> MakeWav(const WavSpec& spec)
{
    int align = spec.blockAlign >= 0 ? spec.blockAlign : spec.channels * spec.bits / 8;
    int bytesPerFrame = std::max(1, spec.channels * spec.bits / 8);
    std::vector<unsigned char> b;
    PutTag(b, "RIFF");
    Put32(b, 0);   // readers must not trust this either
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    Put32(b, spec.fmtSizeField);
    Put16(b, uint16_t(spec.format));
    Put16(b, uint16_t(spec.channels));
    Put32(b, uint32_t(spec.rate));
    Put32(b, uint32_t(spec.rate) * uint32_t(bytesPerFrame));
    Put16(b, uint16_t(align));
    Put16(b, uint16_t(spec.bits));
    PutTag(b, "data");
    uint32_t dataBytes = uint32_t(spec.dataFrames * bytesPerFrame);
    Put32(b, spec.dataSizeField >= 0 ? uint32_t(spec.dataSizeField) : dataBytes);
    for (uint32_t i = 0; i < dataBytes; ++i) b.push_back((unsigned char)(i * 7));
    return b;
}

int LoadBytes(const std::string& name, const std::vector<unsigned char>& bytes)
{
    std::string path = MakeScratchDir("audio_" + name) + "/" + name;
    WriteBytes(path, bytes);
    return SndLoad(path);
}

// ------------------------------------------------------------------ the silent back end

TEST_F(AudioTest, HeadlessOffersOnlyTheSilentBackEnd)
{
    EXPECT_EQ(SndDriverNames(), std::vector<std::string>{"Silent"});
    EXPECT_TRUE(SndDriverExists("sILENT"));
    EXPECT_FALSE(SndDriverExists("OpenAL"));
    EXPECT_FALSE(SndDriverExists("Silen"));
    EXPECT_FALSE(SndOpenALUsable());
    SndSetDriver("OpenAL");
    SndSetDriver("no such thing");
    EXPECT_EQ(SndCurrentDriver(), "Silent");
}

TEST_F(AudioTest, ChannelSettingsAreClamped)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* op;
        float given, expected;
    } cases[] = {
        {"volume", 0.5f, 0.5f}, {"volume", -1, 0},    {"volume", 1.5f, 1},   {"volume", nan, 0},
        {"volume", inf, 1},     {"volume", 0, 0},     {"volume", 1, 1},      {"pan", -0.25f, -0.25f},
        {"pan", -3, -1},        {"pan", 2, 1},        {"pan", -inf, -1},     {"pan", nan, 0},
        {"rate", 1.5f, 1.5f},   {"rate", 10, 4},      {"rate", 0.1f, 0.25f}, {"rate", 0, 0.25f},
        {"rate", -2, 0.25f},    {"rate", 0.25f, 0.25f}, {"rate", 4, 4},      {"rate", nan, 1},
    };
    int channel = SndAllocChannel();
    ASSERT_NE(channel, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.op) + " " + std::to_string(c.given));
        TestClearSoundLog();
        float got = 0;
        if (std::strcmp(c.op, "volume") == 0) {
            SndSetVolume(channel, c.given);
            got = SndGetVolume(channel);
        } else if (std::strcmp(c.op, "pan") == 0) {
            SndSetPan(channel, c.given);
            got = SndGetPan(channel);
        } else {
            SndSetRate(channel, c.given);
            got = SndGetRate(channel);
        }
        EXPECT_FLOAT_EQ(got, c.expected);
        ASSERT_EQ(TestSoundLog().size(), 1u);
        EXPECT_EQ(TestSoundLog()[0].op, c.op);
        EXPECT_FLOAT_EQ(TestSoundLog()[0].value, c.expected);
    }
}

TEST_F(AudioTest, SilentBackEndRecordsEveryCallInOrder)
{
    std::string path = DataDir + "252/002.wav";
    int sound = SndLoad(path);
    int missing = SndLoad(DataDir + "252/nothing-here.wav");
    int channel = SndAllocChannel();
    SndCue(sound, channel);
    SndSetVolume(channel, 0.25f);
    SndSetPan(channel, -0.5f);
    SndSetRate(channel, 1.2f);
    SndResume(channel);
    SndStop(channel);
    SndCue(0, 0);   // handles of 0 are accepted, and still recorded

    const std::vector<TestSoundCall>& log = TestSoundLog();
    ASSERT_EQ(log.size(), 10u);
    struct Expected {
        const char* op;
        int sound, channel;
        float value;
    } expected[] = {
        {"load", sound, 0, 0},          {"load", 0, 0, 0},
        {"alloc", 0, channel, 0},       {"cue", sound, channel, 0},
        {"volume", 0, channel, 0.25f},  {"pan", 0, channel, -0.5f},
        {"rate", 0, channel, 1.2f},     {"resume", 0, channel, 0},
        {"stop", 0, channel, 0},        {"cue", 0, 0, 0},
    };
    for (size_t i = 0; i < log.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(log[i].op, expected[i].op);
        EXPECT_EQ(log[i].sound, expected[i].sound);
        EXPECT_EQ(log[i].channel, expected[i].channel);
        EXPECT_FLOAT_EQ(log[i].value, expected[i].value);
    }
    EXPECT_NE(sound, 0);
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(log[0].path, path);
    EXPECT_EQ(log[1].path, DataDir + "252/nothing-here.wav");
}

TEST_F(AudioTest, PlayingWhileCuedOrPlayingUntilTheEnd)
{
    int sound = SndLoad(DataDir + "252/004.wav");
    ASSERT_NE(sound, 0);
    int channel = SndAllocChannel();
    ASSERT_NE(channel, 0);
    EXPECT_FALSE(SndPlaying(channel)) << "nothing cued yet";
    SndResume(channel);
    EXPECT_FALSE(SndPlaying(channel)) << "resuming an empty channel starts nothing";

    SndCue(sound, channel);
    EXPECT_TRUE(SndPlaying(channel)) << "cued and paused counts as playing";
    SndResume(channel);
    EXPECT_TRUE(SndPlaying(channel));
    TestFinishSound(channel);
    EXPECT_FALSE(SndPlaying(channel));

    // A finished channel is reused by cueing it again, as the effect ring does.
    SndCue(sound, channel);
    SndResume(channel);
    EXPECT_TRUE(SndPlaying(channel));
    SndStop(channel);
    EXPECT_FALSE(SndPlaying(channel));
    SndResume(channel);
    EXPECT_FALSE(SndPlaying(channel)) << "a stopped channel stays stopped until cued again";

    // Cueing a failed load leaves the channel at its end rather than playing nothing forever.
    SndCue(0, channel);
    EXPECT_FALSE(SndPlaying(channel));
}

TEST_F(AudioTest, NoneAndUnknownHandlesAreIgnored)
{
    for (int channel : {0, -1, 7777777}) {
        SCOPED_TRACE(channel);
        SndCue(1, channel);
        SndResume(channel);
        SndSetVolume(channel, 0.3f);
        SndSetPan(channel, 0.3f);
        SndSetRate(channel, 2);
        SndStop(channel);
        TestFinishSound(channel);
        EXPECT_FALSE(SndPlaying(channel));
        EXPECT_EQ(SndGetVolume(channel), 0);
    }
    for (int sound : {0, -5, 999999}) EXPECT_EQ(SndInfo(sound).frames, 0);
}

TEST_F(AudioTest, FinishedChannelsAreRecycledWhenAllSlotsAreTaken)
{
    int sound = SndLoad(DataDir + "252/002.wav");
    ASSERT_NE(sound, 0);
    std::vector<int> held;
    for (int i = 0; i < MaxChannels + 10; ++i) {
        int channel = SndAllocChannel();
        if (channel == 0) break;
        SndCue(sound, channel);
        held.push_back(channel);
    }
    EXPECT_LE(int(held.size()), MaxChannels) << "every slot holds a cued sound, so allocation must fail";
    ASSERT_FALSE(held.empty());

    int old = held.front();
    TestFinishSound(old);
    int fresh = SndAllocChannel();
    ASSERT_NE(fresh, 0);
    EXPECT_NE(fresh, old);
    // The recycled slot's old handle is dead: it cannot disturb the new owner.
    SndCue(sound, old);
    EXPECT_FALSE(SndPlaying(old));
    EXPECT_FALSE(SndPlaying(fresh));
    SndCue(sound, fresh);
    SndStop(old);
    EXPECT_TRUE(SndPlaying(fresh));

    for (int channel : held) SndStop(channel);
    SndStop(fresh);
}

// ------------------------------------------------------------------ loading

TEST_F(AudioTest, LoadsTheGameSounds)
{
    struct Case {
        const char* file;
        int channels;
        float minSeconds, maxSeconds;
    } cases[] = {
        {"Common/badgeget.wav", 1, 0.6f, 1.0f}, {"252/002.wav", 1, 0.15f, 0.3f}, {"252/003.wav", 1, 0.15f, 0.3f},
        {"252/004.wav", 1, 0.3f, 0.5f},        {"252/005.wav", 1, 1.0f, 1.5f},  {"252/Theme.ogg", 2, 60, 120},
        {"252/Ingame.ogg", 2, 60, 180},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        int sound = SndLoad(DataDir + c.file);
        ASSERT_NE(sound, 0);
        SoundInfo info = SndInfo(sound);
        EXPECT_EQ(info.channels, c.channels);
        EXPECT_EQ(info.sampleRate, 44100);
        float seconds = float(info.frames) / float(info.sampleRate);
        EXPECT_GE(seconds, c.minSeconds);
        EXPECT_LE(seconds, c.maxSeconds);
    }
}

TEST_F(AudioTest, ReadsEightBitStereoAndTruncatedWavs)
{
    WavSpec stereo8;
    stereo8.channels = 2;
    stereo8.bits = 8;
    stereo8.rate = 11025;
    stereo8.dataFrames = 40;
    SoundInfo info = SndInfo(LoadBytes("stereo8.wav", MakeWav(stereo8)));
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.sampleRate, 11025);
    EXPECT_EQ(info.frames, 40);

    // A file cut off inside its data keeps the whole frames it still has.
    WavSpec cut;
    cut.dataFrames = 100;
    std::vector<unsigned char> bytes = MakeWav(cut);
    bytes.resize(bytes.size() - 101);   // 50 frames and one stray byte gone
    EXPECT_EQ(SndInfo(LoadBytes("cut.wav", bytes)).frames, 49);
}

TEST_F(AudioTest, DamagedAndHostileWavsGiveNoSound)
{
    struct Case {
        const char* name;
        WavSpec spec;
    };
    std::vector<Case> cases;
    auto add = [&](const char* name, auto change) {
        WavSpec spec;
        change(spec);
        cases.push_back({name, spec});
    };
    add("compressed", [](WavSpec& s) { s.format = 2; });
    add("no channels", [](WavSpec& s) { s.channels = 0; });
    add("six channels", [](WavSpec& s) { s.channels = 6; });
    add("24 bit", [](WavSpec& s) { s.bits = 24; });
    add("zero rate", [](WavSpec& s) { s.rate = 0; });
    add("absurd rate", [](WavSpec& s) { s.rate = 2000000000; });
    add("wrong block size", [](WavSpec& s) { s.blockAlign = 3; });
    add("no frames", [](WavSpec& s) { s.dataFrames = 0; });
    add("short fmt chunk", [](WavSpec& s) { s.fmtSizeField = 8; });
    add("fmt chunk past the end", [](WavSpec& s) { s.fmtSizeField = 0xFFFFFFF0u; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LoadBytes("bad.wav", MakeWav(c.spec)), 0);
    }

    // A data chunk claiming 4 GB holds only what the file has.
    WavSpec huge;
    huge.dataSizeField = 0xFFFFFFFFu;
    EXPECT_EQ(SndInfo(LoadBytes("huge.wav", MakeWav(huge))).frames, 100);

    const std::vector<unsigned char> raw[] = {
        {},
        {'R', 'I', 'F', 'F'},
        {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'},
        {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'd', 'a', 't', 'a', 4, 0, 0, 0, 1, 2, 3, 4},
        {'J', 'U', 'N', 'K', 1, 2, 3},
    };
    for (const auto& bytes : raw) EXPECT_EQ(LoadBytes("raw.wav", bytes), 0);
    EXPECT_EQ(SndLoad(DataDir + "252/no-such-file.wav"), 0);
    EXPECT_EQ(SndLoad(DataDir + "252"), 0) << "a folder";
}

TEST_F(AudioTest, DamagedOggFilesGiveNoSoundOrPlaySafely)
{
    std::vector<unsigned char> good = ReadBytes(DataDir + "252/Ingame.ogg");
    ASSERT_GT(good.size(), 20000u);

    // Cut inside the headers, or garbage behind the page marker: refused.
    for (size_t keep : {size_t(4), size_t(60), size_t(3000)}) {
        SCOPED_TRACE(keep);
        EXPECT_EQ(LoadBytes("short.ogg", std::vector<unsigned char>(good.begin(), good.begin() + keep)), 0);
    }
    std::vector<unsigned char> garbage = {'O', 'g', 'g', 'S'};
    for (int i = 0; i < 5000; ++i) garbage.push_back((unsigned char)(i * 131 + 17));
    EXPECT_EQ(LoadBytes("garbage.ogg", garbage), 0);

    // Damage in the audio itself, and a file cut short in the middle: whatever loads must play to
    // an end through the decoder without crashing.
    std::vector<unsigned char> scribbled = good;
    for (size_t i = 8000; i < scribbled.size(); i += 997) scribbled[i] ^= 0x5A;
    std::vector<unsigned char> halved(good.begin(), good.begin() + good.size() / 2);
    for (const auto& bytes : {scribbled, halved}) {
        SoundData data;
        if (!OpenOggInfo(std::make_shared<const std::vector<unsigned char>>(bytes), data)) continue;
        Channel channel;
        channel.data = &data;
        channel.stream = OggOpen(data.oggBytes);
        ASSERT_NE(channel.stream, nullptr);
        channel.state = ChannelState::Playing;
        channel.rate = 4;   // fast, to get through the file quickly
        std::vector<float> out(2 * 4096);
        int blocks = 0;
        while (channel.state == ChannelState::Playing && blocks++ < 10000)
            MixChannel(channel, out.data(), 4096, 44100);
        EXPECT_EQ(channel.state, ChannelState::Ended);
    }
}

// ------------------------------------------------------------------ the software mixer

// A mono sound of constant level, or a rising ramp, to mix by hand.
SoundData ConstantSound(int frames, int16_t level)
{
    SoundData data;
    data.channels = 1;
    data.sampleRate = 1000;
    data.frames = frames;
    data.pcm.assign(size_t(frames), level);
    return data;
}

Channel PlayingChannel(SoundData& data, float volume = 1, float pan = 0, float rate = 1)
{
    Channel channel;
    channel.data = &data;
    channel.state = ChannelState::Playing;
    channel.volume = volume;
    channel.pan = pan;
    channel.rate = rate;
    return channel;
}

TEST(AudioMixer, AppliesVolumeAndPan)
{
    SoundData half = ConstantSound(200, 16384);   // 0.5 full scale
    struct Case {
        float volume, pan, left, right;
    } cases[] = {
        {1, 0, 0.5f, 0.5f},     {0.5f, 0, 0.25f, 0.25f}, {1, -1, 0.5f, 0},      {1, 1, 0, 0.5f},
        {1, 0.5f, 0.25f, 0.5f}, {1, -0.5f, 0.5f, 0.25f}, {0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "volume " << c.volume << " pan " << c.pan);
        Channel channel = PlayingChannel(half, c.volume, c.pan);
        std::vector<float> out(2 * 100, 0.0f);
        MixChannel(channel, out.data(), 100, 1000);
        for (int i = 0; i < 100; i += 33) {
            EXPECT_NEAR(out[2 * i], c.left, 1e-4);
            EXPECT_NEAR(out[2 * i + 1], c.right, 1e-4);
        }
    }
}

TEST(AudioMixer, AddsToWhatIsAlreadyMixed)
{
    SoundData quarter = ConstantSound(50, 8192);
    Channel a = PlayingChannel(quarter), b = PlayingChannel(quarter);
    std::vector<float> out(2 * 10, 0.0f);
    MixChannel(a, out.data(), 10, 1000);
    MixChannel(b, out.data(), 10, 1000);
    EXPECT_NEAR(out[0], 0.5f, 1e-4);
    EXPECT_NEAR(out[19], 0.5f, 1e-4);
}

TEST(AudioMixer, RateChangesLengthAndPitch)
{
    // 100 frames at the device's own rate last 100 output frames; rate 2 halves that, 0.5 doubles it,
    // and a sound at half the device's rate lasts twice as long.
    struct Case {
        float rate;
        int soundRate, outRate, expectedFrames;
    } cases[] = {{1, 1000, 1000, 100}, {2, 1000, 1000, 50}, {0.5f, 1000, 1000, 200}, {1, 1000, 2000, 200},
                 {4, 1000, 1000, 25},  {0.25f, 1000, 1000, 400}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "rate " << c.rate << " out " << c.outRate);
        SoundData data = ConstantSound(100, 16384);
        data.sampleRate = c.soundRate;
        Channel channel = PlayingChannel(data, 1, 0, c.rate);
        std::vector<float> out(2 * 1000, 0.0f);
        MixChannel(channel, out.data(), 1000, c.outRate);
        EXPECT_EQ(channel.state, ChannelState::Ended);
        int sounding = 0;
        for (int i = 0; i < 1000; ++i)
            if (out[2 * i] > 0.01f) ++sounding;
        EXPECT_NEAR(sounding, c.expectedFrames, 1);
    }

    // At half speed the frames between the originals are interpolated, not repeated.
    SoundData ramp = ConstantSound(4, 0);
    for (int i = 0; i < 4; ++i) ramp.pcm[i] = int16_t(i * 8192);
    Channel slow = PlayingChannel(ramp, 1, 0, 0.5f);
    std::vector<float> out(2 * 6, 0.0f);
    MixChannel(slow, out.data(), 6, 1000);
    const float expected[] = {0, 0.125f, 0.25f, 0.375f, 0.5f, 0.625f};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(out[2 * i], expected[i], 1e-4) << i;
}

TEST(AudioMixer, LoopingSoundsStartOverAndPausedOnesStayQuiet)
{
    SoundData loop = ConstantSound(30, 16384);
    loop.loop = true;
    Channel channel = PlayingChannel(loop);
    std::vector<float> out(2 * 1000, 0.0f);
    MixChannel(channel, out.data(), 1000, 1000);
    EXPECT_EQ(channel.state, ChannelState::Playing);
    EXPECT_NEAR(out[2 * 999], 0.5f, 1e-4);

    SoundData once = ConstantSound(30, 16384);
    Channel cued = PlayingChannel(once);
    cued.state = ChannelState::Cued;
    std::vector<float> silent(2 * 10, 0.0f);
    MixChannel(cued, silent.data(), 10, 1000);
    EXPECT_EQ(silent[0], 0.0f);
    EXPECT_EQ(cued.state, ChannelState::Cued);
}

TEST(AudioMixer, StreamsAnOggFileToItsLastFrame)
{
    SoundData data;
    ASSERT_TRUE(LoadSoundFile(DataDir + "252/Theme.ogg", data));
    ASSERT_TRUE(data.Streamed()) << "music is decoded as it plays, not at load";
    EXPECT_TRUE(data.pcm.empty());
    Channel channel = PlayingChannel(data);
    channel.stream = OggOpen(data.oggBytes);
    ASSERT_NE(channel.stream, nullptr);

    std::vector<float> out(2 * 4096);
    int64_t mixed = 0;
    float peak = 0;
    while (channel.state == ChannelState::Playing && mixed < int64_t(data.frames) + 100000) {
        std::fill(out.begin(), out.end(), 0.0f);
        MixChannel(channel, out.data(), 4096, data.sampleRate);
        for (float v : out) peak = std::max(peak, std::fabs(v));
        mixed += 4096;
    }
    EXPECT_EQ(channel.state, ChannelState::Ended);
    // The last block is partly empty; the sound itself lasted exactly its frame count.
    EXPECT_EQ(int64_t(channel.position), data.frames);
    EXPECT_GT(peak, 0.3f);
    EXPECT_LE(peak, 1.0f);
}

}  // namespace
