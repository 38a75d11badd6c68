#include "media/picture_file.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <limits>
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

qint32 readLE32(const char *bytes, int at)
{
    return qFromLittleEndian<qint32>(bytes + at);
}

void writeLE32(QByteArray &bytes, int at, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + at);
}

// What a Windows bitmap's headers say of its pixels.
struct Bitmap
{
    qint64 pixelOffset = 0;
    qint64 width = 0;
    // Negative when the rows are stored top-down.
    qint64 height = 0;
    qint64 bits = 0;
    // Stored uncompressed, row by row; else the data's size is the header's.
    bool plain = false;
    qint64 dataSize = 0;

    qint64 rows() const { return std::abs(height); }
    qint64 rowBytes() const { return (bits * width + 31) / 32 * 4; }
};

// Null when the file is not a Windows bitmap with a full info header; Qt alone reads it then.
std::optional<Bitmap> bitmapHeaders(QIODevice &file)
{
    char head[FileHeaderSize + 40];
    if (file.peek(head, sizeof head) != qint64(sizeof head) || head[0] != 'B' || head[1] != 'M')
        return std::nullopt;
    Bitmap bitmap;
    bitmap.pixelOffset = quint32(readLE32(head, PixelOffsetAt));
    const qint64 infoSize = readLE32(head, InfoSizeAt);
    bitmap.width = readLE32(head, WidthAt);
    bitmap.height = readLE32(head, HeightAt);
    bitmap.bits = qFromLittleEndian<quint16>(head + BitsAt);
    const qint32 compression = readLE32(head, CompressionAt);
    bitmap.dataSize = quint32(readLE32(head, ImageSizeAt));
    if (infoSize < 40 || bitmap.width <= 0 || bitmap.height == 0
        || bitmap.height == std::numeric_limits<qint32>::min()
        || bitmap.pixelOffset < FileHeaderSize + infoSize)
        return std::nullopt;
    const bool knownBits = bitmap.bits == 1 || bitmap.bits == 4 || bitmap.bits == 8
            || bitmap.bits == 16 || bitmap.bits == 24 || bitmap.bits == 32;
    bitmap.plain = knownBits && (compression == 0 || compression == 3 || compression == 6);
    return bitmap;
}

// Whether the file holds all the pixel data its headers promise: Qt's reader would leave what
// is missing as whatever the memory held.
bool complete(const Bitmap &bitmap, qint64 fileSize)
{
    const qint64 available = fileSize - bitmap.pixelOffset;
    if (available <= 0)
        return false;
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
    if (bitmap.pixelOffset > (1 << 20))
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
    writeLE32(corner, WidthAt, qint32(keptWidth));
    writeLE32(corner, HeightAt, qint32(bitmap.height > 0 ? keptRows : -keptRows));
    writeLE32(corner, ImageSizeAt, qint32(keptRows * keptRowBytes));
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

} // namespace

Result<QImage> readPictureTopLeft(QIODevice &file, QSize box)
{
    const std::optional<Bitmap> bitmap = bitmapHeaders(file);
    if (bitmap && !complete(*bitmap, file.size())) {
        return Failure(
                u"画像ファイルが途中で切れています（%1 × %2 ピクセルの画像のデータが足りません）"_s
                        .arg(bitmap->width)
                        .arg(bitmap->rows()));
    }
    if (bitmap && bitmap->plain && (bitmap->width > box.width() || bitmap->rows() > box.height())) {
        if (std::optional<QByteArray> corner = cornerOfBitmap(file, *bitmap, box)) {
            QBuffer buffer(&*corner);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer, "bmp");
            return decode(reader, pictureSize(reader));
        }
    }

    file.seek(0);
    QImageReader reader(&file);
    const QSize size = pictureSize(reader);
    if (!reader.canRead())
        return Failure(unreadable(reader));
    const QRect wanted = QRect(QPoint(0, 0), box).intersected(QRect(QPoint(0, 0), size));
    if (size.isValid() && reader.supportsOption(QImageIOHandler::ClipRect)) {
        reader.setClipRect(wanted);
    } else if (size.isValid()) {
        // Whole pictures are decoded at four bytes a pixel at most; Qt refuses more than its
        // limit, and the teacher should hear why.
        const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
        if (limit > 0 && qint64(size.width()) * size.height() * 4 > limit) {
            return Failure(u"画像が大きすぎます（%1 × %2 ピクセル、読める大きさは %3 MB まで）"_s
                                   .arg(size.width())
                                   .arg(size.height())
                                   .arg(QImageReader::allocationLimit()));
        }
    }
    auto read = decode(reader, size);
    if (read && (read->width() > box.width() || read->height() > box.height()))
        read.value() = read->copy(QRect(QPoint(0, 0), box).intersected(read->rect()));
    return read;
}
