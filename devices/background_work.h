// Work done away from the window's thread, where the platform gives the program threads.
#pragma once

#include <functional>
#include <memory>

// Runs jobs one at a time, in the order given, on a thread of its own; in the browser, which
// runs the program on one thread, each at once, on the thread that gives it.
class BackgroundWork
{
public:
    BackgroundWork();
    // Jobs not yet begun are dropped; the one running is waited for.
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork &) = delete;
    BackgroundWork &operator=(const BackgroundWork &) = delete;

    void run(std::function<void()> job);

private:
    struct Threads;
    std::unique_ptr<Threads> m_threads;
};
