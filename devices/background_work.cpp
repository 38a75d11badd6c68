#include "devices/background_work.h"

#include <QThreadPool>

struct BackgroundWork::Threads
{
    QThreadPool pool;
};

BackgroundWork::BackgroundWork() : m_threads(std::make_unique<Threads>())
{
    m_threads->pool.setMaxThreadCount(1);
}

BackgroundWork::~BackgroundWork()
{
    m_threads->pool.clear();
    m_threads->pool.waitForDone();
}

void BackgroundWork::run(std::function<void()> job)
{
    m_threads->pool.start(std::move(job));
}
