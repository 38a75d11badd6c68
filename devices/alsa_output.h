// The sound card played directly through ALSA's default device, for a machine where no
// sound server answers. A thread of its own writes the samples, so nothing waits on the card.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class SoundSource;

class AlsaOutput
{
public:
    AlsaOutput();
    ~AlsaOutput();
    AlsaOutput(const AlsaOutput &) = delete;
    AlsaOutput &operator=(const AlsaOutput &) = delete;

    // Cuts off the sound before and plays this one from its start; null only stops.
    void Play(std::unique_ptr<SoundSource> source);
    bool isPlaying() const;

private:
    void run();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::unique_ptr<SoundSource> m_next;
    std::uint64_t m_order = 0;
    bool m_playing = false;
    bool m_quit = false;
    std::thread m_thread;
};
