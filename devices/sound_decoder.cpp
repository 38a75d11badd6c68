#include "devices/sound_decoder.h"

#include "devices/media_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr sf_count_t ChunkFrames = 2048;
// Beyond what any sound card or server plays; such a header is damaged or hostile.
constexpr int MostChannels = 8;
constexpr int LowestRate = 1000;
constexpr int HighestRate = 384000;

// Every format is read as floats, full scale at 1.0 (libsndfile scales integer samples so). Read
// as 16-bit integers, a floating-point file would come out unscaled, all but silent, unless
// libsndfile were told to scale it to its loudest sample, which reads the whole file first.
sf_count_t readFrames(SNDFILE *sound, std::vector<float> &into, sf_count_t frames)
{
    return sf_readf_float(sound, into.data(), frames);
}

QString libraryError(SNDFILE *file)
{
    return u"音声ファイルとして読めません（%1）"_s.arg(QString::fromLocal8Bit(sf_strerror(file)));
}

Result<SNDFILE *> openSound(MediaFile &&file, SF_INFO &info)
{
    info = {};
    const int fd = file.fd();
    SNDFILE *sound = sf_open_fd(fd, SFM_READ, &info, SF_TRUE);
    if (!sound)
        return Failure(libraryError(nullptr));
    file.release(); // libsndfile closes it from now on
    if (info.channels < 1 || info.channels > MostChannels) {
        sf_close(sound);
        return Failure(u"チャンネル数が %1 の音は鳴らせません"_s.arg(info.channels));
    }
    if (info.samplerate < LowestRate || info.samplerate > HighestRate) {
        sf_close(sound);
        return Failure(u"サンプリング周波数 %1 Hz の音は鳴らせません"_s.arg(info.samplerate));
    }
    return sound;
}

} // namespace

SoundSource::SoundSource(std::shared_ptr<const SoundStart> start, SNDFILE *rest, int channels)
    : m_start(std::move(start)), m_rest(rest), m_channels(channels), m_stream(m_start->stream)
{}

SoundSource::SoundSource(std::shared_ptr<const SoundStart> start, MediaFile &&file)
    : m_start(std::move(start)),
      m_rest(nullptr),
      m_file(std::move(file)),
      m_channels(m_start->channels),
      m_stream(m_start->stream)
{}

// The file is the one the start was decoded from (its identity was checked as it was opened),
// so it opens as it did then; were it to fail now (a disk error), the sound ends with its start.
bool SoundSource::openRest()
{
    if (m_file.fd() < 0)
        return false;
    SF_INFO info;
    const auto opened = openSound(std::move(m_file), info);
    m_file = MediaFile();
    if (!opened)
        return false;
    SNDFILE *sound = opened.value();
    if (info.channels != m_channels) {
        sf_close(sound);
        return false;
    }
    if (sf_seek(sound, m_start->fileFrames, SEEK_SET) < 0) {
        // Formats that cannot seek are read up to that point instead.
        std::vector<float> skipped(std::size_t(ChunkFrames) * std::size_t(info.channels));
        for (std::int64_t left = m_start->fileFrames; left > 0;) {
            const sf_count_t got =
                    readFrames(sound, skipped, std::min<std::int64_t>(left, ChunkFrames));
            if (got <= 0)
                break;
            left -= got;
        }
    }
    m_rest = sound;
    return true;
}

SoundSource::~SoundSource()
{
    if (m_rest)
        sf_close(m_rest);
}

bool SoundSource::decodeMore()
{
    if (!m_rest && !openRest())
        return false;
    std::vector<float> input(std::size_t(ChunkFrames) * std::size_t(m_channels));
    m_decoded.clear();
    m_decodedAt = 0;
    // Reads until the data ends rather than trusting the header's frame count, which a
    // damaged file can overstate.
    const sf_count_t got = readFrames(m_rest, input, ChunkFrames);
    if (got > 0)
        m_stream.push(input.data(), std::size_t(got), m_decoded);
    if (got < ChunkFrames) {
        m_stream.finish(m_decoded);
        sf_close(m_rest);
        m_rest = nullptr;
    }
    return !m_decoded.empty();
}

std::size_t SoundSource::read(std::int16_t *out, std::size_t frames)
{
    std::size_t done = 0;
    while (done < frames) {
        const std::vector<std::int16_t> *from = nullptr;
        std::size_t *at = nullptr;
        if (m_startAt < m_start->samples.size()) {
            from = &m_start->samples;
            at = &m_startAt;
        } else if (m_decodedAt < m_decoded.size() || decodeMore()) {
            from = &m_decoded;
            at = &m_decodedAt;
        } else {
            break;
        }
        const std::size_t n = std::min((from->size() - *at) / StreamChannels, frames - done);
        std::memcpy(out + done * StreamChannels, from->data() + *at,
                    n * StreamChannels * sizeof(std::int16_t));
        *at += n * StreamChannels;
        done += n;
    }
    return done;
}

Result<DecodedSound> decodeSound(MediaFile &&file, int startFrames)
{
    SF_INFO info;
    const auto opened = openSound(std::move(file), info);
    if (!opened)
        return Failure(opened.errorString());
    SNDFILE *sound = opened.value();

    auto start = std::make_shared<SoundStart>();
    start->channels = info.channels;
    start->stream = Resampler(info.channels, info.samplerate);
    std::vector<float> input(std::size_t(ChunkFrames) * std::size_t(info.channels));
    const std::size_t wanted = std::size_t(startFrames) * StreamChannels;
    while (start->samples.size() < wanted) {
        const sf_count_t got = readFrames(sound, input, ChunkFrames);
        if (got > 0) {
            start->stream.push(input.data(), std::size_t(got), start->samples);
            start->fileFrames += got;
        }
        if (got < ChunkFrames) {
            start->whole = true;
            break;
        }
    }
    if (sf_error(sound) != SF_ERR_NO_ERROR || start->fileFrames == 0) {
        const QString reason = start->fileFrames == 0 ? u"音声ファイルに音が入っていません"_s
                                                      : libraryError(sound);
        sf_close(sound);
        return Failure(reason);
    }
    if (start->whole) {
        start->stream.finish(start->samples);
        sf_close(sound);
        sound = nullptr;
    }
    DecodedSound decoded;
    decoded.source = std::make_unique<SoundSource>(start, sound, info.channels);
    decoded.start = std::move(start);
    return decoded;
}

Result<std::unique_ptr<SoundSource>> resumeSound(MediaFile &&file,
                                                 std::shared_ptr<const SoundStart> start)
{
    if (start->whole)
        return std::make_unique<SoundSource>(std::move(start), nullptr, 1);
    return std::make_unique<SoundSource>(std::move(start), std::move(file));
}
