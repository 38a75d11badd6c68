#include "devices/stream_sound_output.h"

#include "devices/media_file.h"
#include "devices/sound_decoder.h"
#include "devices/sound_feed.h"

#ifdef Q_OS_WIN
#include "devices/wave_output.h"
#else
#include "devices/alsa_output.h"
#include "devices/pulse_output.h"
#endif

#include <map>

namespace {

// A sound that cannot start within half a second of its answer no longer answers anything: it
// is dropped rather than heard late, after the pupil has gone on.
constexpr auto LateAfter = std::chrono::milliseconds(500);

#ifdef Q_OS_WIN
using PlatformOutput = WaveOutput;
#else
// The sound server, and the sound card where no server answers.
class PlatformOutput
{
public:
    void connect() { m_server.connect(); }

    void play(std::unique_ptr<SoundFeed> feed)
    {
        // The sound card gives way to the server whenever one answers.
        m_card.stop();
        m_server.play(std::move(feed));
    }

    void stop()
    {
        m_server.stop();
        m_card.stop();
    }

    bool isPlaying() const { return m_server.isPlaying() || m_card.isPlaying(); }

private:
    // The card's thread waits idle until a sound finds no server; it is made first, so that
    // it outlives the server's thread, which may hand it a sound until it stops.
    AlsaOutput m_card;
    PulseOutput m_server { [this](std::unique_ptr<SoundFeed> feed) {
        m_card.play(std::move(feed));
    } };
};
#endif

class StreamSoundOutput final : public SoundOutput
{
public:
    void connect() override { m_output.connect(); }

    Result<void> open(MediaFile &&file) override
    {
        close();
        auto source = sourceOf(std::move(file));
        if (!source)
            return Failure(source.errorString());
        m_open = std::move(source).value();
        return {};
    }

    Result<void> prepare(MediaFile &&file) override
    {
        const auto source = sourceOf(std::move(file));
        if (!source)
            return Failure(source.errorString());
        return {};
    }

    void play() override
    {
        if (!m_open)
            return;
        // Decoded ahead here, so that the output's threads only copy samples.
        m_output.play(std::make_unique<SoundFeed>(std::move(m_open),
                                                  SoundFeed::Clock::now() + LateAfter));
    }

    void close() override
    {
        m_open.reset();
        m_output.stop();
    }

    bool isPlaying() const override { return m_output.isPlaying(); }

private:
    // A source that plays the sound in `file`, from what was kept of the same file or decoded
    // anew.
    Result<std::unique_ptr<SoundSource>> sourceOf(MediaFile &&file)
    {
        const FileIdentity identity = file.identity();
        const auto kept = m_kept.find(identity.path);
        if (kept != m_kept.end() && kept->second.identity == identity)
            return resumeSound(std::move(file), kept->second.start);
        // A file replaced since is decoded anew; what was kept of it goes.
        m_kept.erase(identity.path);
        auto decoded = decodeSound(std::move(file));
        if (!decoded)
            return Failure(decoded.errorString());
        DecodedSound &sound = decoded.value();
        m_kept[identity.path] = { identity, sound.start };
        return std::move(sound.source);
    }

    struct Kept
    {
        FileIdentity identity;
        std::shared_ptr<const SoundStart> start;
    };
    std::map<QString, Kept> m_kept;
    std::unique_ptr<SoundSource> m_open;
    PlatformOutput m_output;
};

} // namespace

std::unique_ptr<SoundOutput> makeStreamSoundOutput()
{
    return std::make_unique<StreamSoundOutput>();
}
