#include "app/startup.h"

#include <QApplication>
#include <QFont>

using namespace Qt::StringLiterals;

void PrepareApplication(QApplication &app)
{
    Q_UNUSED(app);
    // Only the application name: a display name would be appended to the window caption.
    QCoreApplication::setApplicationName(u"Tovemi"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(TOVEMI_VERSION_TEXT));
    // The window's faces are not on Linux; IPA's are metrically close, and the fixed-pitch
    // one keeps the blank-padded numbers of the boxes lined up.
    QFont::insertSubstitution(u"ＭＳ ゴシック"_s, u"IPAGothic"_s);
    QFont::insertSubstitution(u"ＭＳゴシック"_s, u"IPAGothic"_s);
    QFont::insertSubstitution(u"ＭＳ Ｐゴシック"_s, u"IPAPGothic"_s);
}
