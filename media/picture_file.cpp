#include "media/picture_file.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

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

qint32 readLE32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<qint32>(bytes.constData() + at);
}

void writeLE32(QByteArray &bytes, int at, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + at);
}

// An uncompressed bitmap stores its rows whole, so the top-left corner can be cut out of the
// file as a smaller bitmap of the same kind: its header with the new size, its colour table,
// and the first bytes of each of the top rows. Qt then decodes only that. Null when the file
// is not such a bitmap; the caller then leaves it to Qt as it is.
std::optional<QByteArray> cornerOfBitmap(QIODevice &file, QSize box)
{
    const QByteArray head = file.peek(FileHeaderSize + 40);
    if (head.size() < FileHeaderSize + 40 || !head.startsWith("BM"))
        return std::nullopt;
    const qint64 pixelOffset = quint32(readLE32(head, PixelOffsetAt));
    const qint32 infoSize = readLE32(head, InfoSizeAt);
    const qint64 width = readLE32(head, WidthAt);
    const qint64 height = readLE32(head, HeightAt);
    const int bits = qFromLittleEndian<quint16>(head.constData() + BitsAt);
    const qint32 compression = readLE32(head, CompressionAt);
    const bool plain = compression == 0 || compression == 3 || compression == 6;
    const bool knownBits =
            bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (infoSize < 40 || !plain || !knownBits || width <= 0 || height == 0
        || height == std::numeric_limits<qint32>::min() || pixelOffset < FileHeaderSize + infoSize
        || pixelOffset > (1 << 20))
        return std::nullopt;
    const qint64 rows = std::abs(height);
    if (width <= box.width() && rows <= box.height())
        return std::nullopt;

    const qint64 rowBytes = (bits * width + 31) / 32 * 4;
    const qint64 keptWidth = std::min<qint64>(width, box.width());
    const qint64 keptRows = std::min<qint64>(rows, box.height());
    const qint64 keptRowBytes = (bits * keptWidth + 31) / 32 * 4;
    // Rows are stored bottom-up unless the height is negative: the top rows come last.
    const qint64 firstRow = height > 0 ? rows - keptRows : 0;

    if (!file.seek(0))
        return std::nullopt;
    QByteArray corner = file.read(pixelOffset);
    if (corner.size() != pixelOffset)
        return std::nullopt;
    corner.reserve(pixelOffset + keptRows * keptRowBytes);
    for (qint64 row = 0; row < keptRows; ++row) {
        if (!file.seek(pixelOffset + (firstRow + row) * rowBytes))
            return std::nullopt;
        QByteArray bytes = file.read(keptRowBytes);
        // A file cut short keeps what it has; Qt says whether that is enough of a picture.
        bytes.resize(keptRowBytes, '\0');
        corner += bytes;
    }
    writeLE32(corner, 2, qint32(corner.size()));
    writeLE32(corner, WidthAt, qint32(keptWidth));
    writeLE32(corner, HeightAt, qint32(height > 0 ? keptRows : -keptRows));
    writeLE32(corner, ImageSizeAt, qint32(keptRows * keptRowBytes));
    return corner;
}

QString unreadable(const QImageReader &reader)
{
    return u"画像として読めません（%1）"_s.arg(reader.errorString());
}

} // namespace

std::variant<QImage, QString> ReadPictureTopLeft(QIODevice &file, QSize box)
{
    if (std::optional<QByteArray> corner = cornerOfBitmap(file, box)) {
        QBuffer buffer(&*corner);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "bmp");
        QImage picture = reader.read();
        if (picture.isNull())
            return unreadable(reader);
        return picture;
    }

    file.seek(0);
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (!reader.canRead())
        return unreadable(reader);
    const QRect wanted = QRect(QPoint(0, 0), box).intersected(QRect(QPoint(0, 0), size));
    if (size.isValid() && reader.supportsOption(QImageIOHandler::ClipRect)) {
        reader.setClipRect(wanted);
    } else if (size.isValid()) {
        // Whole pictures are decoded at four bytes a pixel at most; Qt refuses more than its
        // limit, and the teacher should hear why.
        const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
        if (limit > 0 && qint64(size.width()) * size.height() * 4 > limit) {
            return u"画像が大きすぎます（%1 × %2 ピクセル、読める大きさは %3 MB まで）"_s
                    .arg(size.width())
                    .arg(size.height())
                    .arg(QImageReader::allocationLimit());
        }
    }
    QImage picture = reader.read();
    if (picture.isNull())
        return unreadable(reader);
    if (picture.width() > box.width() || picture.height() > box.height())
        picture = picture.copy(QRect(QPoint(0, 0), box).intersected(picture.rect()));
    return picture;
}
