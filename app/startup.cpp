#include "app/startup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

void PrepareApplication(QApplication &app)
{
    // The pictures are compiled into the window's static library, where nothing else refers
    // to them: without this the linker leaves them out of the program.
    Q_INIT_RESOURCE(tovemi);

    // Only the application name: a display name would be appended to the window caption.
    QCoreApplication::setApplicationName(u"Tovemi"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(TOVEMI_VERSION_TEXT));
    // The name of the installed desktop entry, so that a desktop matches the window to it.
    QGuiApplication::setDesktopFileName(u"io.github.tovemi.Tovemi"_s);

    // Every rendering of the bird, so that a high-density screen or a large task-bar icon
    // gets a drawn size instead of an enlarged 32-pixel one.
    QIcon bird;
    bird.addFile(u":/tovemi/bird.png"_s, QSize(32, 32));
    for (const int size : { 48, 64, 128, 256 })
        bird.addFile(u":/tovemi/bird-%1.png"_s.arg(size), QSize(size, size));
    QApplication::setWindowIcon(bird);

    // The window's faces are not on Linux; IPA's are metrically close, and the fixed-pitch
    // one keeps the blank-padded numbers of the boxes lined up.
    QFont::insertSubstitution(u"ＭＳ ゴシック"_s, u"IPAGothic"_s);
    QFont::insertSubstitution(u"ＭＳゴシック"_s, u"IPAGothic"_s);
    QFont::insertSubstitution(u"ＭＳ Ｐゴシック"_s, u"IPAPGothic"_s);

    // The whole window speaks Japanese, so Qt's own texts (the print dialog, the input box's
    // buttons) do too, whatever the system's language. Without the catalogue they stay
    // English and nothing else changes.
    auto *qtTexts = new QTranslator(&app);
    if (qtTexts->load(u"qtbase_ja"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
}
