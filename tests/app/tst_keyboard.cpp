// A pupil who never touches the mouse: every control of the window by keys, whole drills, the
// kind choice in the tab chain and under the arrows, held keys, the focus after each box, and
// the window's colours under a dark desktop theme.
#include "window_fixture.h"

#include "monkey_hooks.h"
#include "stand_in_printer.h"

#include <QCheckBox>
#include <QDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyleFactory>

Q_DECLARE_METATYPE(Arrow)

namespace {

void sendKey(QWidget *to, QEvent::Type type, Qt::Key key, bool autoRepeat, quint64 timestamp)
{
    QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? u" "_s : u"\r"_s, autoRepeat);
    event.setTimestamp(timestamp);
    QApplication::sendEvent(to, &event);
}

// Where a box that has just opened takes its keys, also before the window system has made it
// the active window.
QWidget *keysOf(QWidget *modal)
{
    return modal->focusWidget() ? modal->focusWidget() : modal;
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
    WindowFixture f;

    QRadioButton *item(int i) const
    {
        return f.window->findChild<QRadioButton *>(u"RadioGroup1Item%1"_s.arg(i));
    }
    // Tab (or Shift+Tab) until the focus is on the target, as a pupil does; at most once round.
    void tabTo(QWidget *target, bool back = false)
    {
        for (int i = 0; i < 20 && WindowFixture::focused() != target; ++i)
            WindowFixture::press(back ? Qt::Key_Backtab : Qt::Key_Tab);
        QCOMPARE(WindowFixture::focused(), target);
    }

private Q_SLOTS:
    void initTestCase()
    {
        initWindowTests();
        // A steady text cursor, so two pictures of the window differ only in what they show.
        QApplication::setCursorFlashTime(0);
    }
    void init() { f.open(); }
    void cleanup() { f.close(); }

    void enterPressesAFocusedButtonOnce_data();
    void enterPressesAFocusedButtonOnce();
    void theKindChoiceHasItsPlaceInTheTabChain_data();
    void theKindChoiceHasItsPlaceInTheTabChain();
    void arrowKeysMoveTheChoice_data();
    void arrowKeysMoveTheChoice();
    void anArrowInTheWindowIsAChoice();
    void aHeldShiftWalksBack_data();
    void aHeldShiftWalksBack();
    void theFocusComesBackAfterEachBox_data();
    void theFocusComesBackAfterEachBox();
    void aDarkThemeLeavesTheColours();
    void aWholeDrillByKeys_data();
    void aWholeDrillByKeys();
};

void TestKeyboard::enterPressesAFocusedButtonOnce_data()
{
    // Key events as X delivers them, each: p press, r release, P/R marked as repeats; the
    // number is its timestamp. In a box, a button presses on the key's press.
    QTest::addColumn<bool>("inBox");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("events");
    QTest::addColumn<int>("clicks");
    QTest::newRow("Return") << false << int(Qt::Key_Return) << u"p10 r20"_s << 1;
    QTest::newRow("keypad Enter") << false << int(Qt::Key_Enter) << u"p10 r20"_s << 1;
    QTest::newRow("Return twice") << false << int(Qt::Key_Return) << u"p10 r20 p30 r40"_s << 2;
    QTest::newRow("held Return, marked repeats")
            << false << int(Qt::Key_Return) << u"p10 R700 P700 R740 P740 r900"_s << 1;
    QTest::newRow("held Return, unmarked pairs")
            << false << int(Qt::Key_Return) << u"p10 r700 p700 r740 p740 r900"_s << 1;
    QTest::newRow("held Space, unmarked pairs")
            << false << int(Qt::Key_Space) << u"p10 r700 p700 r740 p740 r900"_s << 1;
    QTest::newRow("in a box, held Return")
            << true << int(Qt::Key_Return) << u"p10 r700 p700 r740 p740 r900"_s << 1;
    QTest::newRow("in a box, a release lost as it opened")
            << true << int(Qt::Key_Return) << u"p10 p3000 r3010"_s << 2;
}

