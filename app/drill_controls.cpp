// The handlers of a drill: each asks the drill (drill/drill.h) what a click or a
// key does, then shows it: texts, colours, pictures, sounds and the focus.
#include "app/form1.h"

#include "app/accessibility.h"
#include "app/key_classifier.h"
#include "app/message_boxes.h"
#include "display/number_text.h"
#include "display/problem_display.h"
#include "drill/drill.h"
#include "media/feedback_media.h"
#include "media/media_files.h"
#include "media/sound_player.h"

#include <QApplication>
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

// The window's box for each of the drill's, in the drill's order (Boxes).
QLineEdit *TForm1::*const EntryBoxes[] = {
    &TForm1::Edit1, &TForm1::Edit2,  &TForm1::Edit3,  &TForm1::Edit4,  &TForm1::Edit5,
    &TForm1::Edit6, &TForm1::Edit11, &TForm1::Edit12, &TForm1::Edit13,
};
static_assert(std::size(EntryBoxes) == Boxes.size());

} // namespace

// ---- The problem set and the boxes -------------------------------------------------------

void TForm1::MakeProblems()
{
    m_drill.makeProblems();
    reviewButton->hide();
    for (Box box : Boxes)
        entryBox(box)->clear();
    setNoDiagram();
    setStatus(u"スタートボタンをおしてね！"_s);
}

void TForm1::ShowProblem()
{
    const ProblemView view = viewOfProblem(m_drill.problemRow(), m_drill.ProblemKind);
    beginProblem(view, m_drill);
    m_questions = questionsOf(view);
    // The focus comes to the answer box before its text changes: a screen reader that hears of
    // the text of a box about to take the focus takes it for focused already, and then never
    // reads the box's name and question.
    takeAnswerFocus(m_drill.AnswerField);
    for (std::size_t i = 0; i < Boxes.size(); ++i) {
        QLineEdit *box = entryBox(Boxes[i]);
        if (Boxes[i] != m_drill.AnswerField)
            box->setAccessibleDescription(m_questions[i].value_or(QString()));
        if (view.colour[i] != BoxColour::Unchanged)
            setBoxColour(box, view.colour[i] == BoxColour::Grey ? Grey : White);
        if (view.text[i])
            box->setText(*view.text[i]);
    }
    Edit7->setText(QString::number(m_drill.DrillLength));
    Edit8->setText(QString::number(m_drill.CurrentNo));
    Edit9->setText(QString::number(m_drill.RatePercent));
    setDiagram(m_drill.problemRow(), DiagramStep::Picture);
    // The focus came above; taking it again here would put back the bare question while a
    // screen reader is still to fetch the description with the verdict.
    selectAnswer(m_drill.AnswerField);
}

void TForm1::FocusAnswerField(Box answerField)
{
    takeAnswerFocus(answerField);
    selectAnswer(answerField);
}

void TForm1::selectAnswer(Box answerField)
{
    // Qt selects the text only when focus comes by Tab; the pupil's first key must replace "？".
    entryBox(answerField)->selectAll();
    if (const auto prompt = promptFor(answerField))
        setStatus(*prompt);
}

QLineEdit *TForm1::takeAnswerFocus(Box answerField)
{
    // The box says what it asks, after whatever waited to be said: a screen reader reads it with
    // the box's name as the focus comes, or at once when the box has the focus already. The
    // focus is never moved away and back to select the text anew, which a screen reader would
    // announce as two moves.
    QLineEdit *box = entryBox(answerField);
    const QString question = m_questions[boxIndex(answerField)].value_or(QString());
    const QString said = (m_saying.isEmpty() ? QString() : m_saying + u' ') + question;
    if (!box->hasFocus())
        box->setAccessibleDescription(said);
    else if (!m_saying.isEmpty())
        announce(m_announcer, said);
    if (box->hasFocus())
        box->setAccessibleDescription(question);
    m_saying.clear();
    box->setFocus(Qt::OtherFocusReason);
    return box;
}

void TForm1::showMascot(const QString &prompt)
{
    m_feedback->ShowPicture(mediaFileName(MediaUse::Mascot));
    setStatus(prompt);
}

// ---- The drill controls ------------------------------------------------------------------

