// audio_silent.cpp -- the back end that plays nothing: for machines without sound and for tests
//
// Without a device, a playing channel still ends when its sound would have ended, by the steady
// clock, so the game's "is the music over" checks behave as with sound. In tests (headless) a
// channel ends only when the test says so (TestFinishSound), which keeps tests free of timing.
#include <chrono>

#include "audio_internal.h"

namespace {

double NowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool SilentOpen()
{
    return true;
}

void SilentClose() {}

void SilentCue(int slot) {}

// The end time follows from the sound's length at the rate in force when it was resumed.
void PlanEnd(Channel& ch)
{
    if (!ch.data || ch.data->loop || ch.data->sampleRate <= 0) {
        ch.silentEndMs = 0;
        return;
    }
    ch.silentEndMs = NowMs() + 1000.0 * ch.data->frames / (double(ch.data->sampleRate) * ch.rate);
}

void SilentResume(int slot)
{
    PlanEnd(ChannelSlots[slot]);
}

void SilentStop(int slot) {}

// Volume, pan and rate changes after the resume do not move the planned end; the game sets them
// before it resumes a channel.
void SilentApply(int slot) {}

void SilentRefresh(int slot)
{
    Channel& ch = ChannelSlots[slot];
    if (AudioHeadless || ch.state != ChannelState::Playing || ch.silentEndMs <= 0) return;
    if (NowMs() >= ch.silentEndMs) ch.state = ChannelState::Ended;
}

}  // namespace

const AudioBackend SilentBackend = {"Silent",  SilentOpen,  SilentClose, SilentCue,
                                    SilentResume, SilentStop, SilentApply, SilentRefresh};
