// What the sound card's outputs (ALSA's default device, waveOut on Windows) share: a thread of
// their own that feeds the device, told of each new sound by an order number, and let go at
// closing without waiting on a device that hangs.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class SoundFeed;

// The window's thread calls in (on Linux libpulse's thread too, handing over a sound that no
// server took, under the main loop's lock); the device's thread plays. The mutex comes after
// the main loop's lock and before a SoundFeed's, and is never held while the device is written
// to.
class DeviceThread
{
public:
    // Shared with the thread, which keeps it and may outlive the output.
    struct Shared
    {
        virtual ~Shared() = default;
        // Tells the thread that the order or `quit` has changed.
        virtual void wake() { changed.notify_all(); }
        // The thread's last step.
        void finish();

        std::mutex mutex;
        // Tells whoever closes that the thread has finished; unless `wake` is overridden, it
        // also tells the thread of a new order.
        std::condition_variable changed;
        std::unique_ptr<SoundFeed> next;
        std::uint64_t order = 0;
        bool playing = false;
        bool quit = false;
        bool finished = false;
    };

    template<class S>
    DeviceThread(std::shared_ptr<S> shared, void (*run)(std::shared_ptr<S>))
        : m_shared(shared), m_thread(run, std::move(shared))
    {}
    // Waits a moment for the thread to finish. A device whose writes hang (a card stalled, a
    // plug-in's file that nobody reads, a driver that hangs in closing) is left to its thread,
    // which ends with the process: closing the program never waits on a device.
    ~DeviceThread();
    DeviceThread(const DeviceThread &) = delete;
    DeviceThread &operator=(const DeviceThread &) = delete;

    // Cuts off the sound before and plays this one from its start, unless it is late by the
    // time the device is ready.
    void play(std::unique_ptr<SoundFeed> feed);
    void stop();
    bool isPlaying() const;

private:
    void replace(std::unique_ptr<SoundFeed> feed);

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};
