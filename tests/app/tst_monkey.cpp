// A monkey on the real window: many random keys and clicks from a printed seed, and after every
// one the invariants that must always hold. A failure names the seed and the event to replay:
//   TOVEMI_MONKEY_SEED=<seed> TOVEMI_MONKEY_EVENTS=<n> tst_monkey
#include "window_fixture.h"

#include <QRegularExpression>

#include "drill/problem_set.h"
#include "monkey_hooks.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QInputDialog>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>

#include <set>

namespace {

const QColor Grey(0xC0, 0xC0, 0xC0);

// Which of Edit2, Edit3, Edit5, Edit6, Edit11..13 are grey, by kind (from the kinds' meaning:
// ratio kinds use ratios, percentage kinds percentages, buai kinds the buai boxes).
QString greyBoxesOf(int kind)
{
    if (kind <= 3)
        return u"-G-GGGG"_s;
    if (kind <= 6)
        return u"G-G-GGG"_s;
    if (kind <= 8)
        return u"----GGG"_s;
    return u"---G---"_s;
}

QString junkText(QRandomGenerator &rng)
{
    static const QString pieces[] = {
        u"1"_s,         u"0"_s,  u"."_s, u"-"_s,      u"+"_s, u"e"_s,  u" "_s,
        u"５"_s,        u"．"_s, u"x"_s, u"\u3000"_s, u"😀"_s, u"\t"_s, u"999999999999"_s,
        u"2147483648"_s
    };
    QString text;
    const int n = int(rng.bounded(6));
    for (int i = 0; i < n; ++i)
        text += pieces[rng.bounded(int(std::size(pieces)))];
    return text;
}

} // namespace

namespace {

// The status line shows only the program's own texts, whatever the monkey does.
bool IsProgramStatusText(const QString &text)
{
    static const QStringList Fixed = {
        u"問題を選んでスタートボタンをおしてね！"_s,
        u"スタートボタンをおしてね！"_s,
        u"答を入れてリターンキー"_s,
        u"答を入れてリターンキーで「厘」へ。"_s,
        u"答を入れてリターンキーで判定。"_s,
        u"答を入れてリターンキーで「分」へ。"_s,
        u"答を入れてリターンキー。"_s,
        u"せいかいです"_s,
        u"ちがうよ！"_s,
        u"次の問題をやるボタンをおしてね。"_s,
        u"印刷中です"_s,
    };
    if (Fixed.contains(text))
        return true;
    static const QRegularExpression End(u"^おしまいです。[0-9]+点でした。$"_s);
    return End.match(text).hasMatch();
}

} // namespace

class TestMonkey : public QObject
{
    Q_OBJECT
    WindowFixture f;
    QRandomGenerator rng;
    quint32 seed = 0;
    int eventNo = 0;
    ProblemTableData snapshot;
    int shownKind = 0;

    QString where() const { return u"seed %1, event %2"_s.arg(seed).arg(eventNo); }

    void answerInputBoxLater()
    {
        const int choice = int(rng.bounded(4));
        const QString text =
                choice == 0 ? QString::number(int(rng.bounded(250)) - 50) : junkText(rng);
        WhenModalOpens([choice, text](QWidget *modal) {
            auto *dialog = qobject_cast<QInputDialog *>(modal);
            if (!dialog)
                return;
            if (choice == 3) {
                dialog->reject();
            } else {
                dialog->setTextValue(text);
                dialog->accept();
            }
        });
    }

    QLineEdit *someBox()
    {
        if (rng.bounded(4) != 0) {
            if (auto *box = qobject_cast<QLineEdit *>(WindowFixture::focused()))
                return box;
        }
        return f.window->entryBox(Boxes[std::size_t(rng.bounded(int(Boxes.size())))]);
    }

    void key(QWidget *box, QEvent::Type type, Qt::Key k, const QString &text, bool repeat)
    {
        QKeyEvent event(type, k, Qt::NoModifier, text, repeat);
        event.setTimestamp(quint64(eventNo));
        QApplication::sendEvent(box, &event);
    }

    enum class Effect { None, Key, Button2, Rebuilt, Started };

    // Where the release of a key goes: the box that has the focus by then.
    QWidget *releaseTarget(QWidget *pressed) const
    {
        QWidget *now = WindowFixture::focused();
        return qobject_cast<QLineEdit *>(now) ? now : pressed;
    }

