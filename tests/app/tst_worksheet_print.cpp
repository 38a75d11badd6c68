// The print button on the real window: its two questions, the print dialog, what a print leaves
// behind, and one real print to a PDF file read back with poppler's tools.
#include "window_fixture.h"

#include "monkey_hooks.h"
#include "stand_in_printer.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {

struct SeenBox
{
    QString title, text;
    QStringList buttons;
    QString defaultButton;
    QPoint offCentre; // from the centre of the screen
};

// Answers a message box: "ok", "yes", "no" click the button; "enter" and "escape" press the
// key; "titlebar" closes it as the frame's close box does.
void answerBox(QMessageBox *box, const QString &answer, SeenBox &seen)
{
    seen.title = box->windowTitle();
    seen.text = box->text();
    for (QAbstractButton *b : box->buttons())
        seen.buttons << b->text();
    seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
    seen.offCentre = box->frameGeometry().center() - box->screen()->availableGeometry().center();
    if (answer == u"titlebar")
        box->close();
    else if (answer == u"enter")
        QTest::keyClick(box, Qt::Key_Return);
    else if (answer == u"escape")
        QTest::keyClick(box, Qt::Key_Escape);
    else {
        const QString caption = answer == u"ok" ? u"OK"_s
                : answer == u"yes"              ? u"はい(&Y)"_s
                                                : u"いいえ(&N)"_s;
        for (QAbstractButton *b : box->buttons()) {
            if (b->text() == caption)
                b->click();
        }
    }
}

} // namespace

class TestWorksheetPrint : public QObject
{
    Q_OBJECT
    WindowFixture f;
    StandInPrinter *printer = nullptr;
    QList<SeenBox> seen;

    // Clicks the print button with the boxes answered in turn.
    void clickPrint(QStringList answers)
    {
        seen.clear();
        answerNext(answers);
        QTest::mouseClick(f.window->BitBtn1, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    void answerNext(QStringList answers)
    {
        if (answers.isEmpty())
            return;
        WhenModalOpens([this, answers](QWidget *modal) mutable {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box)
                return;
            seen.append(SeenBox {});
            const QString answer = answers.takeFirst();
            answerBox(box, answer, seen.last());
            answerNext(answers);
        });
    }
    // Clicks the print button, answers Yes, and hands the program's own print dialog to
    // `answer`, which accepts or rejects it. False when no print dialog came.
    bool clickPrintWithDialog(std::function<void(QPrintDialog *)> answer)
    {
        const auto dialogSeen = std::make_shared<bool>(false);
        WhenModalOpens([answer = std::move(answer), dialogSeen](QWidget *box) {
            static_cast<QMessageBox *>(box)->defaultButton()->click();
            WhenModalOpens([answer, dialogSeen](QWidget *modal) {
                if (auto *dialog = qobject_cast<QPrintDialog *>(modal)) {
                    *dialogSeen = true;
                    answer(dialog);
                }
            });
        });
        QTest::mouseClick(f.window->BitBtn1, Qt::LeftButton);
        return *dialogSeen;
    }
    void chooseKind(int kind) { f.chooseKind(kind); }
    void chooseLength(int length)
    {
        drill().DrillLength = length;
        drill().LengthChosen = -1;
        f.window->CheckBox1->setChecked(true);
    }

private Q_SLOTS:
    void initTestCase() { initWindowTests(); }
    void init()
    {
        f.open();
        auto owned = std::make_unique<StandInPrinter>();
        printer = owned.get();
        f.window->PrinterSetupDialog1 = std::move(owned);
    }
    void cleanup() { f.close(); }

    void questionsDecideWhetherToPrint_data();
    void questionsDecideWhetherToPrint();
    void theBoxesSayWhatTheyShould();
    void aPrintLeavesAFreshSetAndTheStatusAsItWas();
    void cancelInThePrintDialogPrintsNothing();
    void aPrintingFailureIsReportedAndCleanedUp();
    void aRealPrintToPdf();
    void aPageRangeReprintsThosePagesOfTheOneDocument();
    void thePrinterIsMadeAtTheFirstPrintAndKept();
    void theRealPrintDialog();
};

void TestWorksheetPrint::questionsDecideWhetherToPrint_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<bool>("prints");
    QTest::newRow("unchecked, OK") << false << 1 << QStringList { u"ok"_s } << 1 << false;
    QTest::newRow("unchecked, Enter") << false << 2 << QStringList { u"enter"_s } << 1 << false;
    QTest::newRow("unchecked, Escape") << false << 3 << QStringList { u"escape"_s } << 1 << false;
    QTest::newRow("unchecked, title bar, Yes")
            << false << 1 << QStringList { u"titlebar"_s, u"yes"_s } << 2 << true;
    QTest::newRow("checked kind 4, OK") << true << 4 << QStringList { u"ok"_s } << 1 << false;
    QTest::newRow("checked kind 10, title bar, Yes")
            << true << 10 << QStringList { u"titlebar"_s, u"yes"_s } << 2 << true;
    QTest::newRow("checked kind 3, Yes") << true << 3 << QStringList { u"yes"_s } << 1 << true;
    QTest::newRow("checked kind 1, Enter is Yes")
            << true << 1 << QStringList { u"enter"_s } << 1 << true;
    QTest::newRow("checked kind 2, No") << true << 2 << QStringList { u"no"_s } << 1 << false;
    QTest::newRow("checked kind 2, Escape is No")
            << true << 2 << QStringList { u"escape"_s } << 1 << false;
    QTest::newRow("checked kind 2, title bar")
            << true << 2 << QStringList { u"titlebar"_s } << 1 << false;
}

