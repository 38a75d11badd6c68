// The window as it opens: every control in its place, the start-up texts, an empty set.
#include "window_fixture.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QToolTip>

class TestWindowStartup : public QObject
{
    Q_OBJECT
    WindowFixture f;

private Q_SLOTS:
    void initTestCase() { initWindowTests(); }
    void init() { f.open(); }
    void cleanup() { f.close(); }

    void controlsStandWhereTheLayoutPutsThem();
    void captionsAndTitle();
    void numberBoxesUseTheFixedPitchFace();
    void kindItemsFillFourColumnsColumnByColumn();
    void startUpState();
    void hintsAndAccessibleNames_data();
    void hintsAndAccessibleNames();
    void hintsWakeAfter100msOnAqua();
    void tabOrderRunsThroughTheBoxesThenTheButtons();
    void resizingMovesNothing();
};

void TestWindowStartup::controlsStandWhereTheLayoutPutsThem()
{
    // Each control as "name in parent at x,y wxh", read back from the window in one list.
    const QStringList expected = {
        u"Panel1 Form1 112,136 217x257"_s,      u"Edit1 Panel1 24,40 177x41"_s,
        u"Edit3 Panel1 24,200 177x41"_s,        u"Label3 Panel1 8,176 177x21"_s,
        u"Panel2 Form1 352,136 257x313"_s,      u"Edit5 Panel2 32,112 185x41"_s,
        u"Edit11 Panel2 8,248 65x32"_s,         u"Edit13 Panel2 176,248 49x32"_s,
        u"Label15 Panel2 48,296 144x12"_s,      u"Button2 Form1 192,416 89x33"_s,
        u"Panel3 Form1 16,8 593x81"_s,          u"RadioGroup1 Panel3 8,8 569x65"_s,
        u"MediaPlayer1 Panel3 216,-8 253x30"_s, u"CheckBox1 Form1 16,384 73x25"_s,
        u"Edit9 Form1 32,336 57x23"_s,          u"Edit10 Form1 112,96 473x32"_s,
        u"Image1 Panel4 8,8 81x81"_s,           u"BitBtn1 Form1 568,8 49x49"_s,
    };
    QStringList actual;
    for (const QString &line : expected) {
        const QString name = line.section(u' ', 0, 0);
        auto *widget = f.window->findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        const QRect r = widget->geometry();
        actual << u"%1 %2 %3,%4 %5x%6"_s.arg(name, widget->parentWidget()->objectName())
                          .arg(r.x())
                          .arg(r.y())
                          .arg(r.width())
                          .arg(r.height());
        QCOMPARE(widget->isVisible(), name != u"MediaPlayer1");
    }
    QCOMPARE(actual, expected);
}

void TestWindowStartup::captionsAndTitle()
{
    TForm1 &w = *f.window;
    QCOMPARE(w.windowTitle(), u"Tovemi Ver 2.00 R2"_s);
    QCOMPARE(QCoreApplication::applicationName(), u"Tovemi"_s);
    QCOMPARE(QCoreApplication::applicationVersion(), u"2.00.2"_s);
    QVERIFY(!w.windowIcon().isNull());
    QCOMPARE(w.Label1->text(), u"もとにする量"_s);
    QCOMPARE(w.Label5->text(), u"くらべられる量の割合"_s);
    QCOMPARE(w.Label15->text(), u"☆歩合は shift で前にもどる"_s);
    QCOMPARE(w.Button1->text(), u"スタート"_s);
    QCOMPARE(w.Button3->text(), u"おしまい"_s);
    QCOMPARE(w.CheckBox1->text(), u"出題数"_s);
    QCOMPARE(w.RadioGroup1->title(), u"問題選択"_s);
    QVERIFY(w.BitBtn1->text().isEmpty());
    QCOMPARE(w.BitBtn1->iconSize(), QSize(33, 33));
    QVERIFY(!w.BitBtn1->icon().isNull());
    QCOMPARE(w.Image1->pixmap().size(), QSize(81, 81));
    QVERIFY(w.Edit7->isReadOnly() && w.Edit10->isReadOnly());
    QCOMPARE(w.Edit7->focusPolicy(), Qt::ClickFocus);
    QCOMPARE(w.Edit1->focusPolicy(), Qt::StrongFocus);
}