    Effect randomEvent()
    {
        TForm1 &w = *f.window;
        const int kind = int(rng.bounded(100));
        if (kind < 55) {
            QLineEdit *box = someBox();
            static const Qt::Key digits[] = { Qt::Key_0, Qt::Key_1, Qt::Key_2,     Qt::Key_5,
                                              Qt::Key_7, Qt::Key_9, Qt::Key_Period };
            const Qt::Key k = digits[rng.bounded(int(std::size(digits)))];
            const QString text { QChar(char16_t(k)) };
            key(box, QEvent::KeyPress, k, text, false);
            if (rng.bounded(5) != 0)
                key(releaseTarget(box), QEvent::KeyRelease, k, text, false);
        } else if (kind < 75) {
            QLineEdit *box = someBox();
            const bool repeat = rng.bounded(3) == 0;
            key(box, QEvent::KeyPress, Qt::Key_Return, u"\r"_s, repeat);
            if (rng.bounded(3) != 0)
                key(releaseTarget(box), QEvent::KeyRelease, Qt::Key_Return, u"\r"_s, repeat);
        } else if (kind < 78) {
            QLineEdit *box = someBox();
            key(box, QEvent::KeyPress, Qt::Key_Shift, QString(), rng.bounded(2) == 0);
            key(releaseTarget(box), QEvent::KeyRelease, Qt::Key_Shift, QString(), false);
        } else if (kind < 81) {
            QLineEdit *box = someBox();
            key(box, QEvent::KeyPress, Qt::Key_Backspace, QString(), false);
            key(releaseTarget(box), QEvent::KeyRelease, Qt::Key_Backspace, QString(), false);
        } else if (kind < 85) {
            // What an input method commits: full-width digits, junk, emoji.
            someBox()->insert(junkText(rng));
            return Effect::None;
        } else if (kind < 90) {
            w.Button1->click();
            return Effect::Started;
        } else if (kind < 95) {
            w.Button2->click();
            return Effect::Button2;
        } else if (kind < 98) {
            auto *item = w.findChild<QRadioButton *>(u"RadioGroup1Item%1"_s.arg(rng.bounded(10)));
            const bool changes = !item->isChecked();
            item->click();
            return changes ? Effect::Rebuilt : Effect::None;
        } else if (kind < 99) {
            answerInputBoxLater();
            w.CheckBox1->click();
            return Effect::None;
        } else {
            return MonkeyPrint(w, rng) ? Effect::Rebuilt : Effect::None;
        }
        return Effect::Key;
    }

    void checkTable(bool rebuilt)
    {
        if (!rebuilt) {
            for (int i = 1; i <= ProblemCount; ++i) {
                for (int field = 1; field <= 6; ++field)
                    QVERIFY2(drill().ProblemTable[i].field(field) == snapshot[i].field(field),
                             qPrintable(u"table changed without a rebuild: "_s + where()));
            }
            return;
        }
        snapshot = drill().ProblemTable;
        if (drill().ProblemTable[1].BaseAmount == 0)
            return;
        std::set<int> bases;
        for (const ProblemRow &row : drill().ProblemTable.rows)
            bases.insert(int(std::abs(row.BaseAmount)));
        QVERIFY2(bases.size() == 100, qPrintable(where()));
    }

    void checkInvariants(bool rebuilt)
    {
        TForm1 &w = *f.window;
        const Drill &s = drill();
        const QString at = where();
        QVERIFY2(s.CurrentNo >= 1 && s.CurrentNo <= 100, qPrintable(at));
        QVERIFY2(s.DrillLength >= 1 && s.DrillLength <= 100, qPrintable(at));
        QVERIFY2(s.RatePercent >= 0 && s.RatePercent <= 100, qPrintable(at));
        QVERIFY2(s.CorrectCount >= 0 && s.CorrectCount <= s.CurrentNo, qPrintable(at));
        QVERIFY2(int(s.ProblemKind) == w.RadioGroup1Items->checkedId() + 1, qPrintable(at));
        QVERIFY2(IsProgramStatusText(w.Edit10->text()),
                 qPrintable(at + u" status "_s + w.Edit10->text()));
        const QString caption = s.AnswerShown == 0 ? u"せいかいを見る"_s : u"次に進む"_s;
        QVERIFY2(w.Button2->text() == caption, qPrintable(at));
        QVERIFY2(w.CheckBox1->isChecked() == (s.LengthChosen != 0), qPrintable(at));
        QVERIFY2(!s.WorksheetPrinting, qPrintable(at));
        if (shownKind != 0) {
            const QString grey = greyBoxesOf(shownKind);
            const int codes[] = { 2, 3, 5, 6, 11, 12, 13 };
            for (int i = 0; i < 7; ++i) {
                const bool isGrey = WindowFixture::baseOf(w.entryBox(Box(codes[i]))) == Grey;
                QVERIFY2(isGrey == (grey[i] == u'G'), qPrintable(at + u" box colours"_s));
            }
        }
        checkTable(rebuilt);
    }

private Q_SLOTS:
    void initTestCase()
    {
        initWindowTests();
        bool ok = false;
        seed = qEnvironmentVariable("TOVEMI_MONKEY_SEED").toUInt(&ok);
        if (!ok)
            seed = QRandomGenerator::system()->generate();
        rng.seed(seed);
        qInfo("monkey seed %u", seed);
        f.open();
        MonkeyPrepare(*f.window);
        snapshot = drill().ProblemTable;
    }
    void cleanupTestCase() { f.close(); }

    void randomEventsKeepTheInvariants()
    {
        bool ok = false;
        int events = qEnvironmentVariableIntValue("TOVEMI_MONKEY_EVENTS", &ok);
        if (!ok)
            events = 100000;
        for (eventNo = 1; eventNo <= events; ++eventNo) {
            const std::int32_t shownBefore = drill().AnswerShown;
            const std::int32_t numberBefore = drill().CurrentNo;
            const Effect effect = randomEvent();
            // The problem display colours the boxes: Start, "next", and a right answer that
            // moves on show a problem of the kind chosen then.
            const bool shown = effect == Effect::Started
                    || (effect == Effect::Button2 && shownBefore != 0)
                    || (effect == Effect::Key && drill().CurrentNo == numberBefore + 1);
            if (shown)
                shownKind = int(drill().ProblemKind);
            checkInvariants(effect == Effect::Rebuilt || effect == Effect::Started);
            if (QTest::currentTestFailed())
                return;
            if (eventNo % 64 == 0)
                QCoreApplication::processEvents();
        }
        qInfo("%d events, %d errors reported", events, int(f.errors.size()));
    }
};

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
