// The handlers of a drill: each asks the drill's rules (drill/drill_flow.h) what a click or a
// key does, then shows it: texts, colours, pictures, sounds and the focus.
#include "app/form1.h"

#include "app/message_boxes.h"
#include "display/number_text.h"
#include "display/problem_display.h"
#include "drill/drill_flow.h"
#include "drill/drill_state.h"
#include "drill/problem_set.h"
#include "media/feedback_media.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QColor Grey(0xC0, 0xC0, 0xC0);
const QColor White(0xFF, 0xFF, 0xFF);
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);

BoxKey boxKeyOf(quint16 key)
{
    return key == TForm1::KeyEnter    ? BoxKey::Enter
            : key == TForm1::KeyShift ? BoxKey::Shift
                                      : BoxKey::Other;
}

} // namespace

// ---- The problem set and the boxes -------------------------------------------------------

void TForm1::MakeProblems()
{
    MakeProblemsState();
    ReviewButton->hide();
    for (int code : EntryBoxCodes)
        entryBox(code)->clear();
    setStatus(u"スタートボタンをおしてね！"_s);
}

void TForm1::ShowProblem()
{
    const ProblemView view =
            ViewOfProblem(ProblemTable.rowAt(RowOfProblem(DrillState)), DrillState.ProblemKind);
    BeginProblem(view, DrillState);
    for (std::size_t i = 0; i < EntryBoxCodes.size(); ++i) {
        QLineEdit *box = entryBox(EntryBoxCodes[i]);
        if (view.colour[i] != BoxColour::Unchanged)
            setBoxColour(box, view.colour[i] == BoxColour::Grey ? Grey : White);
        if (view.text[i])
            box->setText(*view.text[i]);
    }
    Edit7->setText(QString::number(DrillState.DrillLength));
    Edit8->setText(QString::number(DrillState.CurrentNo));
    Edit9->setText(QString::number(DrillState.RatePercent));
    FocusAnswerField(DrillState.AnswerField);
}

void TForm1::FocusAnswerField(int code)
{
    // Passing through Edit7 makes the answer box take the focus anew even when it had it.
    Edit7->setFocus(Qt::OtherFocusReason);
    QLineEdit *box = entryBox(code);
    if (!box)
        return;
    box->setFocus(Qt::OtherFocusReason);
    // Qt selects the text only when focus comes by Tab; the pupil's first key must replace "？".
    box->selectAll();
    if (const auto prompt = PromptFor(code))
        setStatus(*prompt);
}

void TForm1::showMascot(const QString &prompt)
{
    m_feedback->ShowPicture(u"mascot.bmp"_s);
    setStatus(prompt);
}

// ---- The drill controls ------------------------------------------------------------------

void TForm1::RadioGroup1Click()
{
    DrillState.ProblemKind = RadioGroup1Items->checkedId() + 1;
    MakeProblems();
}

void TForm1::CheckBox1Click()
{
    if (DrillState.LengthChosen == False) {
        bool accepted = false;
        QString typed =
                QInputDialog::getText(this, u"問題数を決めます"_s, u"何問やりますか？(100以下)"_s,
                                      QLineEdit::Normal, u"10"_s, &accepted);
        if (!accepted)
            typed = u"10"_s;
        const std::optional<std::int32_t> length = DrillLengthOf(typed);
        if (!length) {
            ReportError(u"'%1' は整数ではありません"_s.arg(typed));
            // The click ends as if it had not happened: the tick goes back to the length kept.
            CheckBox1->setChecked(DrillState.LengthChosen != False);
            FocusAnswerField(DrillState.AnswerField);
            return;
        }
        DrillState.DrillLength = *length;
        DrillState.LengthChosen = True;
    } else {
        DrillState.DrillLength = ProblemCount;
        DrillState.LengthChosen = False;
    }
    Edit7->setText(QString::number(DrillState.DrillLength));
    FocusAnswerField(DrillState.AnswerField);
}

void TForm1::setAnswerShown(std::int32_t shown)
{
    DrillState.AnswerShown = shown;
    if (shown == False) {
        Button2->setText(u"せいかいを見る"_s);
        Button2->setToolTip(u"正解を出します"_s);
    } else {
        Button2->setText(u"次に進む"_s);
        Button2->setToolTip(u"次の問題にすすみます"_s);
    }
    Button2->setAccessibleName(Button2->text());
}

void TForm1::Button1Click()
{
    setAnswerShown(False);
    MakeProblems();
    StartDrill(DrillState);
    setStatusColour(Green);
    setStatus(u"答を入れてリターンキー"_s);
    ShowProblem();
    // Every file is tried now, so that what is broken is said in one box before the first
    // answer is typed, and the first use of each is instant.
    static const QStringList MediaFiles = { u"mascot.bmp"_s, u"maru1.bmp"_s, u"batu1.bmp"_s,
                                            u"maru1.wav"_s,  u"batu1.wav"_s, u"p.wav"_s };
    m_mediaReports << m_feedback->CheckFiles(MediaFiles);
    showMediaReportsSoon();
}

