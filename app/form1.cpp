#include "app/form1.h"

#include "app/button_keys.h"
#include "app/focus_return.h"
#include "app/key_repeat.h"
#include "app/kind_choice_keys.h"
#include "app/layout_palette.h"
#include "app/report_error.h"
#include "display/number_text.h"
#include "display/problem_display.h"
#include "drill/drill_state.h"
#include "drill/judging.h"
#include "drill/problem_set.h"
#include "media/feedback_media.h"
#include "media/sound_player.h"
#include "devices/worksheet_printer.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolTip>

#include <charconv>
#include <limits>

using namespace Qt::StringLiterals;

TForm1 *Form1 = nullptr;

// The window's pictures live in a static library, whose resources must be pulled in by name.
static void initResources()
{
    Q_INIT_RESOURCE(tovemi);
}

namespace {

// The two faces of the window; the program maps them to installed fonts at start-up.
const QString FixedFace = u"ＭＳ ゴシック"_s;
const QString ProportionalFace = u"ＭＳ Ｐゴシック"_s;

struct FontSpec
{
    bool fixed;
    int pixels; // character height
    bool bold = false;
};

QFont fontOf(FontSpec face)
{
    // Asked for by the installed face's name: a name the font database does not know first
    // sends each font through fontconfig's fallback search, several milliseconds of start-up.
    QFont font(QFont::substitute(face.fixed ? FixedFace : ProportionalFace));
    font.setPixelSize(face.pixels);
    font.setBold(face.bold);
    font.setStyleHint(face.fixed ? QFont::Monospace : QFont::SansSerif);
    // Hinting snaps the close strokes of kanji such as 量 into one dark bar at these sizes, and
    // it is the costliest part of loading each glyph at start-up.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

const QColor Grey(0xC0, 0xC0, 0xC0);
const QColor White(0xFF, 0xFF, 0xFF);
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);
const QColor Teal(0, 128, 128);
const QColor Aqua(0, 255, 255);

// Hints appear after 100 ms, sooner than Qt's default, so a pupil sees them while pointing.
class HintStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay)
            return 100;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Virtual-key codes of the keys the handlers look at; every other key is some other code.
constexpr quint16 KeyEnter = 13;
constexpr quint16 KeyShift = 16;

quint16 keyCodeOf(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return KeyEnter;
    case Qt::Key_Shift:
        return KeyShift;
    default:
        // Letters and digits keep their ASCII codes; nothing else may alias Enter or Shift.
        if (event->key() >= 0x20 && event->key() <= 0x7E)
            return static_cast<quint16>(event->key());
        return 0;
    }
}

// The drill length as a teacher or pupil types it: blanks around it and full-width digits
// are fine. Too large or too small numbers are whole numbers all the same and are clamped.
std::optional<std::int32_t> wholeNumberOf(const QString &typed)
{
    std::string ascii;
    for (QChar c : typed) {
        char16_t u = c.unicode();
        if (u >= u'０' && u <= u'９')
            u = static_cast<char16_t>(u - u'０' + u'0');
        else if (u == u'＋')
            u = u'+';
        else if (u == u'－')
            u = u'-';
        else if (u == u'\u3000')
            u = u' ';
        if (u > 0x7F)
            return std::nullopt;
        ascii.push_back(static_cast<char>(u));
    }
    const auto first = ascii.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    ascii = ascii.substr(first, ascii.find_last_not_of(' ') - first + 1);
    const bool negative = ascii.front() == '-';
    const char *begin = ascii.data() + ((negative || ascii.front() == '+') ? 1 : 0);
    const char *end = ascii.data() + ascii.size();
    if (begin == end || *begin == '-' || *begin == '+')
        return std::nullopt;
    std::int64_t value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ptr != end)
        return std::nullopt;
    if (ec == std::errc::result_out_of_range || value > std::numeric_limits<std::int32_t>::max())
        return negative ? std::numeric_limits<std::int32_t>::min()
                        : std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace

