#include "devices/alsa_output.h"

#include "devices/resampler.h"
#include "devices/sound_feed.h"

#include <alsa/asoundlib.h>

#include <cstdint>
#include <mutex>
#include <vector>

namespace {

// Enough to ride out a busy moment of the machine, short enough to cut a sound off at once.
constexpr unsigned BufferMicroseconds = 40'000;
constexpr std::size_t PieceFrames = StreamRate / 200;

// ALSA prints its complaints about missing cards to the terminal; a missing card is normal
// here, and stays silent like any failure to play.
void quiet(const char *, int, const char *, int, const char *, ...) {}

snd_pcm_t *openDefaultDevice()
{
    snd_lib_error_set_handler(&quiet);
    snd_pcm_t *pcm = nullptr;
    // Without blocking: a card that another program holds must not stall the thread forever.
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return nullptr;
    if (snd_pcm_nonblock(pcm, 0) < 0
        || snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                              StreamChannels, StreamRate, 1, BufferMicroseconds)
                < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    return pcm;
}

} // namespace

AlsaOutput::AlsaOutput() : DeviceThread(std::make_shared<Shared>(), &AlsaOutput::run) {}

void AlsaOutput::run(std::shared_ptr<Shared> shared)
{
    snd_pcm_t *pcm = nullptr;
    std::vector<std::int16_t> piece(PieceFrames * StreamChannels);
    std::uint64_t seen = 0;
    for (;;) {
        std::unique_ptr<SoundFeed> feed;
        {
            std::unique_lock lock(shared->mutex);
            shared->changed.wait(lock, [&] { return shared->quit || shared->order != seen; });
            if (shared->quit)
                break;
            seen = shared->order;
            feed = std::move(shared->next);
        }
        if (!feed) {
            if (pcm)
                snd_pcm_drop(pcm);
            continue;
        }
        if (!pcm)
            pcm = openDefaultDevice();
        // Opening the card may have taken long enough for the sound to be late.
        if (pcm && !feed->lateAt(SoundFeed::Clock::now())) {
            snd_pcm_drop(pcm);
            snd_pcm_prepare(pcm);
        } else {
            feed.reset();
        }
        while (feed && pcm) {
            {
                std::lock_guard lock(shared->mutex);
                if (shared->order != seen || shared->quit)
                    break;
            }
            const std::size_t frames = feed->take(piece.data(), PieceFrames);
            if (frames == 0)
                break;
            snd_pcm_sframes_t written = snd_pcm_writei(pcm, piece.data(), frames);
            if (written < 0 && snd_pcm_recover(pcm, int(written), 1) < 0) {
                // The card went away: it is opened anew for the next sound.
                snd_pcm_close(pcm);
                pcm = nullptr;
            }
        }
        std::lock_guard lock(shared->mutex);
        if (shared->order == seen)
            shared->playing = false;
    }
    if (pcm)
        snd_pcm_close(pcm);
    shared->finish();
}