void TForm1::Button2Click()
{
    const ProblemRow row = ProblemTable.rowAt(RowOfProblem(DrillState));
    const BuaiDigits buai { DrillState.BuaiWari, DrillState.BuaiBu, DrillState.BuaiRin };
    const RevealStep step = RevealOrNext(DrillState);
    if (step.nextProblem) {
        setAnswerShown(False);
        ShowProblem();
        return;
    }
    const auto texts = RevealTexts(row, DrillState.ProblemKind, buai);
    for (std::size_t i = 0; i < EntryBoxCodes.size(); ++i) {
        if (texts[i])
            entryBox(EntryBoxCodes[i])->setText(*texts[i]);
    }
    if (step.finished)
        FinishDrill();
    setAnswerShown(True);
    if (step.mascotPrompt)
        showMascot(*step.mascotPrompt);
}

void TForm1::ReviewButtonClick()
{
    ReviewButton->hide();
    if (!StartReview(DrillState))
        return;
    setAnswerShown(False);
    setStatusColour(Green);
    setStatus(u"答を入れてリターンキー"_s);
    ShowProblem();
}

void TForm1::Button3Click()
{
    close();
}

void TForm1::FinishDrill()
{
    const bool missed = EndDrill(DrillState);
    Edit9->setText(QString::number(DrillState.RatePercent));
    setStatusColour(Red);
    setStatus(ScoreText(DrillState.RatePercent));
    DrillState.resetToResting();
    setAnswerShown(False);
    ReviewButton->setVisible(missed);
    // The kind stays as the pupil chose it, so it always matches the selected item.
}

// ---- Keys in the answer boxes ------------------------------------------------------------

void TForm1::Edit1KeyDown(quint16 key)
{
    AnswerKeyDown(1, key);
}
void TForm1::Edit2KeyDown(quint16 key)
{
    AnswerKeyDown(2, key);
}
void TForm1::Edit3KeyDown(quint16 key)
{
    AnswerKeyDown(3, key);
}
void TForm1::Edit4KeyDown(quint16 key)
{
    AnswerKeyDown(4, key);
}
void TForm1::Edit5KeyDown(quint16 key)
{
    AnswerKeyDown(5, key);
}
void TForm1::Edit6KeyDown(quint16 key)
{
    AnswerKeyDown(6, key);
}
void TForm1::Edit11KeyDown(quint16 key)
{
    BuaiKeyDown(11, key);
}
void TForm1::Edit12KeyDown(quint16 key)
{
    BuaiKeyDown(12, key);
}
void TForm1::Edit13KeyDown(quint16 key)
{
    BuaiKeyDown(13, key);
}
// A key let go arms its box: only then does its next Enter judge.
void TForm1::Edit1KeyUp(quint16)
{
    DrillState.keyArmed(1) = True;
}
void TForm1::Edit2KeyUp(quint16)
{
    DrillState.keyArmed(2) = True;
}
void TForm1::Edit3KeyUp(quint16)
{
    DrillState.keyArmed(3) = True;
}
void TForm1::Edit4KeyUp(quint16)
{
    DrillState.keyArmed(4) = True;
}
void TForm1::Edit5KeyUp(quint16)
{
    DrillState.keyArmed(5) = True;
}
void TForm1::Edit6KeyUp(quint16)
{
    DrillState.keyArmed(6) = True;
}
void TForm1::Edit11KeyUp(quint16)
{
    DrillState.keyArmed(11) = True;
}
void TForm1::Edit12KeyUp(quint16)
{
    DrillState.keyArmed(12) = True;
}
void TForm1::Edit13KeyUp(quint16)
{
    DrillState.keyArmed(13) = True;
}

// Only an Enter reads what is typed: the other keys judge nothing.
void TForm1::AnswerKeyDown(int code, quint16 key)
{
    const double typed = key == KeyEnter ? ReadNumber(entryBox(code)->text()) : 0.0;
    act(AnswerBoxKey(DrillState, code, boxKeyOf(key), typed));
}

void TForm1::BuaiKeyDown(int code, quint16 key)
{
    const double typed = key == KeyEnter ? ReadNumber(entryBox(code)->text()) : 0.0;
    act(BuaiBoxKey(DrillState, code, boxKeyOf(key), typed));
}

void TForm1::act(const DrillStep &step)
{
    if (step.pip)
        m_feedback->PlaySound(u"p.wav"_s);
    if (step.mascotPrompt)
        showMascot(*step.mascotPrompt);
    if (step.verdict == Verdict::Right) {
        setStatus(u"せいかいです"_s);
        m_feedback->ShowPicture(u"maru1.bmp"_s);
        m_feedback->PlaySound(u"maru1.wav"_s);
    } else if (step.verdict == Verdict::Wrong) {
        setStatus(u"ちがうよ！"_s);
        m_feedback->ShowPicture(u"batu1.bmp"_s);
        m_feedback->PlaySound(u"batu1.wav"_s);
    }
    if (step.verdict != Verdict::None && !step.finished) {
        Edit8->setText(QString::number(DrillState.CurrentNo));
        Edit9->setText(QString::number(DrillState.RatePercent));
    }
    if (step.finished)
        FinishDrill();
    else if (step.nextProblem)
        ShowProblem();
    if (step.focusBox)
        FocusAnswerField(*step.focusBox);
}
