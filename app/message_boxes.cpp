#include "app/message_boxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include <memory>

using namespace Qt::StringLiterals;

void ReportError(const QString &text)
{
    ask(new QMessageBox(QMessageBox::Critical, u"Tovemi"_s, text, QMessageBox::Ok,
                        QApplication::activeWindow()),
        [](int) {});
}

void ask(QDialog *box, std::function<void(int result)> answered)
{
#ifdef Q_OS_WASM
    QObject::connect(box, &QDialog::finished, box,
                     [box, answered = std::move(answered)](int result) {
                         box->deleteLater();
                         answered(result);
                     });
    box->open();
#else
    const std::unique_ptr<QDialog> owned(box);
    answered(box->exec());
#endif
}

void CentredBox::showEvent(QShowEvent *event)
{
    QMessageBox::showEvent(event);
    QScreen *target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(target->availableGeometry().center());
    move(frame.topLeft());
}

void InformationBox::closeEvent(QCloseEvent *event)
{
    closedFromTitleBar = true;
    event->accept();
    done(QDialog::Rejected);
}