TForm1::TForm1(QWidget *parent)
    : QWidget(parent)
{
    initResources();
    Form1 = this;
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Tovemi Ver 2.00 R2"_s);
    // The window shows the application's bird: an icon of its own would be sent to the X
    // server after the application's had already been, replacing every size but 32 pixels.
    setFont(fontOf({ false, 12 }));
    setPalette(LayoutPalette());
    // Positions are the layout's own pixels; Qt's high-density scaling scales them as a whole.
    move(7, 11);
    resize(624, 462);

    createPanels();
    createBoxes();
    createCounters();
    createButtons();
    createKindChoice();
    createPictures();
    setTabOrder();

    qApp->installEventFilter(this);
    m_ownFeedback = std::make_unique<MediaFeedback>(
        Image1, MediaPlayer1, [this](const QString &text) { queueMediaReport(text); });
    m_feedback = m_ownFeedback.get();
    qApp->installEventFilter(new ButtonKeys(this));
    qApp->installEventFilter(new FocusReturn(this));
    m_heldShift = new HeldKeyRepeat([this] { repeatShift(); }, this);
    FormCreate();
}

TForm1::~TForm1()
{
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::setFeedback(Feedback *feedback)
{
    m_feedback = feedback ? feedback : m_ownFeedback.get();
}

namespace {

QFrame *makePanel(QWidget *parent, const QString &name, QRect rect)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(rect);
    return panel;
}

QLabel *makeLabel(QWidget *parent, const QString &name, QRect rect, const QString &text,
                  FontSpec font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(rect);
    label->setFont(fontOf(font));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

QLineEdit *makeBox(QWidget *parent, const QString &name, QRect rect, FontSpec font,
                   const QString &accessibleName, bool readOnly = false)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(rect);
    box->setFont(fontOf(font));
    box->setAccessibleName(accessibleName);
    // No design text: it would never be seen, and laying it out loads each box's glyphs at
    // start-up instead of when the box first shows a number.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, White);
    box->setPalette(palette);
    if (readOnly) {
        box->setReadOnly(true);
        // No tab stop, but the program can still focus it.
        box->setFocusPolicy(Qt::ClickFocus);
    } else {
        // Numbers only: an input method that honours the hint switches to half-width.
        box->setInputMethodHints(Qt::ImhFormattedNumbersOnly | Qt::ImhPreferLatin);
    }
    return box;
}

QPushButton *makeButton(QWidget *parent, const QString &name, QRect rect, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(rect);
    button->setAccessibleName(caption);
    button->setAutoDefault(false);
    return button;
}

} // namespace

void TForm1::createPanels()
{
    Panel1 = makePanel(this, u"Panel1"_s, { 112, 136, 217, 257 });
    Panel2 = makePanel(this, u"Panel2"_s, { 352, 136, 257, 313 });
    Panel3 = makePanel(this, u"Panel3"_s, { 16, 8, 593, 81 });
    Panel4 = makePanel(this, u"Panel4"_s, { 8, 104, 97, 97 });
}

void TForm1::createBoxes()
{
    const FontSpec labelFont { true, 21, true };
    const FontSpec boxFont { true, 32 };
    Label1 = makeLabel(Panel1, u"Label1"_s, { 8, 16, 133, 21 }, u"もとにする量"_s, labelFont);
    Edit1 = makeBox(Panel1, u"Edit1"_s, { 24, 40, 177, 41 }, boxFont, Label1->text());
    Label2 = makeLabel(Panel1, u"Label2"_s, { 8, 96, 199, 21 }, u"もとにする量の割合"_s, labelFont);
    Edit2 = makeBox(Panel1, u"Edit2"_s, { 24, 120, 177, 41 }, boxFont, Label2->text());
    Label3 = makeLabel(Panel1, u"Label3"_s, { 8, 176, 177, 21 }, u"もとにする量の％"_s, labelFont);
    Edit3 = makeBox(Panel1, u"Edit3"_s, { 24, 200, 177, 41 }, boxFont, Label3->text());

    Label4 = makeLabel(Panel2, u"Label4"_s, { 8, 8, 155, 21 }, u"くらべられる量"_s, labelFont);
    Edit4 = makeBox(Panel2, u"Edit4"_s, { 32, 32, 185, 41 }, boxFont, Label4->text());
    Label5 = makeLabel(Panel2, u"Label5"_s, { 8, 88, 221, 21 }, u"くらべられる量の割合"_s, labelFont);
    Edit5 = makeBox(Panel2, u"Edit5"_s, { 32, 112, 185, 41 }, boxFont, Label5->text());
    Label6 = makeLabel(Panel2, u"Label6"_s, { 8, 168, 199, 21 }, u"くらべられる量の％"_s, labelFont);
    Edit6 = makeBox(Panel2, u"Edit6"_s, { 32, 192, 185, 41 }, boxFont, Label6->text());

    const FontSpec buaiBoxFont { true, 24 };
    const FontSpec unitFont { true, 19, true };
    Label12 = makeLabel(Panel2, u"Label12"_s, { 80, 264, 21, 19 }, u"割"_s, unitFont);
    Edit11 = makeBox(Panel2, u"Edit11"_s, { 8, 248, 65, 32 }, buaiBoxFont, Label12->text());
    Label13 = makeLabel(Panel2, u"Label13"_s, { 152, 262, 21, 19 }, u"分"_s, unitFont);
    Edit12 = makeBox(Panel2, u"Edit12"_s, { 104, 248, 49, 32 }, buaiBoxFont, Label13->text());
    Label14 = makeLabel(Panel2, u"Label14"_s, { 224, 262, 21, 19 }, u"厘"_s, unitFont);
    Edit13 = makeBox(Panel2, u"Edit13"_s, { 176, 248, 49, 32 }, buaiBoxFont, Label14->text());
    Label15 = makeLabel(Panel2, u"Label15"_s, { 48, 296, 144, 12 }, u"☆歩合は shift で前にもどる"_s,
                        { false, 12 });

    for (int code : EntryBoxCodes)
        entryBox(code)->installEventFilter(this);
}

