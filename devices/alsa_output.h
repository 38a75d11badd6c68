// The sound card played directly through ALSA's default device, for a machine where no
// sound server answers. A thread of its own writes the samples, so nothing waits on the card.
#pragma once

#include <memory>
#include <thread>

class SoundFeed;

// The window's thread and libpulse's thread (handing over a sound that no server took, under
// the main loop's lock) call in; the card's thread plays. One mutex guards what they share; it
// comes after the main loop's lock and before a SoundFeed's, and is never held while the card
// is written to.
class AlsaOutput
{
public:
    AlsaOutput();
    // Waits a moment for the card's thread to finish. A card whose writes hang (a device
    // stalled, a plug-in's file that nobody reads) is left to its thread, which ends with the
    // process: closing the program never waits on a device.
    ~AlsaOutput();
    AlsaOutput(const AlsaOutput &) = delete;
    AlsaOutput &operator=(const AlsaOutput &) = delete;

    // Cuts off the sound before and plays this one from its start, unless it is late by then.
    void Play(std::unique_ptr<SoundFeed> feed);
    void Stop();
    bool isPlaying() const;

private:
    struct Shared;
    static void run(std::shared_ptr<Shared> shared);
    void replace(std::unique_ptr<SoundFeed> feed);

    // Shared with the thread, which may outlive this object.
    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};
