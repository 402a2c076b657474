// audio.h -- sounds and channels over a choice of named audio back ends
//
// Back ends, in this fixed order: "OpenAL" (listed only when an OpenAL device opens), "SDL Audio"
// (SDL's output with our own mixer) and "Silent" (always works). Sound and channel handles are
// integers; 0 is none and is accepted everywhere.
#pragma once
#include <string>
#include <vector>

constexpr int SoundLoop = 1;

std::vector<std::string> SndDriverNames();        // the back ends offered, in order
bool SndDriverExists(const std::string& name);    // compared without regard to case
void SndSetDriver(const std::string& name);       // makes a back end current; unknown names change nothing
std::string SndCurrentDriver();
bool SndOpenALUsable();                           // an OpenAL device opens
int SndLoad(const std::string& path, int flags = 0);  // WAV or Ogg Vorbis; 0 on failure
int SndAllocChannel();                            // a new channel, 0 when none can be had
void SndCue(int sound, int channel);              // loads the sound onto the channel, paused at its start
void SndResume(int channel);
void SndStop(int channel);
bool SndPlaying(int channel);                     // cued or playing and not yet at its end
void SndSetVolume(int channel, float volume);     // clamped to 0..1
void SndSetPan(int channel, float pan);           // clamped to -1..1
void SndSetRate(int channel, float rate);         // playback rate, clamped to 0.25..4
float SndGetVolume(int channel);
float SndGetPan(int channel);
float SndGetRate(int channel);

// Facts of a loaded sound, for tests and the asset check
struct SoundInfo {
    int channels = 0, sampleRate = 0, frames = 0;
};
SoundInfo SndInfo(int sound);