void TForm1::createCounters()
{
    const FontSpec counterFont { true, 15 };
    const FontSpec counterLabelFont { true, 15, true };
    Edit7 = makeBox(this, u"Edit7"_s, { 32, 208, 57, 23 }, counterFont, u"問中"_s, true);
    Label7 = makeLabel(this, u"Label7"_s, { 72, 232, 33, 15 }, u"問中"_s, counterLabelFont);
    Edit8 = makeBox(this, u"Edit8"_s, { 32, 264, 57, 23 }, counterFont, u"問目"_s, true);
    Label8 = makeLabel(this, u"Label8"_s, { 72, 288, 33, 15 }, u"問目"_s, counterLabelFont);
    Label9 = makeLabel(this, u"Label9"_s, { 24, 320, 49, 15 }, u"正解率"_s, counterLabelFont);
    Edit9 = makeBox(this, u"Edit9"_s, { 32, 336, 57, 23 }, counterFont, u"正解率"_s, true);
    Label10 = makeLabel(this, u"Label10"_s, { 88, 360, 17, 15 }, u"％"_s, counterLabelFont);
    Edit10 = makeBox(this, u"Edit10"_s, { 112, 96, 473, 32 }, { true, 24, true }, u"メッセージ"_s,
                     true);
    Edit10->setText(u"問題を選んでスタートボタンをおしてね！"_s);
    setStatusColour(Teal);
}

void TForm1::createButtons()
{
    Button1 = makeButton(this, u"Button1"_s, { 112, 416, 57, 33 }, u"スタート"_s);
    Button2 = makeButton(this, u"Button2"_s, { 192, 416, 89, 33 }, u"せいかいを見る"_s);
    Button3 = makeButton(this, u"Button3"_s, { 296, 416, 49, 33 }, u"おしまい"_s);
    BitBtn1 = makeButton(this, u"BitBtn1"_s, { 568, 8, 49, 49 }, QString());
    BitBtn1->setIcon(QIcon(u":/tovemi/printer.png"_s));
    BitBtn1->setIconSize({ 33, 33 });
    BitBtn1->setAccessibleName(u"問題を印刷します"_s);

    CheckBox1 = new QCheckBox(u"出題数"_s, this);
    CheckBox1->setObjectName(u"CheckBox1"_s);
    CheckBox1->setGeometry(16, 384, 73, 25);
    CheckBox1->setFont(fontOf({ true, 16 }));
    CheckBox1->setAccessibleName(CheckBox1->text());

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm1::CheckBox1Click);
    const std::initializer_list<QAbstractButton *> buttons = { Button1, Button2, Button3, BitBtn1,
        CheckBox1 };
    for (QAbstractButton *button : buttons)
        connect(button, &QAbstractButton::clicked, this, &TForm1::showMediaReportsSoon);
}

