// Shared by the window tests: a real window offscreen, keys sent as a pupil types them, and a
// recorder in place of the pictures and sounds.
#pragma once

#include "app/form1.h"
#include "app/message_boxes.h"
#include "app/startup.h"
#include "drill/drill.h"
#include "media/feedback_media.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

class RecordingFeedback : public Feedback
{
public:
    void ShowPicture(const QString &fileName) override { calls << u"picture "_s + fileName; }
    void PlaySound(const QString &fileName) override { calls << u"sound "_s + fileName; }
    QStringList take() { return std::exchange(calls, {}); }
    QStringList calls;
};

// The window's error reports are real message boxes; this one reads each as it is shown and
// closes it at once, as a pupil would with its OK button, unless a test answers them itself.
class ReportReader : public QObject
{
public:
    QStringList texts;
    bool reading = true;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (reading && box && event->type() == QEvent::Show && box->icon() == QMessageBox::Critical
            && box->windowTitle() == u"Tovemi"_s) {
            texts << box->text();
            QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
        }
        return false;
    }
};

// The window under test, while one is open.
inline TForm1 *openWindow = nullptr;

// The drill of the window under test.
inline Drill &drill()
{
    return openWindow->drill();
}

struct WindowFixture
{
    std::unique_ptr<TForm1> window;
    RecordingFeedback media;
    ReportReader reports;
    QStringList &errors = reports.texts;

    void open()
    {
        errors.clear();
        reports.reading = true;
        qApp->installEventFilter(&reports);
        window = std::make_unique<TForm1>();
        openWindow = window.get();
        window->setFeedback(&media);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        media.take();
    }
    void close()
    {
        openWindow = nullptr;
        window.reset();
        qApp->removeEventFilter(&reports);
    }

    // The widget that gets the keys: the application's focus, or the window's own while a
    // dialog that just closed has not handed activation back yet.
    static QWidget *focused()
    {
        if (QWidget *widget = QApplication::focusWidget())
            return widget;
        return openWindow ? openWindow->focusWidget() : nullptr;
    }
    static QString focusedName() { return focused() ? focused()->objectName() : QString(); }

    // Keys go where the focus is, as they do for a pupil: the press to the box that has the
    // focus, the release to the one that has it when the key is let go, which after an Enter
    // that moved on is the next box.
    static void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyPress(focused(), key, mods);
        QTest::keyRelease(focused(), key, mods);
    }
    static void type(const QString &text)
    {
        for (QChar c : text) {
            QTest::keyPress(focused(), c.toLatin1());
            QTest::keyRelease(focused(), c.toLatin1());
        }
    }
    static void enter() { press(Qt::Key_Return); }
    // Replace the focused box's text (its text is selected on entry) and press Enter.
    static void answer(const QString &text)
    {
        if (auto *box = qobject_cast<QLineEdit *>(focused()))
            box->selectAll();
        bool ascii = true;
        for (QChar c : text)
            ascii = ascii && c.unicode() < 0x7F;
        if (text.isEmpty())
            press(Qt::Key_Backspace);
        else if (ascii)
            type(text);
        else if (auto *box = qobject_cast<QLineEdit *>(focused()))
            box->insert(text); // what an input method commits
        press(Qt::Key_Right); // a key released in the box, as after typing
        enter();
    }
    // Kind 1..10 chosen by a click on its item, as a pupil chooses it.
    void chooseKind(int kind) const
    {
        auto *item = window->findChild<QRadioButton *>(u"RadioGroup1Item%1"_s.arg(kind - 1));
        if (!item->isChecked())
            QTest::mouseClick(item, Qt::LeftButton);
        QCOMPARE(int(drill().ProblemKind), kind);
    }
    // The answer as a pupil would type it, worked out from the row without the program's number
    // texts: of the problem on the screen, or of problem `no` of a drill of the whole set.
    static QString answerText(int no = 0)
    {
        const ProblemRow row = drill().ProblemTable.rowAt(no ? no : drill().rowOfProblem());
        if (drill().ProblemKind == Kind(10))
            return QString::asprintf("%.3f", row.ComparedRatio);
        for (int field = 1; field <= 6; ++field) {
            if (row.field(field) < 0)
                return QString::asprintf("%.2f", -row.field(field));
        }
        return QString();
    }
    // The wari, bu and rin digits of the buai kinds' ratio, in whole thousandths.
    static QStringList buaiAnswer()
    {
        const long t = std::lround(drill().ProblemTable[drill().CurrentNo].ComparedRatio * 1000);
        return { QString::number(t / 100), QString::number(t / 10 % 10), QString::number(t % 10) };
    }
    QString status() const { return window->Edit10->text(); }
    QColor statusColour() const { return window->Edit10->palette().color(QPalette::Text); }
    static QColor baseOf(QLineEdit *box) { return box->palette().color(QPalette::Base); }
};

inline void initWindowTests()
{
    QApplication *app = qApp;
    prepareApplication(*app);
    QLocale::setDefault(QLocale::c());
}
