#include "app/startup.h"

#include "devices/bundled_faces.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QLibraryInfo>
#include <QTranslator>

#include <map>

using namespace Qt::StringLiterals;

namespace {

// An icon drawn at several sizes, each file read only when its size is first asked for.
// QIcon::addFile reads them all at once, before anything has asked for any of them.
class DrawnSizesIconEngine final : public QIconEngine
{
public:
    explicit DrawnSizesIconEngine(std::map<int, QString> files) : m_files(std::move(files)) {}

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        if (m_files.empty() || size.isEmpty())
            return {};
        // The smallest drawing that is large enough, else the largest there is.
        auto file = m_files.lower_bound(std::max(size.width(), size.height()));
        if (file == m_files.end())
            --file;
        QPixmap picture;
        if (!QPixmapCache::find(file->second, &picture)) {
            picture.load(file->second);
            QPixmapCache::insert(file->second, picture);
        }
        if (!picture.isNull() && picture.size() != size)
            picture = picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode != QIcon::Normal && QApplication::style()) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        return picture;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal density = painter->device()->devicePixelRatio();
        QPixmap picture = pixmap((QSizeF(rect.size()) * density).toSize(), mode, state);
        picture.setDevicePixelRatio(density);
        painter->drawPixmap(rect.topLeft(), picture);
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }

    // The sizes a window offers its task bar and switcher. X copies every offered size into
    // the window's properties when the window is made, so the 256-pixel drawing, which only
    // a desktop's large views and dialogs ask for by size, is drawn when asked and not offered.
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const auto &[side, file] : m_files) {
            if (side <= LargestOffered)
                sizes.append(QSize(side, side));
        }
        return sizes;
    }

    QIconEngine *clone() const override { return new DrawnSizesIconEngine(m_files); }

private:
    static constexpr int LargestOffered = 128;
    std::map<int, QString> m_files;
};

// The window asks for its faces by their Japanese names, and for the fixed one also without
// the blank. IPA's faces are metrically close, and the fixed-pitch one keeps the
// blank-padded numbers of the boxes lined up.
void SubstituteWindowFaces()
{
#ifdef Q_OS_WIN
    // Windows has the faces themselves, under their English names where the system is not
    // Japanese; a system without them gets IPA's, else Meiryo, which every Windows since Vista
    // has.
    const auto firstInstalled = [](std::initializer_list<QString> names) {
        for (const QString &name : names) {
            if (QFontDatabase::hasFamily(name))
                return name;
        }
        return u"Meiryo"_s;
    };
    const QString fixed = firstInstalled({ u"ＭＳ ゴシック"_s, u"MS Gothic"_s, u"IPAGothic"_s });
    const QString proportional =
            firstInstalled({ u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, u"IPAPGothic"_s });
    if (fixed != u"ＭＳ ゴシック")
        QFont::insertSubstitution(u"ＭＳ ゴシック"_s, fixed);
    QFont::insertSubstitution(u"ＭＳゴシック"_s, fixed);
    if (proportional != u"ＭＳ Ｐゴシック")
        QFont::insertSubstitution(u"ＭＳ Ｐゴシック"_s, proportional);
#else
    // Not on Linux at all, and asking fontconfig first would cost start-up time.
    QFont::insertSubstitution(u"ＭＳ ゴシック"_s, u"IPAGothic"_s);
    QFont::insertSubstitution(u"ＭＳゴシック"_s, u"IPAGothic"_s);
    QFont::insertSubstitution(u"ＭＳ Ｐゴシック"_s, u"IPAPGothic"_s);
#endif
}

} // namespace

void prepareApplication(QApplication &app)
{
    // The pictures are compiled into the window's static library, where nothing else refers
    // to them: without this the linker leaves them out of the program.
    Q_INIT_RESOURCE(tovemi);

    // Only the application name: a display name would be appended to the window caption.
    QCoreApplication::setApplicationName(u"Tovemi"_s);
    QCoreApplication::setApplicationVersion(QString::fromUtf8(TOVEMI_VERSION_TEXT));
    // The name of the installed desktop entry, so that a desktop matches the window to it.
    QGuiApplication::setDesktopFileName(u"io.github.tovemi.Tovemi"_s);

#ifndef Q_OS_WASM
    // Every rendering of the bird, so that a high-density screen or a large task-bar icon
    // gets a drawn size instead of an enlarged 32-pixel one. The window shows this icon and has
    // none of its own, which X would receive after these, keeping only its 32 pixels.
    std::map<int, QString> bird { { 32, u":/tovemi/bird.png"_s } };
    for (const int size : { 48, 64, 128, 256 })
        bird.emplace(size, u":/tovemi/bird-%1.png"_s.arg(size));
    QApplication::setWindowIcon(QIcon(new DrawnSizesIconEngine(std::move(bird))));
#else
    // In a page the page's own icons (its manifest's) stand for the program: a window icon
    // there is only its title bar's, which Qt decodes and encodes again as a PNG for the
    // browser, a seventh of a second before the first frame even at 32 pixels.
#endif

    addBundledFaces();
    SubstituteWindowFaces();

    // The whole window speaks Japanese, so Qt's own texts (the print dialog, the input box's
    // buttons) do too, whatever the system's language. Without the catalogue they stay
    // English and nothing else changes.
    auto *qtTexts = new QTranslator(&app);
    if (qtTexts->load(u"qtbase_ja"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    else
        delete qtTexts;
}
