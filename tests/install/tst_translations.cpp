// What prepareApplication gives the desktop: Qt's own texts in Japanese whatever the system's
// language, the bird icon in every size, and the name of the installed desktop entry.
#include "app/startup.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QIcon>
#include <QInputDialog>
#include <QLocale>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The pixels alone: premultiplied, as an icon keeps them, and without a pixel ratio.
QImage drawing(const QImage &picture)
{
    QImage pixels = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    pixels.setDevicePixelRatio(1.0);
    return pixels;
}

QImage drawing(const QPixmap &picture)
{
    return drawing(picture.toImage());
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void qtTextsAreJapanese_data();
    void qtTextsAreJapanese();
    void inputBoxButtonsAreJapanese();
    void printDialogIsJapanese();
    void windowIconHasEverySize_data();
    void windowIconHasEverySize();
    void windowIconIsSharpAtDoubleDensity();
    void desktopFileNameIsTheInstalledEntry();
};

void TestTranslations::initTestCase()
{
    // The test runs in the C locale: Japanese must not depend on the system's language.
    QVERIFY(QLocale::system().language() != QLocale::Japanese);
    prepareApplication(*qobject_cast<QApplication *>(QCoreApplication::instance()));
}

void TestTranslations::qtTextsAreJapanese_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("japanese");
    // The contexts Qt 6.4 asks: standard buttons come from the platform theme.
    QTest::newRow("standard Cancel button")
            << u"QPlatformTheme"_s << u"Cancel"_s << u"キャンセル"_s;
    QTest::newRow("print dialog's Print") << u"QPrintDialog"_s << u"&Print"_s << u"印刷(&P)"_s;
}

void TestTranslations::qtTextsAreJapanese()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, japanese);
    QCOMPARE(QCoreApplication::translate(context.toUtf8().constData(), source.toUtf8().constData()),
             japanese);
}

void TestTranslations::inputBoxButtonsAreJapanese()
{
    QInputDialog box;
    box.setInputMode(QInputDialog::TextInput);
    box.show(); // its buttons are made when it is first shown
    const auto *buttons = box.findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QVERIFY(buttons->button(QDialogButtonBox::Cancel));
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), u"キャンセル"_s);
}

void TestTranslations::printDialogIsJapanese()
{
    QPrinter printer;
    QPrintDialog dialog(&printer);
    QCOMPARE(dialog.windowTitle(), u"印刷"_s);
}

void TestTranslations::windowIconHasEverySize_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("offered");
    // The window system is offered what a task bar or a switcher shows; the largest drawing
    // is there for whoever asks for it by size.
    for (const int size : { 32, 48, 64, 128 })
        QTest::addRow("%dpx", size) << size << true;
    QTest::addRow("256px") << 256 << false;
}

void TestTranslations::windowIconHasEverySize()
{
    QFETCH(int, size);
    QFETCH(bool, offered);
    const QIcon icon = QApplication::windowIcon();
    QCOMPARE(icon.availableSizes().contains(QSize(size, size)), offered);
    // Drawn at that size, not scaled from another rendering.
    const QPixmap picture = icon.pixmap(QSize(size, size), 1.0);
    QCOMPARE(picture.size(), QSize(size, size));
    QCOMPARE(drawing(picture),
             drawing(QImage(size == 32 ? u":/tovemi/bird.png"_s
                                       : u":/tovemi/bird-%1.png"_s.arg(size))));
}

void TestTranslations::windowIconIsSharpAtDoubleDensity()
{
    // A screen at twice the density asking for the 32-pixel icon gets the 64-pixel drawing.
    const QPixmap picture = QApplication::windowIcon().pixmap(QSize(32, 32), 2.0);
    QCOMPARE(picture.size(), QSize(64, 64));
    QCOMPARE(picture.devicePixelRatio(), 2.0);
    QCOMPARE(drawing(picture), drawing(QImage(u":/tovemi/bird-64.png"_s)));
}

void TestTranslations::desktopFileNameIsTheInstalledEntry()
{
    QCOMPARE(QGuiApplication::desktopFileName(), QString::fromUtf8(TOVEMI_APP_ID));
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
