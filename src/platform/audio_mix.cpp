// audio_mix.cpp -- the software mixer: one channel at a time into a stereo float buffer
#include <cmath>

#include "audio_internal.h"

namespace {

constexpr int RefillFrames = 1024;   // frames decoded at a time into a channel's window

// Makes sure the window holds source frames first..first+1 (the pair the interpolation needs),
// dropping what lies before `first`. Returns false once the sound has nothing at `first`.
bool CoverFrames(Channel& ch, int64_t first)
{
    int channels = ch.data->channels;
    int64_t windowFrames = int64_t(ch.window.size()) / channels;
    if (first + 1 < ch.windowStart + windowFrames) return true;
    if (ch.sourceDone) return first < ch.windowStart + windowFrames;

    // Keep the frames from `first` on, then read more behind them.
    int64_t keepFrom = std::max<int64_t>(first - ch.windowStart, 0);
    keepFrom = std::min<int64_t>(keepFrom, windowFrames);
    ch.window.erase(ch.window.begin(), ch.window.begin() + keepFrom * channels);
    ch.windowStart += keepFrom;
    // At a high rate the position may skip past the whole window: read and drop up to it.
    int16_t block[RefillFrames * 2];
    while (ch.windowStart + int64_t(ch.window.size()) / channels <= first + 1) {
        int got = ReadChannelFrames(ch, block, RefillFrames);
        if (got <= 0) {
            ch.sourceDone = true;
            break;
        }
        for (int i = 0; i < got * channels; ++i) ch.window.push_back(block[i] * (1.0f / 32768.0f));
        int64_t have = int64_t(ch.window.size()) / channels;
        if (ch.windowStart + have <= first) {   // all of it lies before `first`
            ch.windowStart += have;
            ch.window.clear();
        }
    }
    return first < ch.windowStart + int64_t(ch.window.size()) / channels;
}

}  // namespace

void PanGains(float pan, float& left, float& right)
{
    left = pan > 0 ? 1 - pan : 1;
    right = pan < 0 ? 1 + pan : 1;
}

void MixChannel(Channel& ch, float* out, int frames, int outRate)
{
    if (ch.state != ChannelState::Playing || !ch.data || outRate <= 0) return;
    int channels = ch.data->channels;
    double step = double(ch.rate) * ch.data->sampleRate / outRate;
    float gainL, gainR;
    PanGains(ch.pan, gainL, gainR);
    gainL *= ch.volume;
    gainR *= ch.volume;

    for (int i = 0; i < frames; ++i) {
        int64_t first = int64_t(std::floor(ch.position));
        if (!CoverFrames(ch, first)) {
            ch.state = ChannelState::Ended;
            return;
        }
        float frac = float(ch.position - double(first));
        const float* a = ch.window.data() + (first - ch.windowStart) * channels;
        int64_t windowFrames = int64_t(ch.window.size()) / channels;
        // Past the last frame of the sound the interpolation fades towards silence.
        bool haveNext = first + 1 < ch.windowStart + windowFrames;
        float l, r;
        if (channels == 1) {
            float next = haveNext ? a[1] : 0;
            l = r = a[0] + (next - a[0]) * frac;
        } else {
            float nextL = haveNext ? a[2] : 0, nextR = haveNext ? a[3] : 0;
            l = a[0] + (nextL - a[0]) * frac;
            r = a[1] + (nextR - a[1]) * frac;
        }
        out[2 * i] += l * gainL;
        out[2 * i + 1] += r * gainR;
        ch.position += step;
    }
}