void TForm1::createKindChoice()
{
    RadioGroup1 = new QGroupBox(u"問題選択"_s, Panel3);
    RadioGroup1->setObjectName(u"RadioGroup1"_s);
    RadioGroup1->setGeometry(8, 8, 569, 65);
    RadioGroup1->setAccessibleName(RadioGroup1->title());
    RadioGroup1Items = new QButtonGroup(RadioGroup1);
    auto *grid = new QGridLayout(RadioGroup1);
    grid->setContentsMargins(8, 2, 8, 2);
    grid->setVerticalSpacing(0);
    static const char16_t *const Items[] = {
        u"量→割合", u"割合→量", u"割合←→量", u"量→百分率", u"百分率→量",
        u"量←→百分率", u"量・割合・百分率", u"割合←→百分率", u"割合→歩合", u"歩合→割合",
    };
    for (int i = 0; i < 10; ++i) {
        auto *item = new QRadioButton(QString::fromUtf16(Items[i]), RadioGroup1);
        item->setObjectName(u"RadioGroup1Item%1"_s.arg(i));
        item->setAccessibleName(item->text());
        RadioGroup1Items->addButton(item, i);
        // Filled column by column, three to a column.
        grid->addWidget(item, i % 3, i / 3);
    }
    RadioGroup1Items->button(0)->setChecked(true);
    connect(RadioGroup1Items, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            RadioGroup1Click();
    });
    new KindChoiceKeys(RadioGroup1Items);

    MediaPlayer1 = new MediaPlayer(Panel3);
    MediaPlayer1->setObjectName(u"MediaPlayer1"_s);
    MediaPlayer1->setGeometry(216, -8, 253, 30);
    MediaPlayer1->setVisible(false);
}

void TForm1::createPictures()
{
    Image1 = new QLabel(Panel4);
    Image1->setObjectName(u"Image1"_s);
    Image1->setGeometry(8, 8, 81, 81);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setAccessibleName(u"マスコット"_s);
    Image1->setPixmap(QPixmap(u":/tovemi/mascot.bmp"_s));
}

void TForm1::setTabOrder()
{
    // All ten items stand together where the kind choice comes: Tab stops at the checked one
    // only, whichever it is.
    QList<QWidget *> order { Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit11, Edit12, Edit13,
                             Button1, Button2, Button3 };
    for (QAbstractButton *item : RadioGroup1Items->buttons())
        order << item;
    order << CheckBox1 << BitBtn1;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QLineEdit *TForm1::entryBox(int code) const
{
    switch (code) {
    case 1: return Edit1;
    case 2: return Edit2;
    case 3: return Edit3;
    case 4: return Edit4;
    case 5: return Edit5;
    case 6: return Edit6;
    case 11: return Edit11;
    case 12: return Edit12;
    case 13: return Edit13;
    default: return nullptr;
    }
}

void TForm1::FormCreate()
{
    static bool hintsSet = false;
    if (!hintsSet) {
        hintsSet = true;
        QApplication::setStyle(new HintStyle);
        QPalette hints = QToolTip::palette();
        hints.setColor(QPalette::ToolTipBase, Aqua);
        hints.setColor(QPalette::ToolTipText, Qt::black);
        QToolTip::setPalette(hints);
    }
    ProblemTable.clear();
    for (QLineEdit *box : { Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9 })
        box->clear();
    setStatusColour(Green);
    setStatus(u"問題を選んでスタートボタンをおしてね！"_s);
    for (QLineEdit *box : { Edit11, Edit12, Edit13 })
        box->clear();
    DrillState = DrillStateData {};
    CheckBox1->setToolTip(u"チェックで 出題数をきめます"_s);
    Button1->setToolTip(u"新しい問題をつくります"_s);
    Button2->setToolTip(u"正解を出します"_s);
    Button3->setToolTip(u"プログラムをおわります"_s);
    RadioGroup1->setToolTip(u"問題の種類を選びます"_s);
    Label15->setToolTip(u"歩合はリターンで次、shift で前"_s);
    BitBtn1->setToolTip(u"問題を印刷します"_s);
    DrillState.WorksheetPrinting = 0;
}

void TForm1::setStatus(const QString &text)
{
    Edit10->setText(text);
    Edit10->setCursorPosition(0);
}

void TForm1::setStatusColour(const QColor &colour)
{
    QPalette palette = Edit10->palette();
    palette.setColor(QPalette::Text, colour);
    Edit10->setPalette(palette);
}

void TForm1::setBoxColour(QLineEdit *box, const QColor &colour)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
}

