#include "media/picture_file.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Offsets in a Windows bitmap's file and info headers.
constexpr int FileHeaderSize = 14;
constexpr int PixelOffsetAt = 10;
constexpr int InfoSizeAt = 14;
constexpr int WidthAt = 18;
constexpr int HeightAt = 22;
constexpr int BitsAt = 28;
constexpr int CompressionAt = 30;
constexpr int ImageSizeAt = 34;
// An OS/2 bitmap's header is shorter: 16-bit sizes, no compression, no data size.
constexpr int CoreInfoSize = 12;
constexpr int CoreWidthAt = 18;
constexpr int CoreHeightAt = 20;
constexpr int CoreBitsAt = 24;

constexpr qint32 RunLength8 = 1;
constexpr qint32 RunLength4 = 2;

// Qt's bitmap reader refuses more pixels than this whatever its allocation limit: four bytes
// a pixel make 1024 MB.
constexpr int QtBitmapLimitMB = 1024;

// Headers and colour tables longer than this are not copied for a corner: the bitmap is left
// to Qt whole.
constexpr qint64 MaxCornerHeader = 1 << 20;

qint32 readLE32(const char *bytes, int at)
{
    return qFromLittleEndian<qint32>(bytes + at);
}

void writeLE32(QByteArray &bytes, int at, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + at);
}