void TestWorksheetPrint::questionsDecideWhetherToPrint()
{
    QFETCH(bool, checked);
    QFETCH(int, kind);
    QFETCH(QStringList, answers);
    QFETCH(int, boxes);
    QFETCH(bool, prints);
    chooseKind(kind);
    if (checked)
        chooseLength(12);
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    WindowFixture::answer(u"999"_s); // a drill in progress, status "ちがうよ！"
    const ProblemTableData before = drill().ProblemTable;
    const Drill state = drill();
    const QString status = f.status();
    clickPrint(answers);
    QCOMPARE(int(seen.size()), boxes);
    QCOMPARE(printer->recorded.jobs, prints ? 1 : 0);
    QCOMPARE(f.status(), status);
    if (!prints) {
        QCOMPARE(printer->dialogs, 0);
        QCOMPARE(drill().CurrentNo, state.CurrentNo);
        QCOMPARE(drill().FirstTry, state.FirstTry);
        for (int i = 1; i <= ProblemCount; ++i)
            QCOMPARE(drill().ProblemTable[i].BaseAmount, before[i].BaseAmount);
        return;
    }
    QCOMPARE(printer->dialogs, 1);
    QCOMPARE(int(printer->recorded.pages.size()), checked ? 4 : 20);
}

void TestWorksheetPrint::theBoxesSayWhatTheyShould()
{
    clickPrint({ u"titlebar"_s, u"no"_s });
    QCOMPARE(int(seen.size()), 2);
    QCOMPARE(seen[0].title, u"情報"_s);
    QCOMPARE(
            seen[0].text,
            u"このボタンは、量と割合の問題を印刷するボタンです。\n\n左の縦１列の問題を選び、問題数を決めてから選んでください"_s);
    QCOMPARE(seen[0].buttons, QStringList { u"OK"_s });
    QCOMPARE(seen[1].title, u"警告"_s);
    QCOMPARE(seen[1].text, u"このボタンは　問題を印刷するボタンです。\n\n印刷しますか？"_s);
    QCOMPARE(seen[1].buttons.size(), 2);
    QVERIFY(seen[1].buttons.contains(u"はい(&Y)"_s) && seen[1].buttons.contains(u"いいえ(&N)"_s));
    QCOMPARE(seen[1].defaultButton, u"はい(&Y)"_s);
    for (const SeenBox &box : seen)
        QVERIFY2(box.offCentre.manhattanLength() <= 2,
                 qPrintable(u"%1 is %2, %3 off the screen's centre"_s.arg(box.title)
                                    .arg(box.offCentre.x())
                                    .arg(box.offCentre.y())));
}

