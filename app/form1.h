// The main window: its controls, their layout, and the handlers that drive a drill.
//
// Tovemi has one window and one drill. The rules live in drill/ (the table of kinds, the problem
// set, judging, and the Drill with its steps), display/ (what each box shows, number texts) and
// print/ (the worksheet page). TForm1 owns its Drill and the controls (laid out from one table,
// form1.cpp) and turns each Qt event into the handler named after its control (Button1Click,
// RadioGroup1Click, ..., drill_controls.cpp), which is a short sequence of steps: read a box,
// ask the drill, write texts, show a picture, play a sound, move the focus. Every key comes in
// one way: the application's KeyClassifier (key_classifier.h) tells a press, a repeat and a
// release apart and hands each to takeKey, which hands a box's key to Drill::key and shows the
// step it returns (act). Pictures and sounds go through one Feedback object (media/), so a test
// can record them.
#pragma once

#include "display/relation_diagram.h"
#include "drill/drill.h"

#include <QWidget>

#include <cstdint>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Feedback;
class MediaPlayer;
class WorksheetPrinter;
class RelationDiagramView;
struct KeyStroke;

class TForm1 : public QWidget
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // Pictures and sounds go here; a test may put a recorder in (not owned).
    void setFeedback(Feedback *feedback);
    Feedback *feedback() const { return m_feedback; }

    // The drill on the screen.
    Drill &drill() { return m_drill; }
    // The box of the window that a drill's box is.
    QLineEdit *entryBox(Box box) const;

    // Handlers, named after their controls.
    void FormCreate();
    void RadioGroup1Click();
    void CheckBox1Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void BitBtn1Click();
    // Private routines of the drill, public so that the print click and tests reach them.
    void MakeProblems();
    void ShowProblem();
    void FocusAnswerField(Box box);
    void FinishDrill();

    // Controls, named as in the window's layout; those added since are named in Qt's way.
    QFrame *Panel1 = nullptr, *Panel2 = nullptr, *Panel3 = nullptr, *Panel4 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr,
           *Label9 = nullptr, *Label10 = nullptr, *Label12 = nullptr, *Label13 = nullptr,
           *Label14 = nullptr, *Label15 = nullptr;
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr,
              *Edit5 = nullptr, *Edit6 = nullptr, *Edit7 = nullptr, *Edit8 = nullptr,
              *Edit9 = nullptr, *Edit10 = nullptr, *Edit11 = nullptr, *Edit12 = nullptr,
              *Edit13 = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr, *BitBtn1 = nullptr;
    // Shown after a drill with missed problems, to do just those again.
    QPushButton *reviewButton = nullptr;
    QGroupBox *RadioGroup1 = nullptr;
    QButtonGroup *RadioGroup1Items = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    // 図で考える and the panel it shows below the layout: the problem's quantities on number
    // lines, or its buai place values, and the formula for the hidden quantity.
    QCheckBox *diagramSwitch = nullptr;
    RelationDiagramView *diagramPanel = nullptr;
    QLabel *Image1 = nullptr;
    // Over the foot of Image1: a picture or sound could not be used, and a box will say which.
    QLabel *mediaNote = nullptr;
    MediaPlayer *MediaPlayer1 = nullptr;
    // The printer and its set-up dialog's choices, kept from one print to the next; made at
    // the first print, since start-up should not wait for the print system.
    std::unique_ptr<WorksheetPrinter> PrinterSetupDialog1;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void reviewButtonClicked();
    // The print click's steps after each of its questions.
    void confirmPrinting();
    void printWorksheetSets();
    // The tick's step after the length is asked for.
    void chooseDrillLength(bool accepted, QString typed);
    void createControls();
    void createKindChoice();
    void createPictures();
    void createDiagram();
    void showDiagram(bool shown);
    // The picture of a problem, drawn when the panel is shown.
    void setDiagram(const ProblemRow &row, DiagramStep step);
    // The same problem's picture a step on; never back.
    void advanceDiagram(DiagramStep step);
    void setNoDiagram();
    void drawDiagram();
    void setTabOrder();

    // Every key of the application, once, where it was first delivered; true swallows it.
    bool takeKey(QWidget *target, const KeyStroke &stroke);
    // What a step of the drill shows, in its order.
    void act(const DrillStep &step);

    // The focus to the answer box, which says its question as it takes it.
    QLineEdit *takeAnswerFocus(Box answerField);
    void selectAnswer(Box answerField);
    void setAnswerShown(bool shown);
    // Said now through the focused control, then and what waited to be said with it.
    void sayNow(const QString &text);
    void showMascot(const QString &prompt);
    void setStatus(const QString &text);
    void setStatusColour(const QColor &colour);
    void setBoxColour(QLineEdit *box, const QColor &colour);

    // A picture or sound that cannot be used is reported in a box, but never during a drill:
    // the pupil types straight on, and a box would take the rest of the keys. It is noted at
    // once in mediaNote, and the box comes at スタート, at the drill's end, or after a button's
    // action when no drill runs.
    void noteMediaReport(const QString &text);
    void showMediaReportsSoon();
    void showMediaReports();

    Drill m_drill;
    // What a screen reader says with each box of the problem on the screen, and what it says
    // next, before the question of the box the focus comes to: a verdict.
    std::array<std::optional<QString>, 9> m_questions {};
    QString m_saying;
    QLabel *m_announcer = nullptr;
    Feedback *m_feedback = nullptr;
    std::unique_ptr<Feedback> m_ownFeedback;
    QStringList m_mediaReports;
    bool m_mediaReportsDue = false;
    bool m_painted = false;
    struct DiagramSubject
    {
        bool problem = false; // no problem is on the screen before スタート
        ProblemRow row;
        Kind kind = Kind::AmountsToRatio;
        DiagramStep step = DiagramStep::Picture;

        friend bool operator==(const DiagramSubject &, const DiagramSubject &) = default;
    } m_diagram;
    std::optional<DiagramSubject> m_foreseenDiagram;
};