// ---- Problem set and display -------------------------------------------------------------

void TForm1::MakeProblems()
{
    MakeProblemsState();
    for (int code : EntryBoxCodes)
        entryBox(code)->clear();
    setStatus(u"スタートボタンをおしてね！"_s);
}

void TForm1::ShowProblem()
{
    const int no = DrillState.CurrentNo;
    const ProblemRow row = (no >= 1 && no <= ProblemCount) ? ProblemTable[no] : ProblemRow {};
    const ProblemView view = ViewOfProblem(row, DrillState.ProblemKind);
    if (view.buai) {
        DrillState.BuaiWari = view.buai->wari;
        DrillState.BuaiBu = view.buai->bu;
        DrillState.BuaiRin = view.buai->rin;
        DrillState.TypedWari = DrillState.TypedBu = DrillState.TypedRin = 0.0;
    }
    for (std::size_t i = 0; i < EntryBoxCodes.size(); ++i) {
        QLineEdit *box = entryBox(EntryBoxCodes[i]);
        if (view.colour[i] != BoxColour::Unchanged)
            setBoxColour(box, view.colour[i] == BoxColour::Grey ? Grey : White);
        if (view.text[i])
            box->setText(*view.text[i]);
    }
    if (view.expectedValue)
        DrillState.ExpectedValue = *view.expectedValue;
    if (view.answerField)
        DrillState.AnswerField = *view.answerField;
    Edit7->setText(QString::number(DrillState.DrillLength));
    Edit8->setText(QString::number(DrillState.CurrentNo));
    Edit9->setText(QString::number(DrillState.RatePercent));
    DrillState.FirstTry = True;
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
    if (code == 12)
        setStatus(u"答を入れてリターンキーで「厘」へ。"_s);
    else if (code == 13)
        setStatus(u"答を入れてリターンキーで判定。"_s);
}

// ---- Drill controls ----------------------------------------------------------------------

void TForm1::RadioGroup1Click()
{
    DrillState.ProblemKind = RadioGroup1Items->checkedId() + 1;
    MakeProblems();
}

void TForm1::CheckBox1Click()
{
    if (DrillState.LengthChosen == False) {
        bool accepted = false;
        QString typed = QInputDialog::getText(this, u"問題数を決めます"_s, u"何問やりますか？(100以下)"_s,
                                              QLineEdit::Normal, u"10"_s, &accepted);
        if (!accepted)
            typed = u"10"_s;
        const std::optional<std::int32_t> length = wholeNumberOf(typed);
        if (!length) {
            ReportError(u"'%1' は整数ではありません"_s.arg(typed));
            // The click ends as if it had not happened: the tick goes back to the length kept.
            CheckBox1->setChecked(DrillState.LengthChosen != False);
            FocusAnswerField(DrillState.AnswerField);
            return;
        }
        // A drill has at least one problem and at most the hundred of a set.
        DrillState.DrillLength = std::clamp<std::int32_t>(*length, 1, ProblemCount);
        Edit7->setText(QString::number(DrillState.DrillLength));
        DrillState.LengthChosen = True;
    } else {
        DrillState.DrillLength = 100;
        Edit7->setText(u"100"_s);
        DrillState.LengthChosen = False;
    }
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
    DrillState.CurrentNo = 1;
    DrillState.CorrectCount = 0;
    DrillState.RatePercent = 0;
    DrillState.FirstTry = False;
    setAnswerShown(False);
    MakeProblems();
    setStatusColour(Green);
    setStatus(u"答を入れてリターンキー"_s);
    ShowProblem();
    // Every file is tried now, so that what is broken is said in one box before the first
    // answer is typed, and the first use of each is instant.
    static const QStringList MediaFiles = { u"mascot.bmp"_s, u"maru1.bmp"_s, u"batu1.bmp"_s,
        u"maru1.wav"_s, u"batu1.wav"_s, u"p.wav"_s };
    m_mediaReports << m_feedback->CheckFiles(MediaFiles);
    showMediaReportsSoon();
}

