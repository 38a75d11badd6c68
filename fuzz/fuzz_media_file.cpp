// Any bytes as a teacher's picture or sound file, through the program's own opening, format
// checks, decoding, reshaping for the output stream and cutting to the picture box. Nothing may
// crash or trip a sanitizer, a sound must come out in whole stream frames, and a picture never
// larger than the box. A picture must come from the file's bytes alone: it is read twice, with
// every block of memory allocated meanwhile filled first with 0x00 and then with 0xFF, and both
// readings must agree, so a pixel that no byte of the file wrote fails the run.
#include "devices/media_file.h"
#include "media/picture_file.h"
#include "devices/sound_decoder.h"

#include <QFile>

#include <sanitizer/allocator_interface.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
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
    auto opened = openMediaFile(memoryFile());
    if (!opened)
        return;
    // A short kept start, so that the rest of the file is read as it plays.
    auto decoded = decodeSound(std::move(opened).value(), 1024);
    if (!decoded)
        return;
    DecodedSound *sound = &decoded.value();
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

// What a fresh block of memory holds while a picture is read; nothing is written when negative.
// (A large calloc'ed block is not cleared again after this fill, which would show here as a
// difference too; Qt's image readers take their buffers from malloc.)
int freshFill = -1;

void fillFreshBlock(const volatile void *block, std::size_t size)
{
    if (freshFill >= 0)
        std::memset(const_cast<void *>(block), freshFill, size);
}

void freed(const volatile void *) {}

std::optional<Result<QImage>> readPicture(int fill)
{
    auto opened = openMediaFile(memoryFile());
    if (!opened)
        return std::nullopt;
    QFile file;
    if (!file.open(opened->release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return std::nullopt;
    freshFill = fill;
    auto read = readPictureTopLeft(file, QSize(81, 81));
    freshFill = -1;
    return read;
}

// Byte for byte: QImage's own comparison of indexed pictures looks indices up in the colour
// table, past its end for an index that it does not hold. A one-bit line that ends inside a
// byte is compared pixel by pixel there: the byte's other bits are no pixel, and nothing
// writes them.
bool samePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size() || a.format() != b.format() || a.colorTable() != b.colorTable())
        return false;
    const qint64 lineBits = qint64(a.width()) * a.depth();
    const auto wholeBytes = std::size_t(lineBits / 8);
    const int firstInLastByte = int(qint64(wholeBytes) * 8 / a.depth());
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), wholeBytes) != 0)
            return false;
        for (int x = firstInLastByte; x < a.width(); ++x) {
            if (a.pixelIndex(x, y) != b.pixelIndex(x, y))
                return false;
        }
    }
    return true;
}

void asPicture()
{
    const auto zeros = readPicture(0x00);
    const auto ones = readPicture(0xFF);
    if (!zeros || !ones)
        return;
    if (bool(*zeros) != bool(*ones))
        std::abort();
    if (*zeros) {
        const QImage &picture = zeros->value();
        if (picture.isNull() || picture.width() > 81 || picture.height() > 81)
            std::abort();
        if (!samePixels(picture, ones->value()))
            std::abort();
    } else if (zeros->errorString() != ones->errorString()) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Qt's image handlers warn about every malformed file; millions of lines would bury a finding.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    if (__sanitizer_install_malloc_and_free_hooks(fillFreshBlock, freed) == 0)
        std::abort();
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
