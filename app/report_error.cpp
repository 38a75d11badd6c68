#include "app/report_error.h"

#include <QApplication>
#include <QMessageBox>

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
