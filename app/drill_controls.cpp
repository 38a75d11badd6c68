// The handlers of a drill: each asks the drill's rules (drill/drill_flow.h) what a click or a
// key does, then shows it: texts, colours, pictures, sounds and the focus.
#include "app/form1.h"

#include "app/key_classifier.h"
#include "app/kind_choice_keys.h"
#include "app/message_boxes.h"
#include "display/number_text.h"
#include "display/problem_display.h"
#include "drill/drill_flow.h"
#include "drill/drill_state.h"
#include "drill/problem_set.h"
#include "media/feedback_media.h"
#include "media/media_files.h"
#include "media/sound_player.h"

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

BoxKey boxKeyOf(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return BoxKey::Enter;
    case Qt::Key_Shift:
        return BoxKey::Shift;
    default:
        return BoxKey::Other;
    }
}

// The nine boxes that act on Enter and their handlers, by code.
struct EntryBox
{
    int code;
    QLineEdit *TForm1::*box;
    void (TForm1::*keyDown)(BoxKey);
    void (TForm1::*keyUp)();
};
const EntryBox EntryBoxes[] = {
    { 1, &TForm1::Edit1, &TForm1::Edit1KeyDown, &TForm1::Edit1KeyUp },
    { 2, &TForm1::Edit2, &TForm1::Edit2KeyDown, &TForm1::Edit2KeyUp },
    { 3, &TForm1::Edit3, &TForm1::Edit3KeyDown, &TForm1::Edit3KeyUp },
    { 4, &TForm1::Edit4, &TForm1::Edit4KeyDown, &TForm1::Edit4KeyUp },
    { 5, &TForm1::Edit5, &TForm1::Edit5KeyDown, &TForm1::Edit5KeyUp },
    { 6, &TForm1::Edit6, &TForm1::Edit6KeyDown, &TForm1::Edit6KeyUp },
    { 11, &TForm1::Edit11, &TForm1::Edit11KeyDown, &TForm1::Edit11KeyUp },
    { 12, &TForm1::Edit12, &TForm1::Edit12KeyDown, &TForm1::Edit12KeyUp },
    { 13, &TForm1::Edit13, &TForm1::Edit13KeyDown, &TForm1::Edit13KeyUp },
};

const EntryBox *entryOf(int code)
{
    for (const EntryBox &entry : EntryBoxes) {
        if (entry.code == code)
            return &entry;
    }
    return nullptr;
}

} // namespace

// ---- The problem set and the boxes -------------------------------------------------------

void TForm1::MakeProblems()
{
    MakeProblemsState();
    ReviewButton->hide();
    for (int code : EntryBoxCodes)
        entryBox(code)->clear();
    setNoDiagram();
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
    setDiagram(ProblemTable.rowAt(RowOfProblem(DrillState)), false);
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
    m_feedback->ShowPicture(mediaFileName(MediaUse::Mascot));
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
    if (!DrillState.LengthChosen) {
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
            CheckBox1->setChecked(DrillState.LengthChosen);
            FocusAnswerField(DrillState.AnswerField);
            return;
        }
        ChooseDrillLength(DrillState, *length);
    } else {
        ChooseDrillLength(DrillState, std::nullopt);
    }
    Edit7->setText(QString::number(DrillState.DrillLength));
    FocusAnswerField(DrillState.AnswerField);
}

