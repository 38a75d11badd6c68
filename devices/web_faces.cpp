#include "devices/bundled_faces.h"

#include <QFontDatabase>
#include <QString>

using namespace Qt::StringLiterals;

// The browser offers Qt no Japanese face, so IPA's two, cut down at build time to the
// characters the program can show, come with the program.
void addBundledFaces()
{
    for (const QString &face : { u":/faces/ipag.ttf"_s, u":/faces/ipagp.ttf"_s }) {
        if (QFontDatabase::addApplicationFont(face) < 0)
            qWarning("Cannot load the face %ls", qUtf16Printable(face));
    }
}
