#include "devices/wave_output.h"

#include "devices/resampler.h"
#include "devices/sound_feed.h"

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <chrono>
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

// The thread waits on Win32 events rather than the condition variable: one tells it of a new
// order, the other that the device is done with a block.
struct WaveOutput::Events : DeviceThread::Shared
{
    Events()
        : wakeEvent(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          blockDone(::CreateEventW(nullptr, FALSE, FALSE, nullptr))
    {}
    ~Events() override
    {
        ::CloseHandle(wakeEvent);
        ::CloseHandle(blockDone);
    }
    Events(const Events &) = delete;
    Events &operator=(const Events &) = delete;

    void wake() override { ::SetEvent(wakeEvent); }

    const HANDLE wakeEvent;
    const HANDLE blockDone;
    // The device is wanted soon: open it, or keep it open a while longer.
    bool connect = false;
};

WaveOutput::WaveOutput() : WaveOutput(std::make_shared<Events>()) {}

WaveOutput::WaveOutput(std::shared_ptr<Events> shared)
    : DeviceThread(shared, &WaveOutput::run), m_events(std::move(shared))
{}

void WaveOutput::connect()
{
    {
        std::lock_guard lock(m_events->mutex);
        m_events->connect = true;
    }
    m_events->wake();
}

void WaveOutput::run(std::shared_ptr<Events> shared)
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
        const HANDLE events[] = { shared->wakeEvent, shared->blockDone };
        ::WaitForMultipleObjects(2, events, FALSE, timeout);
    }
    close();
    source.reset();
    shared->finish();
}