bool knownBits(qint64 bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// What a Windows bitmap's headers say of its pixels.
struct Bitmap
{
    qint64 pixelOffset = 0;
    qint64 width = 0;
    // Negative when the rows are stored top-down.
    qint64 height = 0;
    qint64 bits = 0;
    // The OS/2 header, whose sizes are 16 bits wide.
    bool core = false;
    // Stored uncompressed, row by row; else the data's size is the header's.
    bool plain = false;
    // Run-length codes that Qt decodes, whole.
    bool runLength = false;
    qint64 dataSize = 0;

    qint64 rows() const { return std::abs(height); }
    qint64 rowBytes() const { return (bits * width + 31) / 32 * 4; }
};

// Null when the file is not a Windows bitmap with a full OS/2 or info header; Qt alone reads
// it then.
std::optional<Bitmap> bitmapHeaders(QIODevice &file)
{
    char head[FileHeaderSize + 40] = {};
    const qint64 got = file.peek(head, sizeof head);
    if (got < FileHeaderSize + CoreInfoSize || head[0] != 'B' || head[1] != 'M')
        return std::nullopt;
    Bitmap bitmap;
    bitmap.pixelOffset = quint32(readLE32(head, PixelOffsetAt));
    const qint64 infoSize = readLE32(head, InfoSizeAt);
    qint32 compression = 0;
    if (infoSize == CoreInfoSize) {
        bitmap.core = true;
        // Signed, as Qt reads them: a negative height is stored top-down there too.
        bitmap.width = qFromLittleEndian<qint16>(head + CoreWidthAt);
        bitmap.height = qFromLittleEndian<qint16>(head + CoreHeightAt);
        bitmap.bits = qFromLittleEndian<quint16>(head + CoreBitsAt);
    } else if (infoSize >= 40 && got == qint64(sizeof head)) {
        bitmap.width = readLE32(head, WidthAt);
        bitmap.height = readLE32(head, HeightAt);
        bitmap.bits = qFromLittleEndian<quint16>(head + BitsAt);
        compression = readLE32(head, CompressionAt);
        bitmap.dataSize = quint32(readLE32(head, ImageSizeAt));
    } else {
        return std::nullopt;
    }
    if (bitmap.width < 0 || bitmap.height == std::numeric_limits<qint32>::min()
        || bitmap.pixelOffset < FileHeaderSize + infoSize)
        return std::nullopt;
    bitmap.plain =
            knownBits(bitmap.bits) && (compression == 0 || compression == 3 || compression == 6);
    bitmap.runLength = (compression == RunLength8 && bitmap.bits == 8)
            || (compression == RunLength4 && bitmap.bits == 4);
    return bitmap;
}

// Whole pictures are decoded at four bytes a pixel at most; Qt refuses more than its limit,
// and the teacher should hear why. Null when the picture fits.
std::optional<QString> overLimit(qint64 width, qint64 height, int limitMB)
{
    // Divided, not multiplied: a header's sizes may make 2^62 pixels.
    if (limitMB > 0 && width * height > qint64(limitMB) * 1024 * 1024 / 4)
        return u"画像が大きすぎます（%1 × %2 ピクセル、読める大きさは %3 MB まで）"_s.arg(width)
                .arg(height)
                .arg(limitMB);
    return std::nullopt;
}

// Why Qt would not show the bitmap, where the headers tell it in words a teacher can act on;
// null otherwise.
std::optional<QString> refusal(const Bitmap &bitmap)
{
    if (bitmap.width == 0 && bitmap.height == 0)
        return u"画像の大きさが 0 × 0 ピクセルです（描かれた点がひとつもありません）"_s;
    if (bitmap.width == 0)
        return u"画像の幅が 0 ピクセルです（高さは %1 ピクセル）"_s.arg(bitmap.rows());
    if (bitmap.height == 0)
        return u"画像の高さが 0 ピクセルです（幅は %1 ピクセル）"_s.arg(bitmap.width);
    if (bitmap.bits > 0 && !knownBits(bitmap.bits)) {
        return u"1 ピクセル %1 ビットの画像は読めません（モノクロ、16 色、256 色、24 ビットのどれかで保存し直してください）"_s
                .arg(bitmap.bits);
    }
    if (bitmap.runLength) {
        const int limit = QImageReader::allocationLimit();
        return overLimit(bitmap.width, bitmap.rows(),
                         limit > 0 ? std::min(limit, QtBitmapLimitMB) : QtBitmapLimitMB);
    }
    return std::nullopt;
}

// Whether the run-length codes reach the picture's end before the file's: a header that leaves
// the data's size out gives no other sign of a file cut short. The codes are followed as Qt
// decodes them: a jump never ends the picture, since Qt keeps it inside.
bool runsComplete(QIODevice &file, const Bitmap &bitmap)
{
    if (!file.seek(bitmap.pixelOffset))
        return false;
    QByteArray chunk;
    qsizetype at = 0;
    auto next = [&](quint8 &byte) {
        if (at == chunk.size()) {
            chunk = file.read(1 << 16);
            at = 0;
            if (chunk.isEmpty())
                return false;
        }
        byte = quint8(chunk[at++]);
        return true;
    };
    auto skip = [&](int count) {
        quint8 byte = 0;
        while (count-- > 0) {
            if (!next(byte))
                return false;
        }
        return true;
    };
    for (qint64 row = 0; row < bitmap.rows();) {
        quint8 count = 0;
        quint8 code = 0;
        if (!next(count) || !next(code))
            return false;
        if (count != 0)
            continue; // a run of one colour
        if (code == 0) {
            ++row;
        } else if (code == 1) {
            return true;
        } else if (code == 2) {
            if (!skip(2))
                return false;
        } else {
            // Pixels as they are, padded to a whole 16-bit word.
            const int bytes = bitmap.bits == 8 ? code : (code + 1) / 2;
            if (!skip(bytes + bytes % 2))
                return false;
        }
    }
    return true;
}

// Whether the file holds all the pixel data its headers promise: Qt's reader would leave what
// is missing as whatever the memory held.
bool complete(QIODevice &file, const Bitmap &bitmap)
{
    const qint64 available = file.size() - bitmap.pixelOffset;
    if (available <= 0)
        return false;
    if (bitmap.runLength && bitmap.dataSize == 0)
        return runsComplete(file, bitmap);
    if (!bitmap.plain)
        return available >= bitmap.dataSize;
    // Divided, not multiplied: 2^31-1 rows of 2^31-1 pixels are more bytes than any integer holds.
    return available / bitmap.rowBytes() >= bitmap.rows();
}

// An uncompressed bitmap stores its rows whole, so the top-left corner can be cut out of the
// file as a smaller bitmap of the same kind: its header with the new size, its colour table,
// and the first bytes of each of the top rows. Qt then decodes only that. Null when the file
// cannot be read so; the caller then leaves it to Qt as it is.
std::optional<QByteArray> cornerOfBitmap(QIODevice &file, const Bitmap &bitmap, QSize box)
{
    if (bitmap.pixelOffset > MaxCornerHeader)
        return std::nullopt;
    const qint64 rowBytes = bitmap.rowBytes();
    const qint64 keptWidth = std::min<qint64>(bitmap.width, box.width());
    const qint64 keptRows = std::min<qint64>(bitmap.rows(), box.height());
    const qint64 keptRowBytes = (bitmap.bits * keptWidth + 31) / 32 * 4;
    // Rows are stored bottom-up unless the height is negative: the top rows come last.
    const qint64 firstRow = bitmap.height > 0 ? bitmap.rows() - keptRows : 0;

    if (!file.seek(0))
        return std::nullopt;
    QByteArray corner = file.read(bitmap.pixelOffset);
    if (corner.size() != bitmap.pixelOffset)
        return std::nullopt;
    corner.reserve(bitmap.pixelOffset + keptRows * keptRowBytes);
    for (qint64 row = 0; row < keptRows; ++row) {
        if (!file.seek(bitmap.pixelOffset + (firstRow + row) * rowBytes))
            return std::nullopt;
        const QByteArray bytes = file.read(keptRowBytes);
        // Cut short since its size was checked: left to Qt, which reads into a cleared picture.
        if (bytes.size() != keptRowBytes)
            return std::nullopt;
        corner += bytes;
    }
    writeLE32(corner, 2, qint32(corner.size()));
    const qint64 keptHeight = bitmap.height > 0 ? keptRows : -keptRows;
    if (bitmap.core) {
        qToLittleEndian<qint16>(qint16(keptWidth), corner.data() + CoreWidthAt);
        qToLittleEndian<qint16>(qint16(keptHeight), corner.data() + CoreHeightAt);
    } else {
        writeLE32(corner, WidthAt, qint32(keptWidth));
        writeLE32(corner, HeightAt, qint32(keptHeight));
        writeLE32(corner, ImageSizeAt, qint32(keptRows * keptRowBytes));
    }
    return corner;
}

QString unreadable(const QImageReader &reader)
{
    return u"画像として読めません（%1）"_s.arg(reader.errorString());
}

// The size of the picture that the reader decodes. Qt tells a bitmap stored top-down by its
// negative height, which is the only sign of it in the file.
QSize pictureSize(QImageReader &reader)
{
    const QSize size = reader.size();
    return { size.width(), std::abs(size.height()) };
}

// Qt's bitmap reader leaves the pixels that a file does not give (skipped by run-length codes,
// or missing) as the memory held them. Given a picture of the size and format it reads, it
// reads into that one instead, so it is given one cleared.
Result<QImage> decode(QImageReader &reader, QSize size)
{
    QImage picture;
    if (reader.format() == "bmp" && size.isValid()) {
        picture = QImage(size, reader.imageFormat());
        picture.fill(0);
    }
    if (!reader.read(&picture))
        return Failure(unreadable(reader));
    return picture;
}

// A PNG stores its rows top to bottom in one compressed stream, and Qt's reader cannot stop
// after the rows wanted: it decodes them all into one picture. Told by the header that the
// picture is only as tall as the box, it decodes the top rows alone into memory; the rest of
// the stream is still inflated to its end, so a file cut short is still found out. Interlaced
// rows are spread over the stream, and a header whose checksum is wrong is left to Qt to
// refuse: null then, and the file is read as it is.
std::optional<QByteArray> pngHeadOfTopRows(QIODevice &file, QSize box)
{
    constexpr int HeadSize = 8 + 8 + 13 + 4;
    constexpr int HeightAt = 20;
    constexpr int InterlaceAt = 28;
    constexpr int CheckedAt = 12;
    constexpr int CheckedSize = 4 + 13;
    QByteArray head = file.peek(HeadSize);
    // The signature, then the header's length and name.
    constexpr char Start[] = "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR";
    if (head.size() != HeadSize || !head.startsWith(QByteArrayView(Start, sizeof Start - 1))
        || head[InterlaceAt] != 0)
        return std::nullopt;
    const auto crc = [&head] {
        quint32 crc = 0xFFFFFFFF;
        for (int i = CheckedAt; i < CheckedAt + CheckedSize; ++i) {
            crc ^= quint8(head[i]);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
        return ~crc;
    };
    const quint32 height = qFromBigEndian<quint32>(head.constData() + HeightAt);
    if (height <= quint32(box.height())
        || crc() != qFromBigEndian<quint32>(head.constData() + CheckedAt + CheckedSize))
        return std::nullopt;
    qToBigEndian<quint32>(quint32(box.height()), head.data() + HeightAt);
    qToBigEndian<quint32>(crc(), head.data() + CheckedAt + CheckedSize);
    return head;
}

// The file with its first bytes replaced.
class WithHead final : public QIODevice
{
public:
    WithHead(QIODevice &file, QByteArray head) : m_file(file), m_head(std::move(head))
    {
        // Unbuffered, so that pos() is where readData reads from.
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    qint64 size() const override { return m_file.size(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 at = pos();
        if (at < m_head.size()) {
            const qint64 count = std::min(maxSize, m_head.size() - at);
            std::memcpy(data, m_head.constData() + at, size_t(count));
            return count;
        }
        return m_file.seek(at) ? m_file.read(data, maxSize) : -1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice &m_file;
    QByteArray m_head;
};

} // namespace

Result<qint64> pixelsToDecode(QIODevice &file, QSize box)
{
    const std::optional<Bitmap> bitmap = bitmapHeaders(file);
    if (bitmap) {
        if (std::optional<QString> reason = refusal(*bitmap))
            return Failure(*reason);
    }
    if (bitmap && !complete(file, *bitmap)) {
        return Failure(
                u"画像ファイルが途中で切れています（%1 × %2 ピクセルの画像のデータが足りません）"_s
                        .arg(bitmap->width)
                        .arg(bitmap->rows()));
    }
    if (bitmap && bitmap->plain && bitmap->pixelOffset <= MaxCornerHeader)
        return std::min<qint64>(bitmap->width, box.width())
                * std::min<qint64>(bitmap->rows(), box.height());

    file.seek(0);
    QImageReader reader(&file);
    const QSize size = pictureSize(reader);
    if (!reader.canRead())
        return Failure(unreadable(reader));
    if (size.isValid() && !reader.supportsOption(QImageIOHandler::ClipRect)) {
        if (std::optional<QString> reason =
                    overLimit(size.width(), size.height(), QImageReader::allocationLimit()))
            return Failure(*reason);
    }
    // Even a format that is clipped as it is read may have to be decoded whole first (a
    // progressive JPEG), so its whole size is what it may cost.
    return size.isValid() ? qint64(size.width()) * size.height()
                          : std::numeric_limits<qint64>::max();
}

Result<QImage> readPictureTopLeft(QIODevice &file, QSize box)
{
    file.seek(0);
    if (const auto checked = pixelsToDecode(file, box); !checked)
        return Failure(checked.errorString());
    file.seek(0);
    const std::optional<Bitmap> bitmap = bitmapHeaders(file);
    if (bitmap && bitmap->plain && (bitmap->width > box.width() || bitmap->rows() > box.height())) {
        if (std::optional<QByteArray> corner = cornerOfBitmap(file, *bitmap, box)) {
            QBuffer buffer(&*corner);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer, "bmp");
            return decode(reader, pictureSize(reader));
        }
    }

    file.seek(0);
    std::unique_ptr<WithHead> topRows;
    if (std::optional<QByteArray> head = pngHeadOfTopRows(file, box))
        topRows = std::make_unique<WithHead>(file, std::move(*head));
    QImageReader reader(topRows ? static_cast<QIODevice *>(topRows.get()) : &file);
    const QSize size = pictureSize(reader);
    if (size.isValid() && reader.supportsOption(QImageIOHandler::ClipRect))
        reader.setClipRect(QRect(QPoint(0, 0), box).intersected(QRect(QPoint(0, 0), size)));
    auto read = decode(reader, size);
    if (read && (read->width() > box.width() || read->height() > box.height()))
        read.value() = read->copy(QRect(QPoint(0, 0), box).intersected(read->rect()));
    return read;
}
