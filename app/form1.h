// The main window: its controls, their layout, and the handlers that drive a drill.
//
// Tovemi has one window and one drill. The rules live in drill/ (problem set, judging, the
// steps of a drill), display/ (what each box shows, number texts) and print/ (the worksheet
// page); the state they share is the program-wide DrillState and ProblemTable
// (drill/drill_state.h). TForm1 owns the controls (laid out from one table, form1.cpp) and
// turns each Qt event into the handler named after its control (Button1Click, Edit4KeyDown,
// ..., drill_controls.cpp), which is a short sequence of steps: read a box, ask the core, write
// texts, show a picture, play a sound, move the focus. Pictures and sounds go through one
// Feedback object (media/), so a test can record them.
#pragma once

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
class HeldKeyRepeat;
struct DrillStep;

class TForm1 : public QWidget
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // Pictures and sounds go here; a test may put a recorder in (not owned).
    void setFeedback(Feedback *feedback);
    Feedback *feedback() const { return m_feedback; }

    // The nine boxes that act on Enter, by their codes (EntryBoxCodes); null for another code.
    QLineEdit *entryBox(int code) const;

    // Virtual-key codes of the keys the handlers look at; every other key is some other code.
    static constexpr quint16 KeyEnter = 13;
    static constexpr quint16 KeyShift = 16;

    // Handlers, named after their controls.
    void FormCreate();
    void RadioGroup1Click();
    void CheckBox1Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void BitBtn1Click();
    void ReviewButtonClick();
    void Edit1KeyDown(quint16 key);
    void Edit2KeyDown(quint16 key);
    void Edit3KeyDown(quint16 key);
    void Edit4KeyDown(quint16 key);
    void Edit5KeyDown(quint16 key);
    void Edit6KeyDown(quint16 key);
    void Edit11KeyDown(quint16 key);
    void Edit12KeyDown(quint16 key);
    void Edit13KeyDown(quint16 key);
    void Edit1KeyUp(quint16 key);
    void Edit2KeyUp(quint16 key);
    void Edit3KeyUp(quint16 key);
    void Edit4KeyUp(quint16 key);
    void Edit5KeyUp(quint16 key);
    void Edit6KeyUp(quint16 key);
    void Edit11KeyUp(quint16 key);
    void Edit12KeyUp(quint16 key);
    void Edit13KeyUp(quint16 key);

    // Private routines of the drill, public so that the print click and tests reach them.
    void MakeProblems();
    void ShowProblem();
    void FocusAnswerField(int code);
    void FinishDrill();

    // Controls, named as in the window's layout.
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
    QPushButton *ReviewButton = nullptr;
    QGroupBox *RadioGroup1 = nullptr;
    QButtonGroup *RadioGroup1Items = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QLabel *Image1 = nullptr;
    MediaPlayer *MediaPlayer1 = nullptr;
    // The printer and its set-up dialog's choices, kept from one print to the next; made at
    // the first print, since start-up should not wait for the print system.
    std::unique_ptr<WorksheetPrinter> PrinterSetupDialog1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createKindChoice();
    void createPictures();
    void setTabOrder();

    // The key-downs of the quantity boxes and of the buai boxes, and what a step then shows.
    void AnswerKeyDown(int code, quint16 key);
    void BuaiKeyDown(int code, quint16 key);
    void act(const DrillStep &step);
    void keyDown(int code, quint16 key);
    void repeatShift();

    void setAnswerShown(std::int32_t shown);
    void showMascot(const QString &prompt);
    void setStatus(const QString &text);
    void setStatusColour(const QColor &colour);
    void setBoxColour(QLineEdit *box, const QColor &colour);

    // A picture or sound that cannot be used is reported in a box, but never while the pupil
    // is typing an answer: the box would take the rest of the answer's keys. The reports wait
    // until the answer's Enter has been let go, or a button's action has ended.
    void showMediaReportsSoon();
    void showMediaReports();
    void connectSoundOnFirstInput(QEvent *event);

    Feedback *m_feedback = nullptr;
    HeldKeyRepeat *m_heldShift = nullptr;
    std::unique_ptr<Feedback> m_ownFeedback;
    QStringList m_mediaReports;
    bool m_mediaReportsDue = false;
    bool m_soundConnecting = false;

    // A held key under X may arrive as a release and a press with the same timestamp, neither
    // marked as a repeat; the press then undoes what the release armed.
    struct LastRelease
    {
        int code = 0;
        int key = 0;
        quint64 timestamp = 0;
        std::int32_t armedBefore = 0;
        bool valid = false;
    } m_lastRelease;
};

// The one window, reachable from every routine of the program.
extern TForm1 *Form1;
