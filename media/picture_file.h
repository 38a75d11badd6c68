// Reading no more of a picture than the picture box can show.
#pragma once

#include "drill/result.h"

#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

// The top-left `box` pixels of the picture in `file` (or all of it when it is smaller), as
// the box draws it: unscaled, cut off at the right and bottom. A Windows bitmap is read for
// those pixels only, whatever its size; a format that Qt can clip is clipped while decoding;
// any other must fit under Qt's allocation limit. On failure the reason, in words a teacher
// can act on.
Result<QImage> readPictureTopLeft(QIODevice &file, QSize box);

// What readPictureTopLeft would refuse, found from the headers alone, or how many pixels it
// will decode: a picture that costs more than a frame's time can then be read on another
// thread.
Result<qint64> pixelsToDecode(QIODevice &file, QSize box);
