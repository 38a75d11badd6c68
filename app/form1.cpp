// The window: its controls laid out from one table, start-up, and the wiring of Qt's events to
// the handlers (drill_controls.cpp) and to the reports about pictures and sounds.
#include "app/form1.h"

#include "app/accessibility.h"
#include "app/focus_return.h"
#include "app/key_classifier.h"
#include "app/layout_palette.h"
#include "app/message_boxes.h"
#include "app/relation_diagram_view.h"
#include "drill/drill.h"
#include "media/feedback_media.h"
#include "media/sound_player.h"
#include "devices/worksheet_printer.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolTip>

#include <functional>
#include <optional>
#include <variant>

using namespace Qt::StringLiterals;

// The window's pictures live in a static library, whose resources must be pulled in by name.
static void initResources()
{
    Q_INIT_RESOURCE(tovemi);
}

namespace {

enum class Face { Fixed, Proportional };
enum class Weight { Normal, Bold };

struct FontStyle
{
    Face face;
    int pixels; // character height
    Weight weight = Weight::Normal;
};

QFont fontOf(FontStyle style)
{
    // The two faces of the window, asked for by the installed faces' names: a name the font
    // database does not know first sends each font through fontconfig's fallback search,
    // several milliseconds of start-up.
    const bool fixed = style.face == Face::Fixed;
    QFont font(QFont::substitute(fixed ? u"ＭＳ ゴシック"_s : u"ＭＳ Ｐゴシック"_s));
    font.setPixelSize(style.pixels);
    font.setBold(style.weight == Weight::Bold);
    font.setStyleHint(fixed ? QFont::Monospace : QFont::SansSerif);
    // Hinting snaps the close strokes of kanji such as 量 into one dark bar at these sizes, and
    // it is the costliest part of loading each glyph at start-up.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

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

// One control of the layout, in the order they are made. A box's caption is the name a
// screen reader gives it, the text of the label that goes with it.
using Member = std::variant<QFrame * TForm1::*, QLabel * TForm1::*, QLineEdit * TForm1::*,
                            QPushButton * TForm1::*, QCheckBox * TForm1::*>;
enum class Role { Plain, Entry, ReadOnly };
struct Control
{
    Member member;
    const char16_t *name;
    QFrame *TForm1::*parent; // null: the window itself
    QRect rect;
    const char16_t *caption = nullptr;
    std::optional<FontStyle> font = std::nullopt;
    const char16_t *hint = nullptr;
    Role role = Role::Plain;
};

// The layout's own height; the diagram panel, when shown, comes below it.
constexpr int LayoutHeight = 462;
constexpr int DiagramTop = LayoutHeight;

constexpr FontStyle LabelFont { Face::Fixed, 21, Weight::Bold };
constexpr FontStyle BoxFont { Face::Fixed, 32 };
constexpr FontStyle BuaiBoxFont { Face::Fixed, 24 };
constexpr FontStyle UnitFont { Face::Fixed, 19, Weight::Bold };
constexpr FontStyle CounterFont { Face::Fixed, 15 };
constexpr FontStyle CounterLabelFont { Face::Fixed, 15, Weight::Bold };

// clang-format off
const Control Layout[] = {
    { &TForm1::Panel1, u"Panel1", nullptr, { 112, 136, 217, 257 } },
    { &TForm1::Panel2, u"Panel2", nullptr, { 352, 136, 257, 313 } },
    { &TForm1::Panel3, u"Panel3", nullptr, { 16, 8, 593, 81 } },
    { &TForm1::Panel4, u"Panel4", nullptr, { 8, 104, 97, 97 } },
    { &TForm1::Label1, u"Label1", &TForm1::Panel1, { 8, 16, 133, 21 }, u"もとにする量", LabelFont },
    { &TForm1::Edit1, u"Edit1", &TForm1::Panel1, { 24, 40, 177, 41 }, u"もとにする量", BoxFont, nullptr, Role::Entry },
    { &TForm1::Label2, u"Label2", &TForm1::Panel1, { 8, 96, 199, 21 }, u"もとにする量の割合", LabelFont },
    { &TForm1::Edit2, u"Edit2", &TForm1::Panel1, { 24, 120, 177, 41 }, u"もとにする量の割合", BoxFont, nullptr, Role::Entry },
    { &TForm1::Label3, u"Label3", &TForm1::Panel1, { 8, 176, 177, 21 }, u"もとにする量の％", LabelFont },
    { &TForm1::Edit3, u"Edit3", &TForm1::Panel1, { 24, 200, 177, 41 }, u"もとにする量の％", BoxFont, nullptr, Role::Entry },
    { &TForm1::Label4, u"Label4", &TForm1::Panel2, { 8, 8, 155, 21 }, u"くらべられる量", LabelFont },
    { &TForm1::Edit4, u"Edit4", &TForm1::Panel2, { 32, 32, 185, 41 }, u"くらべられる量", BoxFont, nullptr, Role::Entry },
    { &TForm1::Label5, u"Label5", &TForm1::Panel2, { 8, 88, 221, 21 }, u"くらべられる量の割合", LabelFont },
    { &TForm1::Edit5, u"Edit5", &TForm1::Panel2, { 32, 112, 185, 41 }, u"くらべられる量の割合", BoxFont, nullptr, Role::Entry },
    { &TForm1::Label6, u"Label6", &TForm1::Panel2, { 8, 168, 199, 21 }, u"くらべられる量の％", LabelFont },
    { &TForm1::Edit6, u"Edit6", &TForm1::Panel2, { 32, 192, 185, 41 }, u"くらべられる量の％", BoxFont, nullptr, Role::Entry },
    { &TForm1::Label12, u"Label12", &TForm1::Panel2, { 80, 264, 21, 19 }, u"割", UnitFont },
    { &TForm1::Edit11, u"Edit11", &TForm1::Panel2, { 8, 248, 65, 32 }, u"割", BuaiBoxFont, nullptr, Role::Entry },
    { &TForm1::Label13, u"Label13", &TForm1::Panel2, { 152, 262, 21, 19 }, u"分", UnitFont },
    { &TForm1::Edit12, u"Edit12", &TForm1::Panel2, { 104, 248, 49, 32 }, u"分", BuaiBoxFont, nullptr, Role::Entry },
    { &TForm1::Label14, u"Label14", &TForm1::Panel2, { 224, 262, 21, 19 }, u"厘", UnitFont },
    { &TForm1::Edit13, u"Edit13", &TForm1::Panel2, { 176, 248, 49, 32 }, u"厘", BuaiBoxFont, nullptr, Role::Entry },
    { &TForm1::Label15, u"Label15", &TForm1::Panel2, { 48, 296, 144, 12 }, u"☆歩合は shift で前にもどる", FontStyle { Face::Proportional, 12 }, u"歩合はリターンで次、shift で前" },
    { &TForm1::Edit7, u"Edit7", nullptr, { 32, 208, 57, 23 }, u"問中", CounterFont, nullptr, Role::ReadOnly },
    { &TForm1::Label7, u"Label7", nullptr, { 72, 232, 33, 15 }, u"問中", CounterLabelFont },
    { &TForm1::Edit8, u"Edit8", nullptr, { 32, 264, 57, 23 }, u"問目", CounterFont, nullptr, Role::ReadOnly },
    { &TForm1::Label8, u"Label8", nullptr, { 72, 288, 33, 15 }, u"問目", CounterLabelFont },
    { &TForm1::Label9, u"Label9", nullptr, { 24, 320, 49, 15 }, u"正解率", CounterLabelFont },
    { &TForm1::Edit9, u"Edit9", nullptr, { 32, 336, 57, 23 }, u"正解率", CounterFont, nullptr, Role::ReadOnly },
    { &TForm1::Label10, u"Label10", nullptr, { 88, 360, 17, 15 }, u"％", CounterLabelFont },
    { &TForm1::Edit10, u"Edit10", nullptr, { 112, 96, 473, 32 }, u"メッセージ", FontStyle { Face::Fixed, 24, Weight::Bold }, nullptr, Role::ReadOnly },
    { &TForm1::Button1, u"Button1", nullptr, { 112, 416, 57, 33 }, u"スタート", std::nullopt, u"新しい問題をつくります" },
    { &TForm1::Button2, u"Button2", nullptr, { 192, 416, 89, 33 }, u"せいかいを見る", std::nullopt, u"正解を出します" },
    { &TForm1::Button3, u"Button3", nullptr, { 296, 416, 49, 33 }, u"おしまい", std::nullopt, u"プログラムをおわります" },
    { &TForm1::BitBtn1, u"BitBtn1", nullptr, { 568, 8, 49, 49 }, u"問題を印刷します", std::nullopt, u"問題を印刷します" },
    { &TForm1::CheckBox1, u"CheckBox1", nullptr, { 16, 384, 73, 25 }, u"出題数", FontStyle { Face::Fixed, 16 }, u"チェックで 出題数をきめます" },
    { &TForm1::diagramSwitch, u"diagramSwitch", nullptr, { 112, 395, 120, 20 }, u"図で考える", FontStyle { Face::Fixed, 14, Weight::Bold }, u"F1 でも 図を出したり しまったりします" },
    { &TForm1::reviewButton, u"reviewButton", nullptr, { 6, 414, 100, 42 }, u"まちがえた問題をもう一度", FontStyle { Face::Proportional, 11 }, u"まちがえた問題だけをもう一度やります" },
};
// clang-format on

QWidget *make(QLabel *&label, const Control &c, QWidget *parent)
{
    label = new QLabel(QString::fromUtf16(c.caption), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

QWidget *make(QFrame *&panel, const Control &, QWidget *parent)
{
    panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return panel;
}

QWidget *make(QLineEdit *&box, const Control &c, QWidget *parent)
{
    // No design text: it would never be seen, and laying it out loads each box's glyphs at
    // start-up instead of when the box first shows a number.
    box = new QLineEdit(parent);
    box->setAccessibleName(QString::fromUtf16(c.caption));
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    box->setPalette(palette);
    if (c.role == Role::ReadOnly) {
        box->setReadOnly(true);
        // No tab stop, but the program can still focus it.
        box->setFocusPolicy(Qt::ClickFocus);
    } else {
        // Numbers only: an input method that honours the hint switches to half-width.
        box->setInputMethodHints(Qt::ImhFormattedNumbersOnly | Qt::ImhPreferLatin);
    }
    return box;
}

QWidget *make(QPushButton *&button, const Control &c, QWidget *parent)
{
    button = new QPushButton(QString::fromUtf16(c.caption), parent);
    button->setAccessibleName(button->text());
    button->setAutoDefault(false);
    return button;
}

QWidget *make(QCheckBox *&box, const Control &c, QWidget *parent)
{
    box = new QCheckBox(QString::fromUtf16(c.caption), parent);
    box->setAccessibleName(box->text());
    return box;
}

} // namespace

TForm1::TForm1(QWidget *parent) : QWidget(parent)
{
    // Before any control is made: a style set later polishes every control again.
    static bool hintsSet = false;
    if (!hintsSet) {
        hintsSet = true;
        QApplication::setStyle(new HintStyle);
        QPalette hints = QToolTip::palette();
        hints.setColor(QPalette::ToolTipBase, Aqua);
        hints.setColor(QPalette::ToolTipText, Qt::black);
        QToolTip::setPalette(hints);
    }
    initResources();
    installWindowRoles();
    m_announcer = makeAnnouncer(this);
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Tovemi Ver 2.00 R2"_s);
    setFont(fontOf({ Face::Proportional, 12 }));
    setPalette(layoutPalette());
    // Positions are the layout's own pixels; Qt's high-density scaling scales them as a whole.
    move(7, 11);
    resize(624, LayoutHeight);

    createControls();
    createKindChoice();
    createPictures();
    createDiagram();
    setTabOrder();

    m_ownFeedback = std::make_unique<MediaFeedback>(
            Image1, MediaPlayer1, [this](const QString &text) { noteMediaReport(text); });
    m_feedback = m_ownFeedback.get();
    qApp->installEventFilter(new KeyClassifier(std::bind_front(&TForm1::takeKey, this), this));
    qApp->installEventFilter(new FocusReturn(this));
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::setFeedback(Feedback *feedback)
{
    m_feedback = feedback ? feedback : m_ownFeedback.get();
}

void TForm1::createControls()
{
    for (const Control &c : Layout) {
        QWidget *parent = c.parent ? static_cast<QWidget *>(this->*c.parent) : this;
        QWidget *control =
                std::visit([&](auto member) { return make(this->*member, c, parent); }, c.member);
        control->setObjectName(QString::fromUtf16(c.name));
        control->setGeometry(c.rect);
        if (c.font)
            control->setFont(fontOf(*c.font));
        if (c.hint)
            control->setToolTip(QString::fromUtf16(c.hint));
    }
    Edit10->setText(u"問題を選んでスタートボタンをおしてね！"_s);
    setStatusColour(Teal);
    // The printer button shows its glyph; its caption is only read out.
    BitBtn1->setText(QString());
    BitBtn1->setIcon(QIcon(u":/tovemi/printer.bmp"_s));
    BitBtn1->setIconSize({ 33, 33 });
    // Below 出題数 there is room for the review button's caption in two lines. It appears after
    // a drill without taking the focus from where a drill's end leaves it.
    reviewButton->setText(u"まちがえた問題を\nもう一度"_s);
    reviewButton->setFocusPolicy(Qt::TabFocus);
    reviewButton->hide();

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm1::CheckBox1Click);
    connect(reviewButton, &QPushButton::clicked, this, &TForm1::reviewButtonClicked);
    const std::initializer_list<QAbstractButton *> buttons = { Button1, Button2,   Button3,
                                                               BitBtn1, CheckBox1, reviewButton };
    for (QAbstractButton *button : buttons)
        connect(button, &QAbstractButton::clicked, this, [this] {
            // During a drill the pupil types on straight after a click: a box would take keys.
            if (!m_drill.DrillRunning)
                showMediaReportsSoon();
        });
}

void TForm1::createKindChoice()
{
    RadioGroup1 = new QGroupBox(u"問題選択"_s, Panel3);
    RadioGroup1->setObjectName(u"RadioGroup1"_s);
    RadioGroup1->setGeometry(8, 8, 569, 65);
    RadioGroup1->setAccessibleName(RadioGroup1->title());
    RadioGroup1->setToolTip(u"問題の種類を選びます"_s);
    RadioGroup1Items = new QButtonGroup(RadioGroup1);
    auto *grid = new QGridLayout(RadioGroup1);
    grid->setContentsMargins(8, 2, 8, 2);
    grid->setVerticalSpacing(0);
    for (int i = 0; i < KindCount; ++i) {
        auto *item = new QRadioButton(QString::fromUtf16(KindTable[std::size_t(i)].caption),
                                      RadioGroup1);
        item->setObjectName(u"RadioGroup1Item%1"_s.arg(i));
        item->setAccessibleName(item->text());
        RadioGroup1Items->addButton(item, i);
        // Filled column by column, as the arrow keys go through them.
        grid->addWidget(item, i % KindsPerColumn, i / KindsPerColumn);
    }
    RadioGroup1Items->button(0)->setChecked(true);
    connect(RadioGroup1Items, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            RadioGroup1Click();
    });

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

    // A file that breaks during a drill is noted here at once, over the foot of the picture,
    // where it takes no key from the pupil; the box that says which waits for the drill's end.
    mediaNote = new QLabel(u"ファイルが\n使えません"_s, Panel4);
    mediaNote->setObjectName(u"mediaNote"_s);
    mediaNote->setGeometry(8, 63, 81, 26);
    mediaNote->setAlignment(Qt::AlignCenter);
    mediaNote->setFont(fontOf({ Face::Proportional, 11, Weight::Bold }));
    mediaNote->setAutoFillBackground(true);
    QPalette palette = mediaNote->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 255, 220));
    palette.setColor(QPalette::WindowText, Qt::red);
    mediaNote->setPalette(palette);
    mediaNote->setAccessibleName(mediaNote->text());
    mediaNote->hide();
}