void TForm1::RadioGroup1Click()
{
    m_drill.ProblemKind = Kind(RadioGroup1Items->checkedId() + 1);
    MakeProblems();
}

void TForm1::CheckBox1Click()
{
    if (m_drill.LengthChosen) {
        m_drill.chooseDrillLength(std::nullopt);
        Edit7->setText(QString::number(m_drill.DrillLength));
        FocusAnswerField(m_drill.AnswerField);
        return;
    }
    auto *input = new QInputDialog(this);
    input->setWindowTitle(u"問題数を決めます"_s);
    input->setLabelText(u"何問やりますか？(100以下)"_s);
    input->setTextValue(u"10"_s);
    ask(input, [this, input](int result) {
        chooseDrillLength(result == QDialog::Accepted, input->textValue());
    });
}

void TForm1::chooseDrillLength(bool accepted, QString typed)
{
    if (!accepted)
        typed = u"10"_s;
    const std::optional<std::int32_t> length = drillLengthOf(typed);
    if (!length) {
        ReportError(u"'%1' は整数ではありません"_s.arg(typed));
        // The click ends as if it had not happened: the tick goes back to the length kept.
        CheckBox1->setChecked(m_drill.LengthChosen);
        FocusAnswerField(m_drill.AnswerField);
        return;
    }
    m_drill.chooseDrillLength(*length);
    Edit7->setText(QString::number(m_drill.DrillLength));
    FocusAnswerField(m_drill.AnswerField);
}

void TForm1::setAnswerShown(bool shown)
{
    m_drill.AnswerShown = shown;
    if (!shown) {
        Button2->setText(u"せいかいを見る"_s);
        Button2->setToolTip(u"正解を出します"_s);
    } else {
        Button2->setText(u"次に進む"_s);
        Button2->setToolTip(u"次の問題にすすみます"_s);
    }
    Button2->setAccessibleName(Button2->text());
    if (!shown)
        Button2->setAccessibleDescription(QString()); // its hint again, not the last answer
}

void TForm1::sayNow(const QString &text)
{
    const QString said = m_saying.isEmpty() ? text : m_saying + u' ' + text;
    m_saying.clear();
    announce(m_announcer, said);
}

void TForm1::Button1Click()
{
    setAnswerShown(false);
    MakeProblems();
    m_drill.startDrill();
    setStatusColour(Green);
    setStatus(u"答を入れてリターンキー"_s);
    ShowProblem();
    // Every file is tried now, so that what is broken is said in one box before the first
    // answer is typed, and the first use of each is instant.
    m_mediaReports << m_feedback->checkFiles(mediaFileNames());
    showMediaReportsSoon();
}

void TForm1::Button2Click()
{
    const ProblemRow row = m_drill.problemRow();
    const BuaiDigits buai { m_drill.BuaiWari, m_drill.BuaiBu, m_drill.BuaiRin };
    const RevealStep step = m_drill.revealOrNext();
    if (step.nextProblem) {
        setAnswerShown(false);
        ShowProblem();
        return;
    }
    const auto texts = revealTexts(row, m_drill.ProblemKind, buai);
    for (std::size_t i = 0; i < Boxes.size(); ++i) {
        if (texts[i])
            entryBox(Boxes[i])->setText(*texts[i]);
    }
    setDiagram(row, DiagramStep::Finished);
    if (step.finished)
        FinishDrill();
    setAnswerShown(true);
    QStringList answers;
    for (std::size_t i = 0; i < Boxes.size(); ++i) {
        if (texts[i])
            answers << boxName(Boxes[i]) + u"は "_s + texts[i]->trimmed();
    }
    sayNow(answers.join(u"、"_s) + (step.finished ? u"。"_s + Edit10->text() : QString()));
    if (step.mascotPrompt)
        showMascot(*step.mascotPrompt);
}

void TForm1::reviewButtonClicked()
{
    reviewButton->hide();
    if (!m_drill.startReview())
        return;
    setAnswerShown(false);
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
    const bool missed = m_drill.endDrill();
    // A review's end brings back the pupil's length, perhaps chosen during the review.
    Edit7->setText(QString::number(m_drill.DrillLength));
    Edit9->setText(QString::number(m_drill.RatePercent));
    setStatusColour(Red);
    setStatus(scoreText(m_drill.RatePercent));
    m_drill.resetToResting();
    setAnswerShown(false);
    reviewButton->setVisible(missed);
    // The kind stays as the pupil chose it, so it always matches the selected item.
    showMediaReportsSoon();
}