void TForm1::Button2Click()
{
    if (DrillState.AnswerShown != False) {
        setAnswerShown(False);
        ShowProblem();
        return;
    }
    DrillState.FirstTry = False;
    const int no = DrillState.CurrentNo;
    const ProblemRow row = (no >= 1 && no <= ProblemCount) ? ProblemTable[no] : ProblemRow {};
    const BuaiDigits buai { DrillState.BuaiWari, DrillState.BuaiBu, DrillState.BuaiRin };
    const auto texts = RevealTexts(row, DrillState.ProblemKind, buai);
    for (std::size_t i = 0; i < EntryBoxCodes.size(); ++i) {
        if (texts[i])
            entryBox(EntryBoxCodes[i])->setText(*texts[i]);
    }
    DrillState.CurrentNo += 1;
    if (DrillState.CurrentNo > DrillState.DrillLength)
        FinishDrill();
    setAnswerShown(True);
    if (DrillState.MascotShown == False) {
        m_feedback->ShowPicture(u"mascot.bmp"_s);
        DrillState.MascotShown = True;
        setStatus(u"次の問題をやるボタンをおしてね。"_s);
    }
}

void TForm1::Button3Click()
{
    close();
}

void TForm1::FinishDrill()
{
    Edit9->setText(QString::number(DrillState.RatePercent));
    setStatusColour(Red);
    setStatus(u"おしまいです。"_s + QString::number(DrillState.RatePercent) + u"点でした。"_s);
    DrillState.resetToResting();
    setAnswerShown(False);
    // The kind stays as the pupil chose it, so it always matches the selected item.
}

// ---- Judging -----------------------------------------------------------------------------

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == this)
        connectSoundOnFirstInput(event);
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QWidget::eventFilter(watched, event);
    int code = 0;
    for (int c : EntryBoxCodes) {
        if (entryBox(c) == watched)
            code = c;
    }
    if (code == 0)
        return QWidget::eventFilter(watched, event);
    const auto *keyEvent = static_cast<QKeyEvent *>(event);
    const quint16 key = keyCodeOf(keyEvent);
    if (event->type() == QEvent::KeyRelease) {
        // Only a key that is really let go arms a box.
        if (keyEvent->isAutoRepeat())
            return false;
        if (key == KeyShift)
            m_heldShift->release();
        m_lastRelease = { code, keyEvent->key(), keyEvent->timestamp(),
                          DrillState.keyArmed(code), true };
        ArmBox(code);
        if (key == KeyEnter)
            showMediaReportsSoon();
        return false;
    }
    if (m_lastRelease.valid && m_lastRelease.code == code && m_lastRelease.key == keyEvent->key()
        && m_lastRelease.timestamp == keyEvent->timestamp() && keyEvent->timestamp() != 0) {
        // The release just before belonged to the same repeat: it never was a key-up.
        DrillState.keyArmed(code) = m_lastRelease.armedBefore;
    }
    m_lastRelease.valid = false;
    keyDown(code, key);
    // A real press of Shift in the bu or rin box goes on moving back while it is held, unless
    // the X server repeats Shift itself.
    if (key == KeyShift && keyEvent->isAutoRepeat())
        m_heldShift->release();
    else if (key == KeyShift && (code == 12 || code == 13) && DrillState.ProblemKind == 9)
        m_heldShift->press();
    // The box still gets the key, after the handler has seen it.
    return false;
}

void TForm1::repeatShift()
{
    QWidget *focus = QApplication::focusWidget();
    if (focus == Edit12 || focus == Edit13)
        keyDown(focus == Edit12 ? 12 : 13, KeyShift);
    else
        m_heldShift->release();
}

void TForm1::keyDown(int code, quint16 key)
{
    switch (code) {
    case 1: Edit1KeyDown(key); break;
    case 2: Edit2KeyDown(key); break;
    case 3: Edit3KeyDown(key); break;
    case 4: Edit4KeyDown(key); break;
    case 5: Edit5KeyDown(key); break;
    case 6: Edit6KeyDown(key); break;
    case 11: Edit11KeyDown(key); break;
    case 12: Edit12KeyDown(key); break;
    case 13: Edit13KeyDown(key); break;
    }
}

void TForm1::ArmBox(int code)
{
    switch (code) {
    case 1: Edit1KeyUp(0); break;
    case 2: Edit2KeyUp(0); break;
    case 3: Edit3KeyUp(0); break;
    case 4: Edit4KeyUp(0); break;
    case 5: Edit5KeyUp(0); break;
    case 6: Edit6KeyUp(0); break;
    case 11: Edit11KeyUp(0); break;
    case 12: Edit12KeyUp(0); break;
    case 13: Edit13KeyUp(0); break;
    }
}