void TestKeyboard::enterPressesAFocusedButtonOnce()
{
    QFETCH(bool, inBox);
    QFETCH(int, key);
    QFETCH(QString, events);
    QFETCH(int, clicks);
    // A button added later, so no handler runs and nothing takes the focus away.
    QDialog box(f.window.get());
    auto *later =
            new QPushButton(u"later"_s, inBox ? static_cast<QWidget *>(&box) : f.window.get());
    if (inBox)
        box.show();
    later->show();
    later->setFocus();
    QSignalSpy clicked(later, &QPushButton::clicked);
    for (const QString &e : events.split(u' ')) {
        const bool press = e[0].toLower() == u'p';
        sendKey(later, press ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key(key), e[0].isUpper(),
                e.mid(1).toULongLong());
    }
    QCOMPARE(clicked.count(), clicks);
}

void TestKeyboard::theKindChoiceHasItsPlaceInTheTabChain_data()
{
    QTest::addColumn<int>("kind");
    for (int kind = 1; kind <= 10; ++kind)
        QTest::addRow("kind %d", kind) << kind;
}

void TestKeyboard::theKindChoiceHasItsPlaceInTheTabChain()
{
    QFETCH(int, kind);
    QTest::mouseClick(item(kind - 1), Qt::LeftButton);
    QCOMPARE(int(drill().ProblemKind), kind);
    TForm1 *w = f.window.get();
    w->Edit13->setFocus();
    const QList<QWidget *> chain { w->Button1,   w->Button2,       w->Button3, item(kind - 1),
                                   w->CheckBox1, w->diagramSwitch, w->BitBtn1, w->Edit1 };
    for (QWidget *next : chain) {
        WindowFixture::press(Qt::Key_Tab);
        QCOMPARE(WindowFixture::focusedName(), next->objectName());
    }
    for (int back = 0; back < 4; ++back)
        WindowFixture::press(Qt::Key_Backtab);
    QCOMPARE(WindowFixture::focusedName(), item(kind - 1)->objectName());
    WindowFixture::press(Qt::Key_Backtab);
    QCOMPARE(WindowFixture::focused(), w->Button3);
}

void TestKeyboard::arrowKeysMoveTheChoice_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<Arrow>("arrow");
    QTest::addColumn<int>("to");
    QTest::newRow("down a column") << 0 << Arrow::Down << 1;
    QTest::newRow("down on to the next column") << 2 << Arrow::Down << 3;
    QTest::newRow("down from the last round to the first") << 9 << Arrow::Down << 0;
    QTest::newRow("up back to the column before") << 6 << Arrow::Up << 5;
    QTest::newRow("up from the first round to the last") << 0 << Arrow::Up << 9;
    QTest::newRow("right along a row") << 1 << Arrow::Right << 4;
    QTest::newRow("right into the short column") << 8 << Arrow::Right << 9;
    QTest::newRow("right at the last column") << 9 << Arrow::Right << 9;
    QTest::newRow("left along a row") << 5 << Arrow::Left << 2;
    QTest::newRow("left out of the short column") << 9 << Arrow::Left << 6;
    QTest::newRow("left at the first column") << 2 << Arrow::Left << 2;
}

void TestKeyboard::arrowKeysMoveTheChoice()
{
    QFETCH(int, from);
    QFETCH(Arrow, arrow);
    QFETCH(int, to);
    QCOMPARE(kindAfterArrow(Kind(from + 1), arrow), Kind(to + 1));
}

void TestKeyboard::anArrowInTheWindowIsAChoice()
{
    // A drill ended, so the choice's fresh set shows in the status line and the counters.
    drill().CurrentNo = 7;
    tabTo(item(0));
    WindowFixture::press(Qt::Key_Right);
    QCOMPARE(WindowFixture::focused(), item(3));
    QVERIFY(item(3)->isChecked());
    QCOMPARE(int(drill().ProblemKind), 4);
    QCOMPARE(drill().CurrentNo, 1);
    QCOMPARE(f.status(), u"スタートボタンをおしてね！"_s);
}

