#include "app/message_boxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {
std::function<void(const QString &)> &reporter()
{
    static std::function<void(const QString &)> r;
    return r;
}
} // namespace

void ReportError(const QString &text)
{
    if (reporter()) {
        reporter()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, u"Tovemi"_s, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void SetErrorReporter(std::function<void(const QString &)> r)
{
    reporter() = std::move(r);
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
