#include "app/message_boxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

using namespace Qt::StringLiterals;

void ReportError(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, u"Tovemi"_s, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
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
