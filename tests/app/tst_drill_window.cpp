// Whole drills on the real window, driven by keys and clicks: judging, scoring, buai entry,
// the drill controls and the order of pictures and sounds.
#include "window_fixture.h"

#include "app/relation_diagram_view.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

// Answers the drill-length input box when it opens: a text, or Cancel for nullopt.
void answerLengthBox(std::optional<QString> text, int attempts = 200)
{
    QTimer::singleShot(5, [text, attempts] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (attempts > 0)
                answerLengthBox(text, attempts - 1);
            return;
        }
        if (dialog->windowTitle() != u"問題数を決めます"_s
            || dialog->labelText() != u"何問やりますか？(100以下)"_s
            || dialog->textValue() != u"10"_s) {
            qWarning("input box with unexpected texts");
            dialog->reject();
            return;
        }
        if (text) {
            dialog->setTextValue(*text);
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
}

// What the screen itself holds of the diagram panel.
QImage panelOnScreen(TForm1 &w)
{
    const QRect at(w.diagramPanel->mapTo(&w, QPoint()), w.diagramPanel->size());
    return w.screen()
            ->grabWindow(w.winId(), at.x(), at.y(), at.width(), at.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
}

// A diagram painted whole, in the size and pixel ratio of `like`.
QImage pictureLike(const QImage &like, const RelationDiagram &diagram)
{
    QImage picture(like.size(), QImage::Format_RGB32);
    picture.setDevicePixelRatio(like.devicePixelRatio());
    QPainter painter(&picture);
    paintRelationDiagram(painter, diagram);
    return picture;
}

void sendKey(QWidget *to, QEvent::Type type, Qt::Key key, bool autoRepeat, quint64 timestamp = 0)
{
    const QString text = key == Qt::Key_Return ? u"\r"_s : QString();
    QKeyEvent event(type, key, Qt::NoModifier, text, autoRepeat);
    event.setTimestamp(timestamp);
    QApplication::sendEvent(to, &event);
}

} // namespace

class TestDrillWindow : public QObject
{
    Q_OBJECT
    WindowFixture f;

    void setLength(std::optional<QString> typed)
    {
        answerLengthBox(typed);
        QTest::mouseClick(f.window->CheckBox1, Qt::LeftButton);
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    }
    void start() { QTest::mouseClick(f.window->Button1, Qt::LeftButton); }
    void reveal() { QTest::mouseClick(f.window->Button2, Qt::LeftButton); }
    void answerBuai(const QString &wari, const QString &bu, const QString &rin)
    {
        QCOMPARE(WindowFixture::focused(), f.window->Edit11);
        WindowFixture::answer(wari);
        QCOMPARE(WindowFixture::focused(), f.window->Edit12);
        WindowFixture::answer(bu);
        QCOMPARE(WindowFixture::focused(), f.window->Edit13);
        WindowFixture::answer(rin);
    }
    // A buai problem with a chosen ratio, in place of problem CurrentNo.
    void buaiProblem(double ratio)
    {
        drill().ProblemTable[drill().CurrentNo] =
                ProblemRow { 10, 1, 100, ratio * 10, ratio, ratio * 100 };
        f.window->ShowProblem();
    }

private Q_SLOTS:
    void initTestCase() { initWindowTests(); }
    void init() { f.open(); }
    void cleanup() { f.close(); }

    void scoresCountOnlyFirstTries_data();
    void scoresCountOnlyFirstTries();
    void everyKindCanBePlayedToTheEnd_data();
    void everyKindCanBePlayedToTheEnd();
    void rightAndWrongShowTheirPicturesAndSounds();
    void enterInAnotherBoxJudgesNothing();
    void unarmedEnterJudgesNothing();
    void heldEnterIsJudgedOnce_data();
    void heldEnterIsJudgedOnce();
    void enterAgainAfterAWrongAnswerJudgesAgain();
    void theBoxTextIsReadAsANumber();
    void beforeTheFirstStartEdit2IsJudgedAgainstMinusOne();
    void buaiBoxesAreWeighedNotJoined();
    void buaiWrongGoesBackToWari();
    void shiftMovesBackInTheBuaiKindOnly();
    void buaiBoxesInKind10PlayButJudgeNothing();
    void everyEnterInTheBuaiBoxesPips();
    void revealBeforeAnyStartEndsTheDrill();
    void revealShowsTheAnswersThenMovesOn();
    void drillLengthBox_data();
    void drillLengthBox();
    void notAWholeNumberIsReportedAndChangesNothing();
    void statusColoursAcrossStartEndAndKind();
    void startWhileNextIsOfferedBeginsAgain();
    void kindStaysAsChosenAfterTheEnd();
    void aBoxFullOfJunkIsJudgedWrong();
    void theDiagramShowsTheProblemOnTheScreen();
    void theDiagramRepaintsOnlyWhatChanged_data();
    void theDiagramRepaintsOnlyWhatChanged();
};

void TestDrillWindow::scoresCountOnlyFirstTries_data()
{
    QTest::addColumn<QString>("plan"); // per problem: r right, w wrong then right, s revealed
    QTest::addColumn<QString>("end");
    QTest::newRow("7 of 10 first time") << u"rrrrrrrwww"_s << u"おしまいです。70点でした。"_s;
    QTest::newRow("nine right, the tenth revealed")
            << u"rrrrrrrrrs"_s << u"おしまいです。100点でした。"_s;
    QTest::newRow("first revealed, then right")
            << u"srwrrrrrrr"_s << u"おしまいです。80点でした。"_s;
    QTest::newRow("all wrong first") << u"wwwwwwwwww"_s << u"おしまいです。0点でした。"_s;
}

void TestDrillWindow::scoresCountOnlyFirstTries()
{
    QFETCH(QString, plan);
    QFETCH(QString, end);
    f.chooseKind(7);
    setLength(u"10"_s);
    QCOMPARE(drill().DrillLength, 10);
    start();
    int correct = 0;
    for (int no = 1; no <= 10; ++no) {
        QCOMPARE(f.window->Edit8->text(), QString::number(no));
        const QChar step = plan[no - 1];
        if (step == u's') {
            reveal();
            if (no < 10)
                reveal();
            continue;
        }
        if (step == u'w') {
            WindowFixture::answer(u"1234"_s);
            QCOMPARE(f.status(), u"ちがうよ！"_s);
            QCOMPARE(f.window->Edit9->text(), QString::number(correct * 100 / no));
        }
        WindowFixture::answer(f.answerText());
        if (step == u'r')
            ++correct;
        QCOMPARE(drill().CorrectCount, no == 10 ? 0 : correct);
        if (no < 10)
            QCOMPARE(f.window->Edit9->text(), QString::number(correct * 100 / no));
        // Problem 1 revealed and problem 2 right: 1 x 100 div 2.
        if (plan.startsWith(u"sr") && no == 2)
            QCOMPARE(f.window->Edit9->text(), u"50"_s);
    }
    QCOMPARE(f.status(), end);
    QCOMPARE(f.statusColour(), QColor(255, 0, 0));
    QCOMPARE(drill().CurrentNo, 1);
}

void TestDrillWindow::everyKindCanBePlayedToTheEnd_data()
{
    QTest::addColumn<int>("kind");
    for (int kind = 1; kind <= 10; ++kind)
        QTest::addRow("kind %d", kind) << kind;
}

void TestDrillWindow::everyKindCanBePlayedToTheEnd()
{
    QFETCH(int, kind);
    f.chooseKind(kind);
    start();
    for (int no = 1; no <= 100; ++no) {
        QCOMPARE(drill().CurrentNo, no);
        if (kind == 9) {
            const QStringList b = f.buaiAnswer();
            answerBuai(b[0], b[1], b[2]);
        } else {
            WindowFixture::answer(f.answerText());
        }
        if (no < 100)
            QCOMPARE(f.status(), u"せいかいです"_s);
    }
    QCOMPARE(f.status(), u"おしまいです。100点でした。"_s);
}

void TestDrillWindow::rightAndWrongShowTheirPicturesAndSounds()
{
    f.chooseKind(1);
    start();
    // The second problem asks another box, so the verdict must come with the focus there.
    drill().ProblemTable[1] = ProblemRow { 20, 1, 100, 7, -0.35, 35 };
    drill().ProblemTable[2] = ProblemRow { 20, -1, 100, 7, 0.35, 35 };
    f.window->ShowProblem();
    f.media.take();
    WindowFixture::answer(u"99"_s);
    // The sound first: it is not held up by a picture still to be decoded.
    QCOMPARE(f.media.take(), (QStringList { u"sound batu1.wav"_s, u"picture batu1.bmp"_s }));
    QCOMPARE(drill().MascotShown, false);
    // The first key after a judgement brings the mascot back, whatever the key.
    WindowFixture::type(u"1"_s);
    QCOMPARE(f.media.take(), QStringList { u"picture mascot.bmp"_s });
    QCOMPARE(f.status(), u"答を入れてリターンキー。"_s);
    WindowFixture::type(u"2"_s);
    QVERIFY(f.media.take().isEmpty());
    WindowFixture::answer(f.answerText());
    QCOMPARE(f.media.take(), (QStringList { u"sound maru1.wav"_s, u"picture maru1.bmp"_s }));
    QCOMPARE(f.status(), u"せいかいです"_s);
    QCOMPARE(drill().CurrentNo, 2);
    QCOMPARE(WindowFixture::focused(), f.window->Edit2);
    QCOMPARE(f.window->Edit2->accessibleDescription(),
             u"せいかいです。 もとにする量 20、くらべられる量 7、くらべられる量の割合 0.35。"
             u"もとにする量の割合は？"_s);
}

void TestDrillWindow::enterInAnotherBoxJudgesNothing()
{
    f.chooseKind(1);
    start();
    WindowFixture::answer(u"1234"_s); // wrong: MascotShown false
    f.media.take();
    const Box field = drill().AnswerField;
    QLineEdit *other =
            f.window->entryBox(field == Box::BaseAmount ? Box::ComparedAmount : Box::BaseAmount);
    other->setFocus();
    WindowFixture::type(u"3"_s);
    WindowFixture::enter();
    QCOMPARE(f.media.take(), QStringList { u"picture mascot.bmp"_s });
    QCOMPARE(drill().CurrentNo, 1);
    QCOMPARE(drill().RatePercent, 0);
    QCOMPARE(f.status(), u"答を入れてリターンキー。"_s);
}

void TestDrillWindow::unarmedEnterJudgesNothing()
{
    f.chooseKind(2);
    start();
    QLineEdit *box = f.window->entryBox(drill().AnswerField);
    box->setText(f.answerText());
    sendKey(box, QEvent::KeyPress, Qt::Key_Return, false);
    QCOMPARE(drill().CurrentNo, 1);
    QVERIFY(f.media.take().isEmpty());
    sendKey(box, QEvent::KeyRelease, Qt::Key_Return, false);
    sendKey(box, QEvent::KeyPress, Qt::Key_Return, false);
    QCOMPARE(drill().CurrentNo, 2);
}

void TestDrillWindow::heldEnterIsJudgedOnce_data()
{
    QTest::addColumn<bool>("falseReleases");
    QTest::newRow("repeats marked as repeats") << false;
    QTest::newRow("repeats as unmarked release and press, same timestamp") << true;
}

void TestDrillWindow::heldEnterIsJudgedOnce()
{
    QFETCH(bool, falseReleases);
    f.chooseKind(3);
    start();
    QLineEdit *box = f.window->entryBox(drill().AnswerField);
    WindowFixture::type(u"777"_s);
    f.media.take();
    quint64 time = 1000;
    sendKey(box, QEvent::KeyPress, Qt::Key_Return, false, time);
    for (int repeat = 0; repeat < 20; ++repeat) {
        time += 33;
        sendKey(box, QEvent::KeyRelease, Qt::Key_Return, !falseReleases, time);
        sendKey(box, QEvent::KeyPress, Qt::Key_Return, !falseReleases, time);
    }
    sendKey(box, QEvent::KeyRelease, Qt::Key_Return, false, time + 40);
    QCOMPARE(f.media.take().count(u"sound batu1.wav"_s), 1);
    QCOMPARE(drill().FirstTry, false);
    // Let go, the box is armed again: the next Enter judges.
    sendKey(box, QEvent::KeyPress, Qt::Key_Return, false, time + 500);
    QCOMPARE(f.media.take().count(u"sound batu1.wav"_s), 1);
}

void TestDrillWindow::enterAgainAfterAWrongAnswerJudgesAgain()
{
    f.chooseKind(1);
    start();
    WindowFixture::answer(f.answerText()); // problem 1 right
    WindowFixture::answer(u"0"_s); // problem 2 wrong
    QCOMPARE(f.window->Edit9->text(), u"50"_s);
    f.media.take();
    WindowFixture::enter();
    QCOMPARE(f.media.take(),
             (QStringList { u"picture mascot.bmp"_s, u"sound batu1.wav"_s,
                            u"picture batu1.bmp"_s }));
    QCOMPARE(f.window->Edit9->text(), u"50"_s);
    QCOMPARE(f.window->entryBox(drill().AnswerField)->text(), u"0"_s);
    // Wrong first, then right: the problem advances but does not count.
    WindowFixture::answer(f.answerText());
    QCOMPARE(drill().CurrentNo, 3);
    QCOMPARE(drill().CorrectCount, 1);
}

void TestDrillWindow::theBoxTextIsReadAsANumber()
{
    // How each text reads is the number texts' table; here that the box's text is what is read.
    f.chooseKind(1);
    start();
    drill().ProblemTable[1] = ProblemRow { 20, 1, 100, 10, -0.5, 50 };
    f.window->ShowProblem();
    WindowFixture::answer(u"0.5x"_s);
    QCOMPARE(f.status(), u"ちがうよ！"_s);
    WindowFixture::answer(u"０．５"_s);
    QCOMPARE(f.status(), u"せいかいです"_s);
}

void TestDrillWindow::beforeTheFirstStartEdit2IsJudgedAgainstMinusOne()
{
    f.window->Edit2->setFocus();
    WindowFixture::answer(u"5"_s);
    QCOMPARE(f.status(), u"ちがうよ！"_s);
    QCOMPARE(f.window->Edit8->text(), u"100"_s);
    QCOMPARE(f.window->Edit9->text(), u"0"_s);
    WindowFixture::answer(u"-1"_s);
    QCOMPARE(f.status(), u"おしまいです。0点でした。"_s);
}

void TestDrillWindow::buaiBoxesAreWeighedNotJoined()
{
    // The weights are buaiTotal's table; the window must pass it the three boxes' values.
    f.chooseKind(9);
    start();
    buaiProblem(0.375);
    QCOMPARE(f.window->Edit11->text(), u"?"_s);
    QCOMPARE(f.window->Edit12->text(), u"0"_s);
    answerBuai(u"0"_s, u"37"_s, u"5"_s);
    QCOMPARE(drill().CurrentNo, 2);
    QCOMPARE(f.status(), u"せいかいです"_s);
}

void TestDrillWindow::buaiWrongGoesBackToWari()
{
    f.chooseKind(9);
    start();
    buaiProblem(0.375);
    answerBuai(u"3"_s, u"7"_s, u"6"_s);
    QCOMPARE(drill().AnswerField, Box(11));
    QCOMPARE(WindowFixture::focused(), f.window->Edit11);
    QCOMPARE(f.window->Edit13->text(), u"6"_s);
    QCOMPARE(drill().FirstTry, false);
    f.media.take();
    // The first key in the wari box brings the mascot and its own prompt.
    WindowFixture::type(u"3"_s);
    QCOMPARE(f.media.take(), QStringList { u"picture mascot.bmp"_s });
    QCOMPARE(f.status(), u"答を入れてリターンキーで「分」へ。"_s);
    // The bu box keeps its text: Enter confirms it; the pupil mends only the rin.
    WindowFixture::enter();
    WindowFixture::enter();
    WindowFixture::answer(u"5"_s);
    QCOMPARE(drill().CurrentNo, 2);
    QCOMPARE(drill().CorrectCount, 0);
}

void TestDrillWindow::shiftMovesBackInTheBuaiKindOnly()
{
    f.chooseKind(9);
    start();
    buaiProblem(0.375);
    WindowFixture::answer(u"3"_s);
    WindowFixture::answer(u"7"_s);
    QCOMPARE(WindowFixture::focused(), f.window->Edit13);
    WindowFixture::press(Qt::Key_Shift);
    QCOMPARE(WindowFixture::focused(), f.window->Edit12);
    QCOMPARE(drill().AnswerField, Box(12));
    QCOMPARE(f.status(), u"答を入れてリターンキーで「厘」へ。"_s);
    WindowFixture::press(Qt::Key_Shift);
    QCOMPARE(WindowFixture::focused(), f.window->Edit11);
    QCOMPARE(drill().AnswerField, Box(11));

    // Elsewhere Shift in the bu or rin box leaves the problem's own answer box in charge.
    f.chooseKind(1);
    start();
    const Box field = drill().AnswerField;
    f.window->Edit12->setFocus();
    WindowFixture::press(Qt::Key_Shift);
    f.window->Edit13->setFocus();
    WindowFixture::press(Qt::Key_Shift);
    QCOMPARE(drill().AnswerField, field);
    f.window->FocusAnswerField(field);
    WindowFixture::answer(f.answerText());
    QCOMPARE(drill().CurrentNo, 2);
}

void TestDrillWindow::buaiBoxesInKind10PlayButJudgeNothing()
{
    f.chooseKind(10);
    start();
    for (QLineEdit *box : { f.window->Edit11, f.window->Edit12, f.window->Edit13 }) {
        box->setFocus();
        f.media.take();
        WindowFixture::enter();
        QCOMPARE(f.media.take(), QStringList { u"sound p.wav"_s });
    }
    QCOMPARE(drill().AnswerField, Box(5));
    QCOMPARE(drill().CurrentNo, 1);
}

void TestDrillWindow::everyEnterInTheBuaiBoxesPips()
{
    // The window's very first key, before any click: one pip, as for any later key.
    f.window->Edit11->setFocus();
    WindowFixture::enter();
    QCOMPARE(f.media.take(), QStringList { u"sound p.wav"_s });
    f.chooseKind(9);
    start();
    buaiProblem(0.375);
    f.media.take();
    WindowFixture::type(u"3"_s);
    // A held Enter: taken once in the wari box; its repeats reach the bu box and pip there.
    sendKey(f.window->Edit11, QEvent::KeyPress, Qt::Key_Return, false, 10);
    QCOMPARE(WindowFixture::focused(), f.window->Edit12);
    for (int i = 0; i < 5; ++i)
        sendKey(f.window->Edit12, QEvent::KeyPress, Qt::Key_Return, true, 50 + i);
    QCOMPARE(f.media.take(), QStringList(6, u"sound p.wav"_s));
    QCOMPARE(drill().AnswerField, Box(12));
    sendKey(f.window->Edit12, QEvent::KeyRelease, Qt::Key_Return, false, 100);
    WindowFixture::type(u"7"_s);
    WindowFixture::enter();
    QCOMPARE(drill().AnswerField, Box(13));
    f.media.take();
    WindowFixture::answer(u"5"_s);
    // The judgement's sound follows the pip at once and cuts it off.
    QCOMPARE(f.media.take(),
             (QStringList { u"sound p.wav"_s, u"sound maru1.wav"_s, u"picture maru1.bmp"_s }));
}

void TestDrillWindow::revealBeforeAnyStartEndsTheDrill()
{
    reveal();
    QCOMPARE(f.status(), u"おしまいです。0点でした。"_s);
    QCOMPARE(f.statusColour(), QColor(255, 0, 0));
    QCOMPARE(f.window->Button2->text(), u"次に進む"_s);
    QCOMPARE(f.window->Button2->toolTip(), u"次の問題にすすみます"_s);
}

void TestDrillWindow::revealShowsTheAnswersThenMovesOn()
{
    f.chooseKind(1);
    start();
    drill().ProblemTable[1] = ProblemRow { 20, 1, 100, 7, -0.35, 35 };
    f.window->ShowProblem();
    WindowFixture::answer(u"3"_s);
    f.media.take();
    reveal();
    QCOMPARE(f.window->Edit5->text(), u"  0.35"_s);
    QCOMPARE(f.window->Button2->text(), u"次に進む"_s);
    QCOMPARE(f.media.take(), QStringList { u"picture mascot.bmp"_s });
    QCOMPARE(f.status(), u"次の問題をやるボタンをおしてね。"_s);
    QCOMPARE(drill().CurrentNo, 2);
    QCOMPARE(f.window->Edit8->text(), u"1"_s);
    reveal();
    QCOMPARE(f.window->Button2->text(), u"せいかいを見る"_s);
    QCOMPARE(f.window->Button2->toolTip(), u"正解を出します"_s);
    QCOMPARE(f.window->Edit8->text(), u"2"_s);
}

void TestDrillWindow::drillLengthBox_data()
{
    QTest::addColumn<std::optional<QString>>("typed");
    QTest::addColumn<int>("length");
    // How a typed length reads is DrillLengthOf's table; a clamped one and Cancel go through here.
    QTest::newRow("0 becomes 1") << std::optional<QString>(u"0"_s) << 1;
    QTest::newRow("cancel takes 10") << std::optional<QString>() << 10;
}

void TestDrillWindow::drillLengthBox()
{
    QFETCH(std::optional<QString>, typed);
    QFETCH(int, length);
    f.chooseKind(2);
    start();
    setLength(typed);
    QCOMPARE(drill().DrillLength, length);
    QCOMPARE(f.window->Edit7->text(), QString::number(length));
    QCOMPARE(drill().LengthChosen, true);
    QVERIFY(f.window->CheckBox1->isChecked());
    QCOMPARE(WindowFixture::focused(), f.window->entryBox(drill().AnswerField));
    // A length takes effect at once: at or below the current number, the next right answer ends.
    if (length == 1) {
        WindowFixture::answer(f.answerText());
        QVERIFY(f.status().startsWith(u"おしまいです。"_s));
    }
    // The second click puts the length back to 100 without asking.
    QTest::mouseClick(f.window->CheckBox1, Qt::LeftButton);
    QCOMPARE(drill().DrillLength, 100);
    QCOMPARE(f.window->Edit7->text(), u"100"_s);
    QCOMPARE(drill().LengthChosen, false);
    QVERIFY(!f.window->CheckBox1->isChecked());
}

void TestDrillWindow::notAWholeNumberIsReportedAndChangesNothing()
{
    f.chooseKind(1);
    start();
    setLength(u"2.5"_s);
    QCOMPARE(f.errors, QStringList { u"'2.5' は整数ではありません"_s });
    QCOMPARE(drill().DrillLength, 100);
    QCOMPARE(drill().LengthChosen, false);
    QVERIFY(!f.window->CheckBox1->isChecked());
    QCOMPARE(f.window->Edit7->text(), u"100"_s);
    QCOMPARE(WindowFixture::focused(), f.window->entryBox(drill().AnswerField));
}

void TestDrillWindow::statusColoursAcrossStartEndAndKind()
{
    // Item 0 is already chosen at start-up; clicking it again changes nothing.
    QTest::mouseClick(f.window->findChild<QRadioButton *>(u"RadioGroup1Item0"_s), Qt::LeftButton);
    QCOMPARE(f.status(), u"問題を選んでスタートボタンをおしてね！"_s);
    f.chooseKind(2);
    QCOMPARE(f.status(), u"スタートボタンをおしてね！"_s);
    setLength(u"1"_s);
    start();
    QCOMPARE(f.status(), u"答を入れてリターンキー"_s);
    QCOMPARE(f.statusColour(), QColor(0, 128, 0));
    WindowFixture::answer(f.answerText());
    QCOMPARE(f.status(), u"おしまいです。100点でした。"_s);
    QCOMPARE(f.statusColour(), QColor(255, 0, 0));
    f.chooseKind(4);
    QCOMPARE(f.status(), u"スタートボタンをおしてね！"_s);
    QCOMPARE(f.statusColour(), QColor(255, 0, 0));
    start();
    QCOMPARE(f.statusColour(), QColor(0, 128, 0));
    QCOMPARE(f.window->Edit8->text(), u"1"_s);
    QCOMPARE(f.window->Edit9->text(), u"0"_s);
}

void TestDrillWindow::startWhileNextIsOfferedBeginsAgain()
{
    f.chooseKind(5);
    start();
    WindowFixture::answer(f.answerText());
    reveal();
    QCOMPARE(f.window->Button2->text(), u"次に進む"_s);
    start();
    QCOMPARE(f.window->Button2->text(), u"せいかいを見る"_s);
    QCOMPARE(drill().CurrentNo, 1);
    QCOMPARE(drill().AnswerShown, false);
    QCOMPARE(f.window->Edit8->text(), u"1"_s);
}

void TestDrillWindow::kindStaysAsChosenAfterTheEnd()
{
    f.chooseKind(6);
    setLength(u"1"_s);
    start();
    WindowFixture::answer(f.answerText());
    QVERIFY(f.status().startsWith(u"おしまいです。"_s));
    QCOMPARE(int(drill().ProblemKind), 6);
    start();
    // Kind 6 hides an amount or a percentage, never a ratio.
    QVERIFY(drill().AnswerField == Box(1) || drill().AnswerField == Box(3)
            || drill().AnswerField == Box(4) || drill().AnswerField == Box(6));
    QCOMPARE(WindowFixture::baseOf(f.window->Edit2), QColor(0xC0, 0xC0, 0xC0));
}

void TestDrillWindow::aBoxFullOfJunkIsJudgedWrong()
{
    // Which texts are not numbers is the number texts' table; here 100,000 characters of it.
    const QString typed(100000, u'x');
    f.chooseKind(1);
    start();
    QLineEdit *box = f.window->entryBox(drill().AnswerField);
    box->setMaxLength(1 << 20);
    box->setText(typed);
    WindowFixture::press(Qt::Key_End);
    WindowFixture::enter();
    QCOMPARE(f.status(), u"ちがうよ！"_s);
    QCOMPARE(drill().CurrentNo, 1);
    QCOMPARE(f.window->Edit9->text(), u"0"_s);
    // And the pupil can go on at once with the right answer.
    WindowFixture::answer(f.answerText());
    QCOMPARE(drill().CurrentNo, 2);
}

// 図で考える, or F1 from the answer box, shows the panel below the layout without taking the
// focus or typing; the panel follows the problem in its steps (the picture, the formula after a
// wrong answer, the answer), ends with the last problem finished, and a click on the switch
// leaves what the pupil typed and selected as it was; hidden, the window is as ever.
void TestDrillWindow::theDiagramShowsTheProblemOnTheScreen()
{
    TForm1 &w = *f.window;
    QCOMPARE(w.size(), QSize(624, 462));
    QVERIFY(!w.diagramPanel->isVisible());
    QCOMPARE(w.diagramSwitch->accessibleName(), u"図で考える"_s);
    QCOMPARE(w.diagramPanel->accessibleName(), u"関係図"_s);
    const auto described = [](const ProblemRow &row, DiagramStep step) {
        return relationDiagramDescription(relationDiagramOf(row, Kind::AmountsToRatio, step));
    };
    f.chooseKind(1);
    setLength(u"3"_s);
    QTest::mouseClick(w.diagramSwitch, Qt::LeftButton);
    QVERIFY(w.diagramPanel->isVisible());
    QCOMPARE(w.diagramPanel->accessibleDescription(),
             relationDiagramDescription(diagramBeforeStart()));
    QTest::mouseClick(w.diagramSwitch, Qt::LeftButton);
    QVERIFY(!w.diagramPanel->isVisible());
    start();
    QLineEdit *box = w.entryBox(drill().AnswerField);
    WindowFixture::press(Qt::Key_F1);
    QVERIFY(w.diagramPanel->isVisible());
    QVERIFY(w.diagramSwitch->isChecked());
    QCOMPARE(w.height(), 462 + w.diagramPanel->height() + 8);
    QCOMPARE(WindowFixture::focused(), box);
    QCOMPARE(box->text(), u"？"_s);
    const ProblemRow first = drill().problemRow();
    QCOMPARE(w.diagramPanel->accessibleDescription(), described(first, DiagramStep::Picture));

    WindowFixture::type(u"0.4"_s);
    QTest::mouseClick(w.diagramSwitch, Qt::LeftButton);
    QVERIFY(!w.diagramPanel->isVisible());
    QTest::mouseClick(w.diagramSwitch, Qt::LeftButton);
    QVERIFY(w.diagramPanel->isVisible());
    WindowFixture::type(u"3"_s);
    QCOMPARE(box->text(), u"0.43"_s);
    box->setSelection(3, -2);
    QTest::mouseClick(w.diagramSwitch, Qt::LeftButton);
    QCOMPARE(WindowFixture::focused(), box);
    QCOMPARE(box->selectedText(), u".4"_s);
    QCOMPARE(box->cursorPosition(), 1);
    QTest::mouseClick(w.diagramSwitch, Qt::LeftButton);

    WindowFixture::answer(u"1234"_s);
    QCOMPARE(f.status(), u"ちがうよ！"_s);
    QCOMPARE(w.diagramPanel->accessibleDescription(), described(first, DiagramStep::Formula));
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    QCOMPARE(w.diagramPanel->accessibleDescription(), described(first, DiagramStep::Finished));
    // Shown it stays, problem after problem, and the drill's last answer leaves its problem
    // finished there. The next problem's picture is made while the window idles: what comes
    // on the screen is still that problem's.
    const auto pictureOf = [](const QImage &like, const ProblemRow &row) {
        return pictureLike(like,
                           relationDiagramOf(row, Kind::AmountsToRatio, DiagramStep::Picture));
    };
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QTest::mouseClick(w.Button2, Qt::LeftButton);
    const ProblemRow second = drill().problemRow();
    QCOMPARE(w.diagramPanel->accessibleDescription(), described(second, DiagramStep::Picture));
    const QImage painted(w.diagramPanel->grab().toImage().convertToFormat(QImage::Format_RGB32));
    QCOMPARE(painted, pictureOf(painted, second));
    // The third comes from one foreseen picture to the next: what the screen itself holds
    // must be that problem's picture.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    WindowFixture::answer(f.answerText());
    QCoreApplication::processEvents();
    const ProblemRow last = drill().problemRow();
    const QImage screen = panelOnScreen(w);
    QCOMPARE(screen, pictureOf(screen, last));
    WindowFixture::answer(f.answerText());
    QCOMPARE(f.status(), u"おしまいです。66点でした。"_s);
    QCOMPARE(w.diagramPanel->accessibleDescription(), described(last, DiagramStep::Finished));
    WindowFixture::press(Qt::Key_F1);
    QVERIFY(!w.diagramPanel->isVisible());
    QCOMPARE(w.size(), QSize(624, 462));
}

// The panel copies only where two pictures differ: a picture painted over its predecessor
// there alone must be the picture painted whole, from problem to problem and step to step.
void TestDrillWindow::theDiagramRepaintsOnlyWhatChanged_data()
{
    QTest::addColumn<int>("kind");
    for (int kind = 1; kind <= 10; ++kind)
        QTest::addRow("kind %d", kind) << kind;
}

void TestDrillWindow::theDiagramRepaintsOnlyWhatChanged()
{
    QFETCH(int, kind);
    ProblemTableData table;
    RandomGenerator rng;
    rng.seed = std::uint32_t(kind) * 7919u;
    makeProblemTable(table, Kind(kind), rng);
    const auto paintedOver = [](QImage picture, const RelationDiagram &diagram,
                                const QList<QRect> &where) {
        QPainter painter(&picture);
        paintRelationDiagramOver(painter, diagram, where);
        return picture;
    };
    QImage blank(DiagramWidth, DiagramHeight, QImage::Format_RGB32);
    blank.fill(Qt::magenta);
    RelationDiagram shown = diagramBeforeStart();
    QImage screen = pictureLike(blank, shown);
    for (int no = 1; no <= 30; ++no) {
        for (const DiagramStep step :
             { DiagramStep::Picture, DiagramStep::Formula, DiagramStep::Finished }) {
            const RelationDiagram next = relationDiagramOf(table[no], Kind(kind), step);
            screen = paintedOver(screen, next, relationDiagramChanges(shown, next));
            if (screen != pictureLike(blank, next))
                QFAIL(qPrintable(u"problem %1, step %2"_s.arg(no).arg(int(step))));
            shown = next;
        }
    }
    // Through the window, where each picture aside is painted over the one before the last
    // (kind 10 judges no answer, so it has no next picture to take).
    if (kind == 10)
        return;
    TForm1 &w = *f.window;
    f.chooseKind(kind);
    start();
    WindowFixture::press(Qt::Key_F1);
    for (int answered = 0; answered < 4; ++answered) {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        const QImage screen = panelOnScreen(w);
        const QImage picture = pictureLike(screen, w.diagramPanel->diagram());
        QCOMPARE(screen, picture);
        // Painted whole again, as when uncovered: the picture aside is whole too.
        w.diagramPanel->repaint();
        QCOMPARE(panelOnScreen(w), picture);
        const QStringList buai = kind == 9 ? f.buaiAnswer() : QStringList();
        if (buai.isEmpty())
            WindowFixture::answer(f.answerText());
        else
            answerBuai(buai[0], buai[1], buai[2]);
    }
}

QTEST_MAIN(TestDrillWindow)
#include "tst_drill_window.moc"