void TestWindowStartup::numberBoxesUseTheFixedPitchFace()
{
    TForm1 &w = *f.window;
    const QFontInfo box(w.Edit1->font());
    QCOMPARE(box.family(), u"IPAGothic"_s);
    QCOMPARE(w.Edit1->font().pixelSize(), 32);
    QCOMPARE(w.Edit11->font().pixelSize(), 24);
    QVERIFY(w.Edit10->font().bold());
    QVERIFY(w.Label1->font().bold());
    QCOMPARE(QFontInfo(w.Button1->font()).family(), u"IPAPGothic"_s);
    // Unhinted, the boxes and the inherited faces alike: hinting merges the strokes of 量.
    for (const QWidget *widget :
         std::initializer_list<const QWidget *> { w.Edit1, w.Label1, w.Button1, w.Edit10 })
        QCOMPARE(widget->font().hintingPreference(), QFont::PreferNoHinting);
    // The padded texts line up: a blank is as wide as a digit.
    const QFontMetrics metrics(w.Edit1->font());
    QCOMPARE(metrics.horizontalAdvance(u' '), metrics.horizontalAdvance(u'7'));
}

void TestWindowStartup::kindItemsFillFourColumnsColumnByColumn()
{
    const QStringList texts = { u"量→割合"_s,          u"割合→量"_s,      u"割合←→量"_s,
                                u"量→百分率"_s,        u"百分率→量"_s,    u"量←→百分率"_s,
                                u"量・割合・百分率"_s, u"割合←→百分率"_s, u"割合→歩合"_s,
                                u"歩合→割合"_s };
    QList<int> columnLefts;
    for (int i = 0; i < 10; ++i) {
        auto *item = f.window->findChild<QRadioButton *>(u"RadioGroup1Item%1"_s.arg(i));
        QVERIFY(item);
        QCOMPARE(item->text(), texts[i]);
        QCOMPARE(item->isChecked(), i == 0);
        const QPoint at = item->geometry().topLeft();
        if (i % 3 == 0)
            columnLefts << at.x();
        else
            QCOMPARE(at.x(), columnLefts.last());
        if (i % 3 != 0) {
            auto *above = f.window->findChild<QRadioButton *>(u"RadioGroup1Item%1"_s.arg(i - 1));
            QVERIFY(above->geometry().top() < at.y());
        }
        QVERIFY(item->geometry().bottom() < f.window->RadioGroup1->height());
    }
    QCOMPARE(columnLefts.size(), 4);
    QVERIFY(std::is_sorted(columnLefts.begin(), columnLefts.end()));
}

void TestWindowStartup::startUpState()
{
    TForm1 &w = *f.window;
    for (QLineEdit *box : { w.Edit1, w.Edit2, w.Edit3, w.Edit4, w.Edit5, w.Edit6, w.Edit7, w.Edit8,
                            w.Edit9, w.Edit11, w.Edit12, w.Edit13 })
        QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
    QCOMPARE(f.status(), u"問題を選んでスタートボタンをおしてね！"_s);
    QCOMPARE(f.statusColour(), QColor(0, 128, 0));
    QVERIFY(!w.CheckBox1->isChecked());
    QCOMPARE(w.Button2->text(), u"せいかいを見る"_s);
    for (QLineEdit *box : { w.Edit1, w.Edit2, w.Edit5 })
        QCOMPARE(WindowFixture::baseOf(box), QColor(Qt::white));

    for (const ProblemRow &row : drill().ProblemTable.rows) {
        for (int field = 1; field <= 6; ++field)
            QCOMPARE(row.field(field), 0.0);
    }
    QVERIFY(f.media.calls.isEmpty());
}

