// The window's message boxes: the one way it reports an error, and the boxes it asks with.
#pragma once

#include <QMessageBox>
#include <QString>

void ReportError(const QString &text);

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
