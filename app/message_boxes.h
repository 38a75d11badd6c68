// The window's message boxes: the one way it reports an error, and the boxes it asks with.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QDialog;

void ReportError(const QString &text);

// Shows `box` over the window and calls `answered` with its result once it is closed, then
// deletes it. On the desktop the box waits in an event loop of its own; a page's one thread
// has room for no second loop, so there the box opens, the handler returns, and the answer
// comes from the box's signal.
void ask(QDialog *box, std::function<void(int result)> answered);

// A message box lays itself out again as it is shown, after any move made before exec(), so
// it finds the screen's centre only then.
class CentredBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override;
};

// Qt reports a box closed from its title bar as its escape button, which here is OK; the
// information box must tell the two apart, since only the title bar goes on to printing.
class InformationBox : public CentredBox
{
public:
    using CentredBox::CentredBox;
    bool closedFromTitleBar = false;

protected:
    void closeEvent(QCloseEvent *event) override;
};