void TestWorksheetPrint::aPrintLeavesAFreshSetAndTheStatusAsItWas()
{
    chooseKind(2);
    chooseLength(25);
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    WindowFixture::answer(u"999"_s);
    const QString status = f.status();
    QString statusAtDialog, statusAtJob;
    int printingAtJob = -1;
    printer->atDialog = [&] { statusAtDialog = f.status(); };
    printer->atJob = [&] {
        statusAtJob = f.status();
        printingAtJob = drill().WorksheetPrinting;
    };
    clickPrint({ u"yes"_s });
    QCOMPARE(statusAtDialog, u"印刷中です"_s);
    QCOMPARE(printingAtJob, 1);
    QCOMPARE(statusAtJob, u"スタートボタンをおしてね！"_s);
    QCOMPARE(printer->recorded.pages.size(), 6);
    QCOMPARE(f.status(), status);
    QCOMPARE(drill().WorksheetPrinting, false);
    QCOMPARE(drill().CurrentNo, 1);
    QCOMPARE(drill().DrillLength, 25);
    for (Box box : Boxes)
        QVERIFY(f.window->entryBox(box)->text().isEmpty());
    // A fresh set of the kind, made by the print.
    QSet<int> bases;
    for (const ProblemRow &row : drill().ProblemTable.rows)
        bases << int(std::abs(row.BaseAmount));
    QCOMPARE(bases.size(), 100);
}

void TestWorksheetPrint::cancelInThePrintDialogPrintsNothing()
{
    chooseKind(1);
    chooseLength(10);
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    const double firstBase = drill().ProblemTable[1].BaseAmount;
    const QString status = f.status();
    printer->acceptDialog = false;
    clickPrint({ u"yes"_s });
    QCOMPARE(printer->dialogs, 1);
    QCOMPARE(printer->recorded.jobs, 0);
    QCOMPARE(f.status(), status);
    QCOMPARE(drill().ProblemTable[1].BaseAmount, firstBase);
    QCOMPARE(drill().FirstTry, true);
    QCOMPARE(drill().WorksheetPrinting, false);
}

void TestWorksheetPrint::aPrintingFailureIsReportedAndCleanedUp()
{
    chooseKind(1);
    chooseLength(30);
    const QString status = f.status();
    printer->recorded.failAtPage = 2;
    clickPrint({ u"yes"_s });
    QCOMPARE(f.errors.size(), 1);
    QVERIFY(f.errors.first().contains(u"recorded failure"_s));
    QCOMPARE(drill().WorksheetPrinting, false);
    QCOMPARE(f.status(), status);

    // A PDF file that cannot be written, through the real printer.
    f.errors.clear();
    printer->recorded.failAtPage = 0;
    printer->pdfFile = u"/nonexistent-folder/sheet.pdf"_s;
    clickPrint({ u"yes"_s });
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors.first().contains(u"/nonexistent-folder/sheet.pdf"_s),
             qPrintable(f.errors.first()));
    QCOMPARE(f.status(), status);
    QCOMPARE(drill().WorksheetPrinting, false);
}

