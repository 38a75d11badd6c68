// The print button: the two questions, the print dialog, a fresh set, and the sheets.
#include "app/form1.h"

#include "app/message_boxes.h"
#include "devices/printer_job.h"
#include "devices/worksheet_printer.h"
#include "drill/drill.h"
#include "print/worksheet_page.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

// The texts keep their line breaks as written; Qt shows "\r\n" as a line break of its own.
QString boxText(const QString &text)
{
    return QString(text).replace(u"\r\n"_s, u"\n"_s);
}

} // namespace

void TForm1::BitBtn1Click()
{
    if (worksheetsCanBePrinted(CheckBox1->isChecked(), m_drill.ProblemKind)) {
        confirmPrinting();
        return;
    }
    auto *info = new InformationBox(
            QMessageBox::Information, u"情報"_s,
            boxText(u"このボタンは、量と割合の問題を印刷するボタンです。\r\n\n左の縦１列の問題を選び、問題数を決めてから選んでください"_s),
            QMessageBox::NoButton, this);
    QPushButton *ok = info->addButton(u"OK"_s, QMessageBox::AcceptRole);
    info->setDefaultButton(ok);
    info->setEscapeButton(ok);
    ask(info, [this, info](int) {
        if (info->closedFromTitleBar)
            confirmPrinting();
    });
}

void TForm1::confirmPrinting()
{
    auto *confirm = new CentredBox(
            QMessageBox::Warning, u"警告"_s,
            boxText(u"このボタンは　問題を印刷するボタンです。\r\n\n印刷しますか？"_s),
            QMessageBox::NoButton, this);
    QPushButton *yes = confirm->addButton(u"はい(&Y)"_s, QMessageBox::YesRole);
    QPushButton *no = confirm->addButton(u"いいえ(&N)"_s, QMessageBox::NoRole);
    confirm->setDefaultButton(yes);
    confirm->setEscapeButton(no);
    ask(confirm, [this, confirm, yes](int) {
        if (confirm->clickedButton() == yes)
            printWorksheetSets();
    });
}

void TForm1::printWorksheetSets()
{
    const QString savedStatus = Edit10->text();
    setStatus(u"印刷中です"_s);
    if (!PrinterSetupDialog1)
        PrinterSetupDialog1 = makeQtWorksheetPrinter();
    // The set the print makes has the drill's chosen length, or a whole set.
    const int pageCount = worksheetPageCount(m_drill.printedSetLength());
    // Cancel reads キャンセル: it means "do not print", and the set is not yet rebuilt.
    if (!PrinterSetupDialog1->choose(this, pageCount)) {
        setStatus(savedStatus);
        return;
    }

    m_drill.WorksheetPrinting = true;
    m_drill.Rng.seedFromClock();
    MakeProblems();
    const int count = m_drill.DrillLength;
    const PrintableArea area = PrinterSetupDialog1->printableArea();
    std::unique_ptr<WorksheetJob> job = PrinterSetupDialog1->makeJob();
    const auto printed = printWorksheets(*job, m_drill.ProblemTable, count, area,
                                         PrinterSetupDialog1->pageChoice());
    job.reset();
    m_drill.WorksheetPrinting = false;
    setStatus(savedStatus);
    if (!printed)
        ReportError(u"ワークシートを印刷できませんでした。\n"_s + printed.errorString());
}
