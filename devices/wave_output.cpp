#include "devices/wave_output.h"

#include "devices/resampler.h"
#include "devices/sound_feed.h"

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

namespace {

// Four blocks of 20 ms queued: enough to ride out a busy moment of the machine, and a reset
// drops them all at once when a new sound cuts in.
constexpr std::size_t BlockFrames = StreamRate / 50;
constexpr std::size_t QueuedBlocks = 4;
// The device is closed after this long without a sound or a key typed into an answer box, so
// that the machine's audio engine may sleep; the same moment as the Linux stream's cork.
constexpr std::chrono::milliseconds AwakeAfterUse { 1500 };
// A working device gives back a block within its 20 ms; one that takes longer at closing hangs.
constexpr auto ClosingWait = std::chrono::milliseconds(300);

struct Block
{
    std::vector<std::int16_t> samples = std::vector<std::int16_t>(BlockFrames * StreamChannels);
    WAVEHDR header {};
    bool queued = false;
};

HWAVEOUT openDevice(HANDLE blockDone)
{
    WAVEFORMATEX format {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = StreamChannels;
    format.nSamplesPerSec = StreamRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = StreamChannels * sizeof(std::int16_t);
    format.nAvgBytesPerSec = StreamRate * format.nBlockAlign;
    HWAVEOUT device = nullptr;
    if (::waveOutOpen(&device, WAVE_MAPPER, &format, DWORD_PTR(blockDone), 0, CALLBACK_EVENT)
        != MMSYSERR_NOERROR)
        return nullptr;
    return device;
}

} // namespace

struct WaveOutput::Shared
{
    Shared()
        : wake(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          blockDone(::CreateEventW(nullptr, FALSE, FALSE, nullptr))
    {}
    ~Shared()
    {
        ::CloseHandle(wake);
        ::CloseHandle(blockDone);
    }
    Shared(const Shared &) = delete;
    Shared &operator=(const Shared &) = delete;

    std::mutex mutex;
    // Tells whoever closes that the thread has finished.
    std::condition_variable finishedChanged;
    // Win32 events: one tells the thread of a new order, the other that the device is done
    // with a block.
    const HANDLE wake;
    const HANDLE blockDone;
    std::unique_ptr<SoundFeed> next;
    std::uint64_t order = 0;
    bool connect = false;
    bool playing = false;
    bool quit = false;
    bool finished = false;
};

WaveOutput::WaveOutput()
    : m_shared(std::make_shared<Shared>()), m_thread(&WaveOutput::run, m_shared)
{}

WaveOutput::~WaveOutput()
{
    Stop();
    std::unique_lock lock(m_shared->mutex);
    m_shared->quit = true;
    ::SetEvent(m_shared->wake);
    const bool finished = m_shared->finishedChanged.wait_for(lock, ClosingWait,
                                                             [this] { return m_shared->finished; });
    lock.unlock();
    if (finished)
        m_thread.join();
    else
        m_thread.detach();
}

void WaveOutput::Connect()
{
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->connect = true;
    }
    ::SetEvent(m_shared->wake);
}

void WaveOutput::Play(std::unique_ptr<SoundFeed> feed)
{
    replace(std::move(feed));
}

void WaveOutput::Stop()
{
    replace(nullptr);
}

void WaveOutput::replace(std::unique_ptr<SoundFeed> feed)
{
    std::unique_ptr<SoundFeed> unplayed;
    {
        std::lock_guard lock(m_shared->mutex);
        unplayed = std::exchange(m_shared->next, std::move(feed));
        m_shared->order += 1;
        m_shared->playing = m_shared->next != nullptr;
    }
    ::SetEvent(m_shared->wake);
}

bool WaveOutput::isPlaying() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->playing;
}

void WaveOutput::run(std::shared_ptr<Shared> shared)
{
    using Clock = std::chrono::steady_clock;
    HWAVEOUT device = nullptr;
    std::array<Block, QueuedBlocks> blocks;
    std::unique_ptr<SoundFeed> source;
    std::uint64_t seen = 0;
    Clock::time_point lastUse = Clock::now();

    const auto reclaim = [&] {
        for (Block &block : blocks) {
            if (block.queued && (block.header.dwFlags & WHDR_DONE)) {
                ::waveOutUnprepareHeader(device, &block.header, sizeof block.header);
                block.queued = false;
            }
        }
    };
    const auto cutOff = [&] {
        ::waveOutReset(device);
        reclaim();
    };
    const auto close = [&] {
        if (!device)
            return;
        cutOff();
        ::waveOutClose(device);
        device = nullptr;
    };

    for (;;) {
        bool changed = false;
        bool connect = false;
        {
            std::lock_guard lock(shared->mutex);
            if (shared->quit)
                break;
            if (shared->order != seen) {
                changed = true;
                seen = shared->order;
                source = std::move(shared->next);
            }
            connect = std::exchange(shared->connect, false);
        }
        if (changed && device)
            cutOff();
        // A device that failed to open is tried again at the next sound: one may have been
        // plugged in since.
        if (!device && ((changed && source) || connect))
            device = openDevice(shared->blockDone);
        // Opening the device may have taken long enough for the sound to be late.
        if (!device || (changed && source && source->lateAt(Clock::now())))
            source.reset();
        if (changed || connect)
            lastUse = Clock::now();

        if (device) {
            reclaim();
            for (Block &block : blocks) {
                if (!source)
                    break;
                if (block.queued)
                    continue;
                const std::size_t frames = source->take(block.samples.data(), BlockFrames);
                if (frames < BlockFrames)
                    source.reset();
                if (frames == 0)
                    break;
                block.header = {};
                block.header.lpData = reinterpret_cast<LPSTR>(block.samples.data());
                block.header.dwBufferLength = DWORD(frames * StreamChannels * sizeof(std::int16_t));
                if (::waveOutPrepareHeader(device, &block.header, sizeof block.header)
                    != MMSYSERR_NOERROR) {
                    source.reset();
                    break;
                }
                if (::waveOutWrite(device, &block.header, sizeof block.header)
                    != MMSYSERR_NOERROR) {
                    // The device went away: it is opened anew for the next sound.
                    ::waveOutUnprepareHeader(device, &block.header, sizeof block.header);
                    source.reset();
                    close();
                    break;
                }
                block.queued = true;
            }
        }

        bool sounding = source != nullptr;
        for (const Block &block : blocks)
            sounding = sounding || block.queued;
        {
            std::lock_guard lock(shared->mutex);
            if (shared->order == seen && !sounding)
                shared->playing = false;
        }
        DWORD timeout = INFINITE;
        if (sounding) {
            lastUse = Clock::now();
        } else if (device) {
            const auto left = AwakeAfterUse
                    - std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - lastUse);
            if (left.count() <= 0)
                close();
            else
                timeout = DWORD(left.count());
        }
        const HANDLE events[] = { shared->wake, shared->blockDone };
        ::WaitForMultipleObjects(2, events, FALSE, timeout);
    }
    close();
    source.reset();
    std::lock_guard lock(shared->mutex);
    shared->finished = true;
    shared->finishedChanged.notify_all();
}