void TForm1::createDiagram()
{
    diagramPanel = new RelationDiagramView(this);
    diagramPanel->setObjectName(u"diagramPanel"_s);
    diagramPanel->move(8, DiagramTop);
    diagramPanel->hide();
    connect(diagramSwitch, &QCheckBox::toggled, this, &TForm1::showDiagram);
    // A click takes no focus, so what the pupil typed and selected stays as it was; toggled
    // from the keyboard, the keys go back where a drill needs them, as 出題数 does.
    diagramSwitch->setFocusPolicy(Qt::TabFocus);
    connect(diagramSwitch, &QCheckBox::clicked, this, [this] {
        if (diagramSwitch->hasFocus())
            FocusAnswerField(m_drill.AnswerField);
    });
}

void TForm1::showDiagram(bool shown)
{
    // The window grows by the panel below the layout, which stays where it is.
    diagramPanel->setVisible(shown);
    resize(width(), shown ? DiagramTop + DiagramHeight + 8 : LayoutHeight);
    if (shown) {
        drawDiagram();
        sayNow(diagramPanel->accessibleDescription());
    }
}

void TForm1::setDiagram(const ProblemRow &row, DiagramStep step)
{
    m_diagram = { true, row, m_drill.ProblemKind, step };
    drawDiagram();
}

