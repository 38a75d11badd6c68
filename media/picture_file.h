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
