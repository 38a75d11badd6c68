#include "devices/background_work.h"

// The browser's build of Qt has no threads.
struct BackgroundWork::Threads
{};

BackgroundWork::BackgroundWork() = default;

BackgroundWork::~BackgroundWork() = default;

void BackgroundWork::run(std::function<void()> job)
{
    job();
}
