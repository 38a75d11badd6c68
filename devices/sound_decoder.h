// Sound files decoded with libsndfile a piece at a time, their starts kept ready to play.
#pragma once

#include "devices/media_file.h"
#include "devices/resampler.h"
#include "drill/result.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct sf_private_tag;

// The first stretch of a sound in the stream's format. A short sound is held whole; a long
// one has the rest read from its file while it plays, so memory does not grow with the file.
struct SoundStart
{
    std::vector<std::int16_t> samples;
    bool whole = false;
    int channels = 1;
    // Where the rest begins in the file's own frames, and the reshaping state there.
    std::int64_t fileFrames = 0;
    Resampler stream { 1, StreamRate };
};

// One playing of a sound: its kept start, then the rest of its file.
class SoundSource
{
public:
    SoundSource(std::shared_ptr<const SoundStart> start, sf_private_tag *rest, int channels);
    // The rest is read from `file`, opened when it is first needed.
    SoundSource(std::shared_ptr<const SoundStart> start, MediaFile &&file);
    ~SoundSource();
    SoundSource(const SoundSource &) = delete;
    SoundSource &operator=(const SoundSource &) = delete;

    // Up to `frames` stream frames; fewer only at the end of the sound.
    std::size_t read(std::int16_t *out, std::size_t frames);

private:
    bool decodeMore();
    bool openRest();

    std::shared_ptr<const SoundStart> m_start;
    std::size_t m_startAt = 0;
    sf_private_tag *m_rest;
    MediaFile m_file;
    int m_channels;
    Resampler m_stream;
    std::vector<std::int16_t> m_decoded;
    std::size_t m_decodedAt = 0;
};

// How much of a sound is kept decoded: the whole of the program's own short sounds.
inline constexpr std::size_t StartFrames = StreamRate * 2;

// Decodes the start of the sound in `file` (taking the descriptor). With `rest`, the file
// stays open for the rest of the sound and a source that plays it all is made. On failure
// the reason, in words a teacher can act on.
struct DecodedSound
{
    std::shared_ptr<const SoundStart> start;
    std::unique_ptr<SoundSource> source;
};
Result<DecodedSound> decodeSound(MediaFile &&file, int startFrames = StartFrames);

// A source for a start decoded before from the same file, reading the rest from `file`. The
// file is opened for its rest only once the start has been played, by the thread that decodes
// ahead: the sound starts without waiting for libsndfile to read the file's headers again.
Result<std::unique_ptr<SoundSource>> resumeSound(MediaFile &&file,
                                                 std::shared_ptr<const SoundStart> start);
