// The sound output in the browser, on Web Audio. The page fetched the six files and decoded
// the sounds into AudioBuffers before the program started (tovemi.js), so a sound starts at
// Enter with nothing left to decode; here the program only names which one.
#include "devices/media_file.h"
#include "devices/stream_sound_output.h"

#include <emscripten/val.h>

using namespace Qt::StringLiterals;

namespace {

emscripten::val sounds()
{
    return emscripten::val::global("tovemiSounds");
}

class WebSoundOutput final : public SoundOutput
{
public:
    void connect() override { sounds().call<void>("wake"); }

    Result<void> open(MediaFile &&file) override
    {
        close();
        Result<void> prepared = prepare(std::move(file));
        if (prepared)
            m_open = m_prepared;
        return prepared;
    }

    Result<void> prepare(MediaFile &&file) override
    {
        // The file was opened and checked as on the desktop; what was decoded of it is the
        // page's, under the same name.
        m_prepared = file.identity().path.toStdString();
        const auto problem = sounds().call<std::string>("problem", m_prepared);
        if (problem.empty())
            return {};
        return Failure(
                u"音声ファイルとして読めません（%1）"_s.arg(QString::fromStdString(problem)));
    }

    void play() override
    {
        if (!m_open.empty())
            sounds().call<void>("start", m_open);
    }

    void close() override
    {
        sounds().call<void>("stop");
        m_open.clear();
    }

    bool isPlaying() const override { return sounds().call<bool>("playing"); }

private:
    std::string m_prepared;
    std::string m_open;
};

} // namespace

std::unique_ptr<SoundOutput> makeStreamSoundOutput()
{
    return std::make_unique<WebSoundOutput>();
}