void TestWorksheetPrint::aRealPrintToPdf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    printer->pdfFile = dir.filePath(u"sheets.pdf"_s);
    chooseKind(1);
    chooseLength(25);
    clickPrint({ u"yes"_s });
    QVERIFY(f.errors.isEmpty());
    QVERIFY(QFileInfo(printer->pdfFile).size() > 0);
    // To look at the sheets: TOVEMI_KEEP_PDF=/some/file.pdf tst_worksheet_print aRealPrintToPdf
    if (const QString keep = qEnvironmentVariable("TOVEMI_KEEP_PDF"); !keep.isEmpty())
        QFile::copy(printer->pdfFile, keep);

    QProcess info;
    info.start(u"pdfinfo"_s, { printer->pdfFile });
    QVERIFY(info.waitForFinished());
    QVERIFY2(QString::fromUtf8(info.readAllStandardOutput())
                     .contains(QRegularExpression(u"Pages:\\s+6\\b"_s)),
             "six pages: three problem sheets, then three answer sheets");

    auto pageText = [&](int page) {
        QProcess text;
        text.start(u"pdftotext"_s,
                   { u"-f"_s, QString::number(page), u"-l"_s, QString::number(page), u"-layout"_s,
                     printer->pdfFile, u"-"_s });
        text.waitForFinished();
        return QString::fromUtf8(text.readAllStandardOutput());
    };
    auto numbersOn = [](const QString &text) {
        int n = 0;
        for (const QString &word : text.split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts))
            n += word.contains(QRegularExpression(u"^[0-9.]+$"_s)) ? 1 : 0;
        return n;
    };
    const QString problems = pageText(1), answers = pageText(4), lastAnswers = pageText(6);
    QVERIFY2(problems.contains(u"なまえ"_s), qPrintable(problems));
    QVERIFY(problems.contains(u"もとになる量"_s) && problems.contains(u"くらべられる量"_s));
    // Kind 1 hides one printed ratio per row: 30 numbers on a problem page, 40 on an answer page.
    QCOMPARE(numbersOn(problems), 30);
    QCOMPARE(numbersOn(answers), 40);
    QCOMPARE(numbersOn(lastAnswers), 20);
    const ProblemRow &row1 = drill().ProblemTable[1];
    const double hidden = row1.BaseRatio < 0 ? -row1.BaseRatio : -row1.ComparedRatio;
    QVERIFY(answers.contains(generalNumberText(hidden)));
}

// A teacher reprints the pages a pupil lost: pages 2 and 3 of 25 problems are problem pages 2
// and 3, rows 11 to 25.
void TestWorksheetPrint::aPageRangeReprintsThosePagesOfTheOneDocument()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    printer->pdfFile = dir.filePath(u"pages.pdf"_s);
    printer->range = std::pair { 2, 3 };
    chooseKind(1);
    chooseLength(25);
    clickPrint({ u"yes"_s });
    QVERIFY(f.errors.isEmpty());
    QProcess info;
    info.start(u"pdfinfo"_s, { printer->pdfFile });
    QVERIFY(info.waitForFinished());
    QVERIFY2(QString::fromUtf8(info.readAllStandardOutput())
                     .contains(QRegularExpression(u"Pages:\\s+2\\b"_s)),
             "two pages");
    // Each row's base amount and compared amount are given; one ratio of each is hidden.
    auto rowsOn = [&](int page) {
        QProcess text;
        text.start(u"pdftotext"_s,
                   { u"-f"_s, QString::number(page), u"-l"_s, QString::number(page), u"-layout"_s,
                     printer->pdfFile, u"-"_s });
        text.waitForFinished();
        QList<QStringList> rows;
        const QStringList lines = QString::fromUtf8(text.readAllStandardOutput()).split(u'\n');
        for (const QString &line : lines) {
            const QStringList words = line.split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts);
            if (words.size() == 3 && words.first().contains(QRegularExpression(u"^[0-9.]+$"_s)))
                rows << words;
        }
        return rows;
    };
    auto givenOf = [](int row) {
        QStringList given;
        for (double v :
             { drill().ProblemTable[row].BaseAmount, drill().ProblemTable[row].BaseRatio,
               drill().ProblemTable[row].ComparedAmount, drill().ProblemTable[row].ComparedRatio })
            if (v >= 0)
                given << generalNumberText(v);
        return given;
    };
    const QList<QStringList> first = rowsOn(1), second = rowsOn(2);
    QCOMPARE(first.size(), 10);
    QCOMPARE(second.size(), 5);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(first[i], givenOf(11 + i));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(second[i], givenOf(21 + i));
}

