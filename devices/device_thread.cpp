#include "devices/device_thread.h"

#include "devices/sound_feed.h"

#include <chrono>
#include <utility>

namespace {

// A working device takes a piece of sound within its buffer's time (40 ms for ALSA, a 20 ms
// block for waveOut); one that takes longer at closing hangs.
constexpr auto ClosingWait = std::chrono::milliseconds(300);

} // namespace

void DeviceThread::Shared::finish()
{
    std::lock_guard lock(mutex);
    finished = true;
    changed.notify_all();
}

DeviceThread::~DeviceThread()
{
    stop();
    std::unique_lock lock(m_shared->mutex);
    m_shared->quit = true;
    m_shared->wake();
    const bool finished =
            m_shared->changed.wait_for(lock, ClosingWait, [this] { return m_shared->finished; });
    lock.unlock();
    if (finished)
        m_thread.join();
    else
        m_thread.detach();
}

void DeviceThread::play(std::unique_ptr<SoundFeed> feed)
{
    replace(std::move(feed));
}

void DeviceThread::stop()
{
    replace(nullptr);
}

void DeviceThread::replace(std::unique_ptr<SoundFeed> feed)
{
    {
        std::lock_guard lock(m_shared->mutex);
        // The sound that was waiting leaves in `feed`, after the lock.
        m_shared->next.swap(feed);
        m_shared->order += 1;
        m_shared->playing = m_shared->next != nullptr;
    }
    m_shared->wake();
}

bool DeviceThread::isPlaying() const
{
    std::lock_guard lock(m_shared->mutex);
    return m_shared->playing;
}