void TForm1::setAnswerShown(bool shown)
{
    DrillState.AnswerShown = shown;
    if (!shown) {
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
    setAnswerShown(false);
    MakeProblems();
    StartDrill(DrillState);
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
    const ProblemRow row = ProblemTable.rowAt(RowOfProblem(DrillState));
    const BuaiDigits buai { DrillState.BuaiWari, DrillState.BuaiBu, DrillState.BuaiRin };
    const RevealStep step = RevealOrNext(DrillState);
    if (step.nextProblem) {
        setAnswerShown(false);
        ShowProblem();
        return;
    }
    const auto texts = RevealTexts(row, DrillState.ProblemKind, buai);
    for (std::size_t i = 0; i < EntryBoxCodes.size(); ++i) {
        if (texts[i])
            entryBox(EntryBoxCodes[i])->setText(*texts[i]);
    }
    setDiagram(row, true);
    if (step.finished)
        FinishDrill();
    setAnswerShown(true);
    if (step.mascotPrompt)
        showMascot(*step.mascotPrompt);
}

void TForm1::ReviewButtonClick()
{
    ReviewButton->hide();
    if (!StartReview(DrillState))
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
    const bool missed = EndDrill(DrillState);
    // A review's end brings back the pupil's length, perhaps chosen during the review.
    Edit7->setText(QString::number(DrillState.DrillLength));
    Edit9->setText(QString::number(DrillState.RatePercent));
    setStatusColour(Red);
    setStatus(ScoreText(DrillState.RatePercent));
    DrillState.resetToResting();
    setAnswerShown(false);
    ReviewButton->setVisible(missed);
    // The kind stays as the pupil chose it, so it always matches the selected item.
    showMediaReportsSoon();
}

// ---- Keys ------------------------------------------------------------------------------

QLineEdit *TForm1::entryBox(int code) const
{
    const EntryBox *entry = entryOf(code);
    return entry ? this->*entry->box : nullptr;
}

bool TForm1::takeKey(QWidget *target, const KeyStroke &stroke)
{
    if (target->window() != this)
        return false;
    const bool down = stroke.phase != KeyStroke::Phase::Release;
    const int key = stroke.key;
    // F1 shows and hides the diagram from anywhere in the window, and types nothing.
    if (key == Qt::Key_F1) {
        if (stroke.phase == KeyStroke::Phase::Press)
            DiagramSwitch->toggle();
        return true;
    }
    const bool arrow =
            key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right;
    if (auto *item = qobject_cast<QAbstractButton *>(target);
        arrow && item && item->group() == RadioGroup1Items) {
        // Qt's own arrows go by the items' positions and stop at a column's end; each move here
        // checks the item, so the group reports a choice.
        const int from = RadioGroup1Items->id(item);
        const int to = KindItemAfterKey(from, key);
        if (QAbstractButton *next = RadioGroup1Items->button(to); down && next && to != from) {
            next->setFocus(Qt::OtherFocusReason);
            next->setChecked(true);
        }
        return down;
    }
    const auto entry = std::find_if(std::begin(EntryBoxes), std::end(EntryBoxes),
                                    [&](const EntryBox &e) { return this->*e.box == target; });
    if (entry == std::end(EntryBoxes))
        return false;
    if (!down) {
        (this->*entry->keyUp)();
        return false;
    }
    if (stroke.retractsRelease)
        RetractBoxKeyUp(DrillState, BoxCode(entry->code));
    // The pupil is typing an answer: the sound output, asleep after a silence, wakes now, to be
    // ready by its Enter.
    if (stroke.phase == KeyStroke::Phase::Press && boxKeyOf(key) != BoxKey::Enter)
        MediaPlayer1->connectOutput();
    (this->*entry->keyDown)(boxKeyOf(stroke.key));
    // The box still gets the key, after the handler has seen it.
    return false;
}

void TForm1::Edit1KeyDown(BoxKey key)
{
    AnswerKeyDown(1, key);
}
void TForm1::Edit2KeyDown(BoxKey key)
{
    AnswerKeyDown(2, key);
}
void TForm1::Edit3KeyDown(BoxKey key)
{
    AnswerKeyDown(3, key);
}
void TForm1::Edit4KeyDown(BoxKey key)
{
    AnswerKeyDown(4, key);
}
void TForm1::Edit5KeyDown(BoxKey key)
{
    AnswerKeyDown(5, key);
}
void TForm1::Edit6KeyDown(BoxKey key)
{
    AnswerKeyDown(6, key);
}
void TForm1::Edit11KeyDown(BoxKey key)
{
    BuaiKeyDown(11, key);
}
void TForm1::Edit12KeyDown(BoxKey key)
{
    BuaiKeyDown(12, key);
}
void TForm1::Edit13KeyDown(BoxKey key)
{
    BuaiKeyDown(13, key);
}
void TForm1::Edit1KeyUp()
{
    BoxKeyUp(DrillState, BoxCode::BaseAmount);
}
void TForm1::Edit2KeyUp()
{
    BoxKeyUp(DrillState, BoxCode::BaseRatio);
}
void TForm1::Edit3KeyUp()
{
    BoxKeyUp(DrillState, BoxCode::BasePercent);
}
void TForm1::Edit4KeyUp()
{
    BoxKeyUp(DrillState, BoxCode::ComparedAmount);
}
void TForm1::Edit5KeyUp()
{
    BoxKeyUp(DrillState, BoxCode::ComparedRatio);
}
void TForm1::Edit6KeyUp()
{
    BoxKeyUp(DrillState, BoxCode::ComparedPercent);
}
void TForm1::Edit11KeyUp()
{
    BoxKeyUp(DrillState, BoxCode::Wari);
}
void TForm1::Edit12KeyUp()
{
    BoxKeyUp(DrillState, BoxCode::Bu);
}
void TForm1::Edit13KeyUp()
{
    BoxKeyUp(DrillState, BoxCode::Rin);
}

// Only an Enter reads what is typed: the other keys judge nothing.
void TForm1::AnswerKeyDown(int code, BoxKey key)
{
    const double typed = key == BoxKey::Enter ? ReadNumber(entryBox(code)->text()) : 0.0;
    act(AnswerBoxKey(DrillState, code, key, typed));
}

void TForm1::BuaiKeyDown(int code, BoxKey key)
{
    const double typed = key == BoxKey::Enter ? ReadNumber(entryBox(code)->text()) : 0.0;
    act(BuaiBoxKey(DrillState, code, key, typed));
}
void TForm1::act(const DrillStep &step)
{
    if (step.pip)
        m_feedback->PlaySound(mediaFileName(MediaUse::Pip));
    if (step.mascotPrompt)
        showMascot(*step.mascotPrompt);
    if (step.verdict == Verdict::Right) {
        setStatus(u"せいかいです"_s);
        m_feedback->ShowPicture(mediaFileName(MediaUse::RightPicture));
        m_feedback->PlaySound(mediaFileName(MediaUse::RightSound));
    } else if (step.verdict == Verdict::Wrong) {
        setStatus(u"ちがうよ！"_s);
        m_feedback->ShowPicture(mediaFileName(MediaUse::WrongPicture));
        m_feedback->PlaySound(mediaFileName(MediaUse::WrongSound));
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