// ---- Keys ------------------------------------------------------------------------------

QLineEdit *TForm1::entryBox(Box box) const
{
    return this->*EntryBoxes[boxIndex(box)];
}

bool TForm1::takeKey(QWidget *target, const KeyStroke &stroke)
{
    if (target->window() != this)
        return false;
    const bool down = stroke.phase != KeyPhase::Release;
    // F1 shows and hides the diagram from anywhere in the window, and types nothing.
    if (stroke.key == Qt::Key_F1) {
        if (stroke.phase == KeyPhase::Press)
            diagramSwitch->toggle();
        return true;
    }
    if (auto *item = qobject_cast<QAbstractButton *>(target);
        stroke.arrow && item && item->group() == RadioGroup1Items) {
        // Qt's own arrows go by the items' positions and stop at a column's end; each move here
        // checks the item, so the group reports a choice.
        const Kind from = Kind(RadioGroup1Items->id(item) + 1);
        const Kind to = kindAfterArrow(from, *stroke.arrow);
        if (QAbstractButton *next = RadioGroup1Items->button(int(to) - 1); down && to != from) {
            next->setFocus(Qt::OtherFocusReason);
            next->setChecked(true);
        }
        return down;
    }
    const auto entry = std::find_if(std::begin(EntryBoxes), std::end(EntryBoxes),
                                    [&](QLineEdit *TForm1::*box) { return this->*box == target; });
    if (entry == std::end(EntryBoxes))
        return false;
    const Box box = Boxes[std::size_t(entry - std::begin(EntryBoxes))];
    // The pupil is typing an answer: the sound output, asleep after a silence, wakes now, to be
    // ready by its Enter.
    if (stroke.phase == KeyPhase::Press && stroke.boxKey != BoxKey::Enter)
        MediaPlayer1->connectOutput();
    // Only an Enter reads what is typed: the other keys judge nothing.
    const double typed =
            down && stroke.boxKey == BoxKey::Enter ? ReadNumber(entryBox(box)->text()) : 0.0;
    act(m_drill.key(box, stroke.phase, stroke.boxKey, typed));
    // The box still gets the key, after the handler has seen it.
    return false;
}

void TForm1::act(const DrillStep &step)
{
    if (step.pip)
        m_feedback->PlaySound(mediaFileName(MediaUse::Pip));
    if (step.mascotPrompt)
        showMascot(*step.mascotPrompt);
    if (step.verdict != Verdict::None)
        m_saying = step.verdict == Verdict::Right ? u"せいかいです。"_s : u"ちがうよ！"_s;
    // The sound first: it is what the pupil waits for, and a picture may take its time.
    if (step.verdict == Verdict::Right) {
        setStatus(u"せいかいです"_s);
        m_feedback->PlaySound(mediaFileName(MediaUse::RightSound));
        m_feedback->ShowPicture(mediaFileName(MediaUse::RightPicture));
    } else if (step.verdict == Verdict::Wrong) {
        setStatus(u"ちがうよ！"_s);
        m_feedback->PlaySound(mediaFileName(MediaUse::WrongSound));
        m_feedback->ShowPicture(mediaFileName(MediaUse::WrongPicture));
    }
    // A wrong answer brings the formula in words; the drill's last answer leaves its problem
    // finished on the panel.
    if (step.verdict == Verdict::Wrong)
        advanceDiagram(diagramStepOf(!m_drill.FirstTry, false));
    if (step.finished)
        advanceDiagram(DiagramStep::Finished);
    if (step.verdict != Verdict::None && !step.finished) {
        Edit8->setText(QString::number(m_drill.CurrentNo));
        Edit9->setText(QString::number(m_drill.RatePercent));
    }
    if (step.finished)
        FinishDrill();
    else if (step.nextProblem)
        ShowProblem();
    if (step.focusBox)
        FocusAnswerField(*step.focusBox);
    // The score, or a verdict no box has said yet.
    if (step.finished)
        sayNow(Edit10->text());
    else if (!m_saying.isEmpty())
        sayNow(QString());
}
