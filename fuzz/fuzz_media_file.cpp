// Any bytes as a teacher's picture or sound file, through the program's own opening, format
// checks, decoding, reshaping for the output stream and cutting to the picture box. Nothing may
// crash or trip a sanitizer, a sound must come out in whole stream frames, and a picture never
// larger than the box.
#include "devices/media_file.h"
#include "media/picture_file.h"
#include "devices/sound_decoder.h"

#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The bytes live in a memory file, opened by name as the program opens its files.
const QString &memoryFile()
{
    static const QString path = [] {
        const int fd = memfd_create("tovemi-fuzz", 0);
        if (fd < 0)
            std::abort();
        return u"/proc/self/fd/%1"_s.arg(fd);
    }();
    return path;
}

bool put(const std::uint8_t *data, std::size_t size)
{
    QFile file(memoryFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    return file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size);
}

void asSound()
{
    auto opened = OpenMediaFile(memoryFile());
    if (!std::holds_alternative<MediaFile>(opened))
        return;
    // A short kept start, so that the rest of the file is read as it plays.
    auto decoded = DecodeSound(std::get<MediaFile>(std::move(opened)), 1024);
    auto *sound = std::get_if<DecodedSound>(&decoded);
    if (!sound)
        return;
    if (sound->start->samples.size() % StreamChannels != 0)
        std::abort();
    std::int16_t piece[441 * StreamChannels];
    // A bounded number of pieces: a header may promise hours of sound.
    for (int i = 0; i < 2000; ++i) {
        const std::size_t got = sound->source->read(piece, 441);
        if (got > 441)
            std::abort();
        if (got < 441)
            break;
    }
}

void asPicture()
{
    auto opened = OpenMediaFile(memoryFile());
    if (!std::holds_alternative<MediaFile>(opened))
        return;
    QFile file;
    if (!file.open(std::get<MediaFile>(opened).release(), QIODevice::ReadOnly,
                   QFileDevice::AutoCloseHandle))
        return;
    auto read = ReadPictureTopLeft(file, QSize(81, 81));
    if (const auto *picture = std::get_if<QImage>(&read)) {
        if (picture->isNull() || picture->width() > 81 || picture->height() > 81)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Qt's image handlers warn about every malformed file; millions of lines would bury a finding.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (!put(data, size))
        return 0;
    asSound();
    asPicture();
    return 0;
}
