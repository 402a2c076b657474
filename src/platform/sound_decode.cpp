// sound_decode.cpp -- reading WAV files and decoding Ogg Vorbis, tolerant of damaged and hostile files
#include <vorbis/vorbisfile.h>

#include <cstring>
#include <fstream>

#include "audio_internal.h"

namespace {

constexpr uint64_t MaxSoundFileBytes = 256ull * 1024 * 1024;   // nothing of ours comes near this
constexpr int MaxSampleRate = 384000;

uint32_t ReadLE32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t ReadLE16(const unsigned char* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    std::streamoff size = file.tellg();
    if (size <= 0 || uint64_t(size) > MaxSoundFileBytes) return false;
    bytes.resize(size_t(size));
    file.seekg(0);
    file.read(reinterpret_cast<char*>(bytes.data()), size);
    return file.gcount() == size;
}

// Ogg Vorbis reads from memory through these, so the file is read once and decoding never blocks
// on the disk.
struct MemorySource {
    std::shared_ptr<const std::vector<unsigned char>> bytes;
    size_t at = 0;
};

size_t MemRead(void* out, size_t size, size_t count, void* source)
{
    MemorySource& mem = *static_cast<MemorySource*>(source);
    if (size == 0) return 0;
    size_t left = mem.bytes->size() - mem.at;
    size_t n = std::min(count, left / size);
    std::memcpy(out, mem.bytes->data() + mem.at, n * size);
    mem.at += n * size;
    return n;
}

int MemSeek(void* source, ogg_int64_t offset, int whence)
{
    MemorySource& mem = *static_cast<MemorySource*>(source);
    int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? int64_t(mem.at) : int64_t(mem.bytes->size());
    int64_t target = base + offset;
    if (target < 0 || target > int64_t(mem.bytes->size())) return -1;
    mem.at = size_t(target);
    return 0;
}

long MemTell(void* source)
{
    return long(static_cast<MemorySource*>(source)->at);
}

const ov_callbacks MemoryCallbacks = {MemRead, MemSeek, nullptr, MemTell};

}  // namespace

// ---------------------------------------------------------------- WAV

bool ParseWav(const unsigned char* bytes, size_t size, SoundData& out)
{
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) return false;

    int channels = 0, rate = 0, bits = 0;
    bool haveFormat = false;
    const unsigned char* data = nullptr;
    uint64_t dataSize = 0;

    // Walk the chunks; a chunk claiming more than the file holds is cut to what is there, which is
    // how a truncated file still yields the samples it has.
    uint64_t at = 12;
    while (at + 8 <= size) {
        const unsigned char* chunk = bytes + at;
        uint64_t chunkSize = ReadLE32(chunk + 4);
        uint64_t bodyAt = at + 8;
        uint64_t available = std::min<uint64_t>(chunkSize, size - bodyAt);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (available < 16) return false;
            const unsigned char* fmt = bytes + bodyAt;
            int tag = ReadLE16(fmt);
            if (tag == 0xFFFE && available >= 26) tag = ReadLE16(fmt + 24);   // extensible: the sub-format
            channels = ReadLE16(fmt + 2);
            rate = int(std::min<uint32_t>(ReadLE32(fmt + 4), uint32_t(MaxSampleRate + 1)));
            int blockAlign = ReadLE16(fmt + 12);
            bits = ReadLE16(fmt + 14);
            if (tag != 1 || channels < 1 || channels > 2 || (bits != 8 && bits != 16)) return false;
            if (rate < 1 || rate > MaxSampleRate || blockAlign != channels * bits / 8) return false;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0 && !data) {
            data = bytes + bodyAt;
            dataSize = available;
        }
        at = bodyAt + chunkSize + (chunkSize & 1);
    }
    if (!haveFormat || !data) return false;

    uint64_t frameBytes = uint64_t(channels) * (bits / 8);
    uint64_t frames = dataSize / frameBytes;
    if (frames == 0 || frames > uint64_t(INT32_MAX / 2)) return false;

    out.channels = channels;
    out.sampleRate = rate;
    out.frames = int(frames);
    out.pcm.resize(size_t(frames) * channels);
    for (size_t i = 0; i < out.pcm.size(); ++i) {
        if (bits == 8)
            out.pcm[i] = int16_t((int(data[i]) - 128) * 256);
        else
            out.pcm[i] = int16_t(ReadLE16(data + 2 * i));
    }
    return true;
}

// ---------------------------------------------------------------- Ogg Vorbis

struct OggStream {
    MemorySource source;
    OggVorbis_File file;
    int channels = 0;
};

void OggStreamDeleter::operator()(OggStream* stream) const
{
    ov_clear(&stream->file);
    delete stream;
}

OggStreamPtr OggOpen(std::shared_ptr<const std::vector<unsigned char>> bytes)
{
    if (!bytes) return nullptr;
    auto* stream = new OggStream;
    stream->source.bytes = std::move(bytes);
    if (ov_open_callbacks(&stream->source, &stream->file, nullptr, 0, MemoryCallbacks) != 0) {
        delete stream;   // ov_open_callbacks cleans up after itself on failure
        return nullptr;
    }
    vorbis_info* info = ov_info(&stream->file, -1);
    stream->channels = info ? info->channels : 0;
    return OggStreamPtr(stream);
}

int OggRead(OggStream* stream, int16_t* out, int frames)
{
    int done = 0;
    int stalls = 0;
    while (done < frames) {
        int section = 0;
        int wantBytes = (frames - done) * stream->channels * 2;
        long got = ov_read(&stream->file, reinterpret_cast<char*>(out + done * stream->channels), wantBytes, 0, 2, 1,
                           &section);
        if (got == OV_HOLE) {           // a gap in the data: skip it, but not forever
            if (++stalls > 16) break;
            continue;
        }
        if (got <= 0) break;            // the end, or damage past repair
        // A chained stream whose later part has another channel count would scramble the output.
        vorbis_info* info = ov_info(&stream->file, section);
        if (!info || info->channels != stream->channels) break;
        done += int(got / (2 * stream->channels));
    }
    return done;
}

bool OggRewind(OggStream* stream)
{
    return ov_pcm_seek(&stream->file, 0) == 0;
}

bool OpenOggInfo(std::shared_ptr<const std::vector<unsigned char>> bytes, SoundData& out)
{
    OggStreamPtr stream = OggOpen(bytes);
    if (!stream) return false;
    vorbis_info* info = ov_info(&stream->file, -1);
    ogg_int64_t total = ov_pcm_total(&stream->file, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate < 1 || info->rate > MaxSampleRate) return false;
    if (total <= 0 || total > INT32_MAX / 2) return false;
    // Decode a first block, so a file whose headers are fine but whose audio is not is refused now
    // rather than failing silently later.
    int16_t probe[512 * 2];
    if (OggRead(stream.get(), probe, 512) <= 0) return false;

    out.channels = info->channels;
    out.sampleRate = int(info->rate);
    out.frames = int(total);
    out.oggBytes = std::move(bytes);
    return true;
}

bool LoadSoundFile(const std::string& path, SoundData& out)
{
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "OggS", 4) == 0)
        return OpenOggInfo(std::make_shared<const std::vector<unsigned char>>(std::move(bytes)), out);
    return ParseWav(bytes.data(), bytes.size(), out);
}