void TestKeyboard::aHeldShiftWalksBack_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("held");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("rin to wari") << 9 << true << 13 << 11;
    QTest::newRow("rin, let go at once") << 9 << false << 13 << 12;
    QTest::newRow("bu to wari, once") << 9 << true << 12 << 11;
    QTest::newRow("not in another kind") << 1 << true << 13 << 13;
}

void TestKeyboard::aHeldShiftWalksBack()
{
    QFETCH(int, kind);
    QFETCH(bool, held);
    QFETCH(int, from);
    QFETCH(int, to);
    QTest::mouseClick(item(kind - 1), Qt::LeftButton);
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    const Box field = drill().AnswerField;
    f.window->FocusAnswerField(Box(from));
    // X sends a held Shift as one press, and its release when let go.
    QTest::keyPress(f.window->entryBox(Box(from)), Qt::Key_Shift);
    // Offscreen there is no X server to ask: the default pace, 660 ms then 40, brings two
    // repeats well within the wait.
    if (held)
        QTest::qWait(1500);
    QCOMPARE(WindowFixture::focused(), f.window->entryBox(Box(to)));
    QTest::keyRelease(f.window->entryBox(Box(to)), Qt::Key_Shift);
    QTest::qWait(800);
    QCOMPARE(WindowFixture::focused(), f.window->entryBox(Box(to)));
    QCOMPARE(drill().AnswerField, kind == 9 ? Box(to) : field);
}

void TestKeyboard::theFocusComesBackAfterEachBox_data()
{
    // The control the pupil was on, what it opens, the answers, where the focus ends.
    QTest::addColumn<QString>("on");
    QTest::addColumn<bool>("lengthChosen"); // and kind 1, so the print asks Yes or No at once
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("back");
    QTest::newRow("input box") << u"CheckBox1"_s << false << QStringList { u"7"_s } << u"Edit4"_s;
    QTest::newRow("input box, not a number")
            << u"CheckBox1"_s << false << QStringList { u"x"_s } << u"Edit4"_s;
    QTest::newRow("input box, and the report of it")
            << u"CheckBox1"_s << false << QStringList { u"x"_s, u"enter"_s } << u"Edit4"_s;
    QTest::newRow("print, explanation")
            << u"BitBtn1"_s << false << QStringList { u"enter"_s } << u"BitBtn1"_s;
    QTest::newRow("print, No") << u"BitBtn1"_s << true << QStringList { u"escape"_s }
                               << u"BitBtn1"_s;
    QTest::newRow("print, Yes") << u"BitBtn1"_s << true << QStringList { u"enter"_s }
                                << u"BitBtn1"_s;
}

void TestKeyboard::theFocusComesBackAfterEachBox()
{
    QFETCH(QString, on);
    QFETCH(bool, lengthChosen);
    QFETCH(QStringList, answers);
    QFETCH(QString, back);
    f.window->PrinterSetupDialog1 = std::make_unique<StandInPrinter>();
    QTest::mouseClick(item(3), Qt::LeftButton);
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    drill().AnswerField = Box::ComparedAmount; // a problem asking for the compared amount
    if (lengthChosen) {
        drill().ProblemKind = Kind(1);
        drill().LengthChosen = true;
        f.window->CheckBox1->setChecked(true);
    }
    if (answers.size() > 1 && on == u"CheckBox1")
        f.reports.reading = false; // the report in its own box, answered too
    auto *control = f.window->findChild<QWidget *>(on);
    tabTo(control);
    std::function<void(QWidget *)> answerNext = [&](QWidget *modal) {
        if (answers.isEmpty())
            return;
        const QString answer = answers.takeFirst();
        QWidget *field = keysOf(modal);
        if (qobject_cast<QInputDialog *>(modal)) {
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, answer);
        }
        QTest::keyClick(field, answer == u"escape" ? Qt::Key_Escape : Qt::Key_Return);
        WhenModalOpens(answerNext);
    };
    WhenModalOpens(answerNext);
    WindowFixture::press(on == u"CheckBox1" ? Qt::Key_Space : Qt::Key_Return);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY2(answers.isEmpty(), "every box came and was answered");
    QTRY_COMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                             : QString(),
                 back);
}