void TForm1::Edit1KeyDown(quint16 key) { AnswerKeyDown(1, key); }
void TForm1::Edit2KeyDown(quint16 key) { AnswerKeyDown(2, key); }
void TForm1::Edit3KeyDown(quint16 key) { AnswerKeyDown(3, key); }
void TForm1::Edit4KeyDown(quint16 key) { AnswerKeyDown(4, key); }
void TForm1::Edit5KeyDown(quint16 key) { AnswerKeyDown(5, key); }
void TForm1::Edit6KeyDown(quint16 key) { AnswerKeyDown(6, key); }
void TForm1::Edit11KeyDown(quint16 key) { WariKeyDown(key); }
void TForm1::Edit12KeyDown(quint16 key) { BuKeyDown(key); }
void TForm1::Edit13KeyDown(quint16 key) { RinKeyDown(key); }
void TForm1::Edit1KeyUp(quint16) { DrillState.keyArmed(1) = True; }
void TForm1::Edit2KeyUp(quint16) { DrillState.keyArmed(2) = True; }
void TForm1::Edit3KeyUp(quint16) { DrillState.keyArmed(3) = True; }
void TForm1::Edit4KeyUp(quint16) { DrillState.keyArmed(4) = True; }
void TForm1::Edit5KeyUp(quint16) { DrillState.keyArmed(5) = True; }
void TForm1::Edit6KeyUp(quint16) { DrillState.keyArmed(6) = True; }
void TForm1::Edit11KeyUp(quint16) { DrillState.keyArmed(11) = True; }
void TForm1::Edit12KeyUp(quint16) { DrillState.keyArmed(12) = True; }
void TForm1::Edit13KeyUp(quint16) { DrillState.keyArmed(13) = True; }

void TForm1::AnswerKeyDown(int code, quint16 key)
{
    if (DrillState.MascotShown == False) {
        m_feedback->ShowPicture(u"mascot.bmp"_s);
        DrillState.MascotShown = True;
        setStatus(u"答を入れてリターンキー。"_s);
    }
    if (key == KeyEnter && DrillState.AnswerField == code && DrillState.keyArmed(code) != False) {
        const double value = ReadNumber(entryBox(code)->text());
        if (IsRightAnswer(value, DrillState.ExpectedValue)) {
            RightPath();
        } else {
            WrongPath();
            FocusAnswerField(DrillState.AnswerField);
        }
    }
    DrillState.keyArmed(code) = False;
}

void TForm1::RightPath()
{
    setStatus(u"せいかいです"_s);
    m_feedback->ShowPicture(u"maru1.bmp"_s);
    m_feedback->PlaySound(u"maru1.wav"_s);
    DrillState.MascotShown = False;
    if (DrillState.FirstTry != False)
        DrillState.CorrectCount += 1;
    DrillState.RatePercent = RateOf(DrillState.CorrectCount, DrillState.CurrentNo);
    DrillState.CurrentNo += 1;
    if (DrillState.CurrentNo > DrillState.DrillLength) {
        FinishDrill();
        return;
    }
    Edit8->setText(QString::number(DrillState.CurrentNo));
    Edit9->setText(QString::number(DrillState.RatePercent));
    ShowProblem();
}

void TForm1::WrongPath()
{
    DrillState.MascotShown = False;
    DrillState.FirstTry = False;
    setStatus(u"ちがうよ！"_s);
    m_feedback->ShowPicture(u"batu1.bmp"_s);
    m_feedback->PlaySound(u"batu1.wav"_s);
    DrillState.RatePercent = RateOf(DrillState.CorrectCount, DrillState.CurrentNo);
    Edit8->setText(QString::number(DrillState.CurrentNo));
    Edit9->setText(QString::number(DrillState.RatePercent));
}

void TForm1::WariKeyDown(quint16 key)
{
    if (key == KeyEnter)
        m_feedback->PlaySound(u"p.wav"_s);
    if (DrillState.MascotShown == False) {
        m_feedback->ShowPicture(u"mascot.bmp"_s);
        DrillState.MascotShown = True;
        setStatus(u"答を入れてリターンキーで「分」へ。"_s);
    }
    if (key == KeyEnter && DrillState.AnswerField == 11 && DrillState.keyArmed(11) != False) {
        DrillState.TypedWari = ReadNumber(Edit11->text());
        DrillState.AnswerField = 12;
        DrillState.keyArmed(11) = False;
        FocusAnswerField(12);
    }
}

