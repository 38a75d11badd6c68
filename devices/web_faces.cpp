#include "devices/bundled_faces.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QString>

using namespace Qt::StringLiterals;

// The browser offers Qt no Japanese face, so IPA's two, cut down at build time to the
// characters the program can show, come with the program. They are its only faces (it is
// linked without Qt's Latin ones), so the boxes Qt draws itself, which take no face from the
// window, are given the proportional one.
void addBundledFaces()
{
    for (const QString &face : { u":/faces/ipag.ttf"_s, u":/faces/ipagp.ttf"_s }) {
        if (QFontDatabase::addApplicationFont(face) < 0)
            qWarning("Cannot load the face %ls", qUtf16Printable(face));
    }
    QFont boxes = QGuiApplication::font();
    boxes.setFamilies({ u"IPAPGothic"_s });
    QGuiApplication::setFont(boxes);
}