void TestKeyboard::aDarkThemeLeavesTheColours()
{
    QApplication::setStyle(QStyleFactory::create(u"Fusion"_s));
    f.close();
    f.open();
    const QImage light = f.window->grab().toImage();
    QPalette dark(QColor(53, 53, 53), QColor(35, 35, 35));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Base, QColor(25, 25, 25));
    const QPalette before = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
    // A theme set before the window opens, as a desktop's is, and one changed while it is open.
    QApplication::setPalette(dark);
    f.close();
    f.open();
    QCOMPARE(f.window->grab().toImage(), light);
    QApplication::setPalette(before);
    QApplication::setPalette(dark);
    QCOMPARE(f.window->grab().toImage(), light);
}

void TestKeyboard::aWholeDrillByKeys_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("downs"); // Down presses from the first item to the kind
    QTest::addColumn<int>("pages"); // pages the print makes: explanation only for kind 9
    QTest::newRow("kind 1") << 1 << 0 << 2;
    QTest::newRow("kind 9") << 9 << 8 << 0;
}

void TestKeyboard::aWholeDrillByKeys()
{
    QFETCH(int, kind);
    QFETCH(int, downs);
    QFETCH(int, pages);
    auto owned = std::make_unique<StandInPrinter>();
    StandInPrinter *printer = owned.get();
    f.window->PrinterSetupDialog1 = std::move(owned);
    TForm1 *w = f.window.get();

    // The kind, by Tab and arrows.
    tabTo(item(0));
    for (int i = 0; i < downs; ++i)
        WindowFixture::press(Qt::Key_Down);
    QCOMPARE(int(drill().ProblemKind), kind);

    // Three problems, set in the input box.
    tabTo(w->CheckBox1);
    WhenModalOpens([](QWidget *modal) {
        QTest::keyClick(keysOf(modal), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(keysOf(modal), u"3"_s);
        QTest::keyClick(keysOf(modal), Qt::Key_Return);
    });
    WindowFixture::press(Qt::Key_Space);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(drill().DrillLength, 3);

    // A print: the question answered by Enter (Yes; OK on the explanation for kind 9).
    tabTo(w->BitBtn1);
    WhenModalOpens([](QWidget *modal) { QTest::keyClick(keysOf(modal), Qt::Key_Return); });
    WindowFixture::enter();
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(int(printer->recorded.pages.size()), pages);
    QTRY_COMPARE(WindowFixture::focused(), w->BitBtn1);

    // スタート, back along the chain.
    tabTo(w->Button1, true);
    WindowFixture::enter();
    QCOMPARE(w->Edit8->text(), u"1"_s);
    auto answerRight = [&] {
        if (kind == 9) {
            for (double digit : { drill().BuaiWari, drill().BuaiBu, drill().BuaiRin })
                WindowFixture::answer(QString::number(digit));
        } else {
            WindowFixture::answer(WindowFixture::answerText());
        }
    };
    answerRight();
    QCOMPARE(f.status(), u"せいかいです"_s);
    QCOMPARE(w->Edit8->text(), u"2"_s);

    // Problem 2 revealed, then 次に進む, both by Enter on the one button.
    tabTo(w->Button2);
    WindowFixture::enter();
    QCOMPARE(w->Button2->text(), u"次に進む"_s);
    QCOMPARE(WindowFixture::focused(), w->Button2);
    WindowFixture::enter();
    QCOMPARE(w->Button2->text(), u"せいかいを見る"_s);
    QCOMPARE(w->Edit8->text(), u"3"_s);
    QCOMPARE(WindowFixture::focused(), w->entryBox(drill().AnswerField));
    answerRight();
    QCOMPARE(f.status(), u"おしまいです。66点でした。"_s);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
