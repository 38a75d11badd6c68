#include "devices/alsa_output.h"

#include "devices/pcm_stream.h"
#include "devices/sound_decoder.h"

#include <alsa/asoundlib.h>

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

AlsaOutput::AlsaOutput() : m_thread(&AlsaOutput::run, this) {}

AlsaOutput::~AlsaOutput()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
        m_order += 1;
    }
    m_wake.notify_all();
    m_thread.join();
}

void AlsaOutput::Play(std::unique_ptr<SoundSource> source)
{
    {
        std::lock_guard lock(m_mutex);
        m_next = std::move(source);
        m_order += 1;
        m_playing = m_next != nullptr;
    }
    m_wake.notify_all();
}

bool AlsaOutput::isPlaying() const
{
    std::lock_guard lock(m_mutex);
    return m_playing;
}

void AlsaOutput::run()
{
    snd_pcm_t *pcm = nullptr;
    std::vector<std::int16_t> piece(PieceFrames * StreamChannels);
    std::uint64_t seen = 0;
    for (;;) {
        std::unique_ptr<SoundSource> source;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_quit || m_order != seen; });
            if (m_quit)
                break;
            seen = m_order;
            source = std::move(m_next);
        }
        if (!source) {
            if (pcm)
                snd_pcm_drop(pcm);
            continue;
        }
        if (!pcm)
            pcm = openDefaultDevice();
        if (pcm) {
            snd_pcm_drop(pcm);
            snd_pcm_prepare(pcm);
        }
        while (source && pcm) {
            {
                std::lock_guard lock(m_mutex);
                if (m_order != seen || m_quit)
                    break;
            }
            const std::size_t frames = source->read(piece.data(), PieceFrames);
            if (frames == 0)
                break;
            snd_pcm_sframes_t written = snd_pcm_writei(pcm, piece.data(), frames);
            if (written < 0 && snd_pcm_recover(pcm, int(written), 1) < 0) {
                // The card went away: it is opened anew for the next sound.
                snd_pcm_close(pcm);
                pcm = nullptr;
            }
        }
        std::lock_guard lock(m_mutex);
        if (m_order == seen)
            m_playing = false;
    }
    if (pcm)
        snd_pcm_close(pcm);
}