void TForm1::advanceDiagram(DiagramStep step)
{
    if (!m_diagram.problem || step <= m_diagram.step)
        return;
    m_diagram.step = step;
    drawDiagram();
}

void TForm1::setNoDiagram()
{
    m_diagram.problem = false;
    drawDiagram();
}

void TForm1::drawDiagram()
{
    // Nothing is worked out while the panel is hidden: the answers stay as fast as without it.
    if (!diagramPanel->isVisible())
        return;
    if (!(m_diagram == m_foreseenDiagram && diagramPanel->showForeseen()))
        diagramPanel->showDiagram(
                m_diagram.problem ? relationDiagramOf(m_diagram.row, m_diagram.kind, m_diagram.step)
                                  : diagramBeforeStart());
    // Most often the next problem's picture comes next.
    const std::optional<ProblemRow> next = m_drill.nextProblemRow();
    if (!m_diagram.problem || !next)
        return;
    const DiagramSubject foreseen { true, *next, m_diagram.kind, DiagramStep::Picture };
    if (foreseen != m_foreseenDiagram) {
        m_foreseenDiagram = foreseen;
        diagramPanel->foresee([foreseen] {
            return relationDiagramOf(foreseen.row, foreseen.kind, foreseen.step);
        });
    }
}

void TForm1::setTabOrder()
{
    // All ten items stand together where the kind choice comes: Tab stops at the checked one
    // only, whichever it is.
    QList<QWidget *> order;
    for (Box box : Boxes)
        order << entryBox(box);
    order << Button1 << Button2 << Button3;
    for (QAbstractButton *item : RadioGroup1Items->buttons())
        order << item;
    order << CheckBox1 << reviewButton << diagramSwitch << BitBtn1;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TForm1::FormCreate()
{
    for (QLineEdit *box : { Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7, Edit8, Edit9 })
        box->clear();
    setStatusColour(QColor(0, 128, 0));
    setStatus(u"問題を選んでスタートボタンをおしてね！"_s);
    for (QLineEdit *box : { Edit11, Edit12, Edit13 })
        box->clear();
    m_drill = Drill {};
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

// ---- Reports about pictures and sounds ---------------------------------------------------

void TForm1::noteMediaReport(const QString &text)
{
    m_mediaReports << text;
    mediaNote->setToolTip(m_mediaReports.join(u"\n\n"_s));
    mediaNote->setAccessibleDescription(mediaNote->toolTip());
    mediaNote->show();
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
    mediaNote->hide();
    // However the box is closed, FocusReturn gives the pupil back the box they were in.
    ReportError(std::exchange(m_mediaReports, {}).join(u"\n\n"_s));
}

void TForm1::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (std::exchange(m_painted, true))
        return;
    // The sound server is connected to in the background once the window is on the screen:
    // the window does not wait for it, and it is ready long before the first answer's chime.
    QTimer::singleShot(0, MediaPlayer1, &MediaPlayer::connectOutput);
}