void TestWorksheetPrint::thePrinterIsMadeAtTheFirstPrintAndKept()
{
    f.window->PrinterSetupDialog1.reset(); // the program's own printer
    clickPrint({ u"ok"_s });
    QVERIFY(!f.window->PrinterSetupDialog1);

    chooseKind(1);
    chooseLength(5);
    // The teacher turns the paper in the first dialog; both are cancelled.
    QList<QPrinter *> printers;
    QList<QPageLayout::Orientation> orientations;
    auto turnAndCancel = [&](QPrintDialog *dialog) {
        printers << dialog->printer();
        orientations << dialog->printer()->pageLayout().orientation();
        dialog->printer()->setPageOrientation(QPageLayout::Landscape);
        dialog->reject();
    };
    QVERIFY(clickPrintWithDialog(turnAndCancel));
    QVERIFY(f.window->PrinterSetupDialog1);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        // No queue: a PDF file in a folder that exists, so printing needs no more than a press.
        QCOMPARE(printers.first()->outputFormat(), QPrinter::PdfFormat);
        const QFileInfo file(printers.first()->outputFileName());
        QCOMPARE(file.fileName(), u"問題プリント.pdf"_s);
        QVERIFY2(file.dir().exists(), qPrintable(file.absolutePath()));
    }
    QVERIFY(clickPrintWithDialog(turnAndCancel));
    QCOMPARE(printers, (QList<QPrinter *> { printers.first(), printers.first() }));
    QCOMPARE(orientations.last(), QPageLayout::Landscape);
    QVERIFY(f.errors.isEmpty());
}

void TestWorksheetPrint::theRealPrintDialog()
{
    // A home of our own, so the file the dialog offers lands in a temporary folder.
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(QDir(home.path()).mkpath(u"Documents"_s));
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(u"config"_s).toLocal8Bit());
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    });
    f.window->PrinterSetupDialog1.reset(); // the program's own printer
    chooseKind(3);
    chooseLength(15);
    QTest::mouseClick(f.window->Button1, Qt::LeftButton);
    const QString status = f.status();
    const double firstBase = drill().ProblemTable[1].BaseAmount;

    QPrinter *used = nullptr;
    auto clickWithDialog = [&](bool accept) {
        QString seenStatus;
        QVERIFY(clickPrintWithDialog([&, accept](QPrintDialog *dialog) {
            used = dialog->printer();
            seenStatus = f.status();
            // Only what the print honours: a range of its pages, copies, no selection.
            QVERIFY(dialog->testOption(QPrintDialog::PrintPageRange));
            QVERIFY(!dialog->testOption(QPrintDialog::PrintSelection));
            QVERIFY(!dialog->testOption(QPrintDialog::PrintCurrentPage));
            QCOMPARE(dialog->maxPage(), 4);
            accept ? dialog->accept() : dialog->reject();
        }));
        QCOMPARE(seenStatus, u"印刷中です"_s);
    };

    clickWithDialog(false);
    QCOMPARE(f.status(), status);
    QCOMPARE(drill().ProblemTable[1].BaseAmount, firstBase);
    QVERIFY(f.errors.isEmpty());

    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("a printer queue is installed; printing to it from a test would use paper");
    const QString pdf = home.filePath(u"Documents/問題プリント.pdf"_s);
    clickWithDialog(true);
    QVERIFY2(f.errors.isEmpty(), qPrintable(f.errors.join(u'\n')));
    QCOMPARE(f.status(), status);
    // A PDF file prints at 600 dpi, so the sheets' fixed margins have a common printer's size.
    QCOMPARE(used->resolution(), 600);
    QProcess info;
    info.start(u"pdfinfo"_s, { pdf });
    QVERIFY(info.waitForFinished());
    QVERIFY2(QString::fromUtf8(info.readAllStandardOutput())
                     .contains(QRegularExpression(u"Pages:\\s+4\\b"_s)),
             "two problem pages, then two answer pages, in the file the dialog offered");
}

QTEST_MAIN(TestWorksheetPrint)
#include "tst_worksheet_print.moc"