void TestWindowStartup::hintsAndAccessibleNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("accessible");
    QTest::newRow("CheckBox1") << u"CheckBox1"_s << u"チェックで 出題数をきめます"_s << u"出題数"_s;
    QTest::newRow("Button1") << u"Button1"_s << u"新しい問題をつくります"_s << u"スタート"_s;
    QTest::newRow("Button2") << u"Button2"_s << u"正解を出します"_s << u"せいかいを見る"_s;
    QTest::newRow("Button3") << u"Button3"_s << u"プログラムをおわります"_s << u"おしまい"_s;
    QTest::newRow("RadioGroup1") << u"RadioGroup1"_s << u"問題の種類を選びます"_s << u"問題選択"_s;
    QTest::newRow("Label15") << u"Label15"_s << u"歩合はリターンで次、shift で前"_s << QString();
    QTest::newRow("BitBtn1") << u"BitBtn1"_s << u"問題を印刷します"_s << u"問題を印刷します"_s;
    QTest::newRow("Image1") << u"Image1"_s << QString() << u"マスコット"_s;
    QTest::newRow("Edit1") << u"Edit1"_s << QString() << u"もとにする量"_s;
    QTest::newRow("Edit5") << u"Edit5"_s << QString() << u"くらべられる量の割合"_s;
    QTest::newRow("Edit11") << u"Edit11"_s << QString() << u"割"_s;
    QTest::newRow("Edit7") << u"Edit7"_s << QString() << u"問中"_s;
    QTest::newRow("Edit8") << u"Edit8"_s << QString() << u"問目"_s;
    QTest::newRow("Edit9") << u"Edit9"_s << QString() << u"正解率"_s;
    QTest::newRow("Edit10") << u"Edit10"_s << QString() << u"メッセージ"_s;
    QTest::newRow("item 8") << u"RadioGroup1Item8"_s << QString() << u"割合→歩合"_s;
}

void TestWindowStartup::hintsAndAccessibleNames()
{
    QFETCH(QString, name);
    QFETCH(QString, hint);
    QFETCH(QString, accessible);
    auto *widget = f.window->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->toolTip(), hint);
    if (!accessible.isNull())
        QCOMPARE(widget->accessibleName(), accessible);
}

void TestWindowStartup::hintsWakeAfter100msOnAqua()
{
    QCOMPARE(f.window->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 100);
    QCOMPARE(QToolTip::palette().color(QPalette::ToolTipBase), QColor(0, 255, 255));
}

void TestWindowStartup::tabOrderRunsThroughTheBoxesThenTheButtons()
{
    TForm1 &w = *f.window;
    const QList<QWidget *> expected = { w.Edit2,   w.Edit3,   w.Edit4,  w.Edit5,
                                        w.Edit6,   w.Edit11,  w.Edit12, w.Edit13,
                                        w.Button1, w.Button2, w.Button3 };
    w.Edit1->setFocus();
    for (QWidget *next : expected) {
        WindowFixture::press(Qt::Key_Tab);
        QCOMPARE(WindowFixture::focusedName(), next->objectName());
    }
    WindowFixture::press(Qt::Key_Tab);
    QCOMPARE(WindowFixture::focused()->parentWidget(), w.RadioGroup1);
    WindowFixture::press(Qt::Key_Tab);
    QCOMPARE(WindowFixture::focused(), w.CheckBox1);
    WindowFixture::press(Qt::Key_Tab);
    QCOMPARE(WindowFixture::focused(), w.diagramSwitch);
    WindowFixture::press(Qt::Key_Tab);
    QCOMPARE(WindowFixture::focused(), w.BitBtn1);
}

void TestWindowStartup::resizingMovesNothing()
{
    const QRect before = f.window->Edit5->geometry();
    f.window->resize(900, 700);
    QTest::qWait(10);
    QCOMPARE(f.window->Edit5->geometry(), before);
    QCOMPARE(f.window->Button1->geometry(), QRect(112, 416, 57, 33));
}

QTEST_MAIN(TestWindowStartup)
#include "tst_window_startup.moc"