void TForm1::BuKeyDown(quint16 key)
{
    if (key == KeyEnter)
        m_feedback->PlaySound(u"p.wav"_s);
    // Shift goes back only in the buai kind: elsewhere it would strand the problem's own box.
    if (key == KeyShift && DrillState.ProblemKind == 9) {
        DrillState.AnswerField = 11;
        FocusAnswerField(11);
        DrillState.MascotShown = True;
    } else if (key == KeyEnter && DrillState.AnswerField == 12 && DrillState.keyArmed(12) != False) {
        DrillState.TypedBu = ReadNumber(Edit12->text());
        DrillState.AnswerField = 13;
        FocusAnswerField(13);
    }
    DrillState.keyArmed(12) = False;
}

void TForm1::RinKeyDown(quint16 key)
{
    if (key == KeyEnter)
        m_feedback->PlaySound(u"p.wav"_s);
    if (key == KeyShift && DrillState.ProblemKind == 9) {
        DrillState.AnswerField = 12;
        FocusAnswerField(12);
        DrillState.MascotShown = True;
    } else if (key == KeyEnter && DrillState.AnswerField == 13 && DrillState.keyArmed(13) != False) {
        DrillState.TypedRin = ReadNumber(Edit13->text());
        DrillState.TypedBuaiTotal = BuaiTotal(DrillState.TypedWari, DrillState.TypedBu, DrillState.TypedRin);
        DrillState.ExpectedBuaiTotal = BuaiTotal(DrillState.BuaiWari, DrillState.BuaiBu, DrillState.BuaiRin);
        if (IsRightAnswer(DrillState.TypedBuaiTotal, DrillState.ExpectedBuaiTotal)) {
            RightPath();
        } else {
            WrongPath();
            DrillState.AnswerField = 11;
            FocusAnswerField(11);
        }
    }
    DrillState.keyArmed(13) = False;
}

// ---- Reports about pictures and sounds ---------------------------------------------------

void TForm1::queueMediaReport(const QString &text)
{
    m_mediaReports << text;
}

void TForm1::showMediaReportsSoon()
{
    if (m_mediaReports.isEmpty() || m_mediaReportsDue)
        return;
    m_mediaReportsDue = true;
    // After the event being handled has been handled in full.
    QTimer::singleShot(0, this, &TForm1::showMediaReports);
}

void TForm1::showMediaReports()
{
    m_mediaReportsDue = false;
    if (m_mediaReports.isEmpty())
        return;
    const QString text = std::exchange(m_mediaReports, {}).join(u"\n\n"_s);
    QPointer<QWidget> pupilWasIn = QApplication::focusWidget();
    ReportError(text);
    // However the box was closed, the pupil carries on where they were.
    if (pupilWasIn)
        pupilWasIn->setFocus(Qt::OtherFocusReason);
}

void TForm1::connectSoundOnFirstInput(QEvent *event)
{
    if (m_soundConnecting
        || (event->type() != QEvent::KeyPress && event->type() != QEvent::MouseButtonPress))
        return;
    m_soundConnecting = true;
    qApp->removeEventFilter(this);
    // The sound libraries and the server are taken up in the background at the pupil's first
    // key or click, which comes before any Start and so before any answer's chime: the window
    // appears without waiting for them, and a window that is only looked at never loads them.
    QTimer::singleShot(0, MediaPlayer1, &MediaPlayer::Connect);
}

bool IsProgramStatusText(const QString &text)
{
    static const QStringList Fixed = {
        u"問題を選んでスタートボタンをおしてね！"_s, u"スタートボタンをおしてね！"_s,
        u"答を入れてリターンキー"_s, u"答を入れてリターンキーで「厘」へ。"_s,
        u"答を入れてリターンキーで判定。"_s, u"答を入れてリターンキーで「分」へ。"_s,
        u"答を入れてリターンキー。"_s, u"せいかいです"_s, u"ちがうよ！"_s,
        u"次の問題をやるボタンをおしてね。"_s, u"印刷中です"_s,
    };
    if (Fixed.contains(text))
        return true;
    static const QRegularExpression End(u"^おしまいです。[0-9]+点でした。$"_s);
    return End.match(text).hasMatch();
}
