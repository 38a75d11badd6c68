// A worksheet job that records what is drawn, page by page, with metrics chosen by the test.
#pragma once

#include "print/worksheet_page.h"

#include <QLine>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

using namespace Qt::StringLiterals;

struct DrawnText
{
    int x, y;
    QString text;
};

struct RecordedPage
{
    QList<DrawnText> texts;
    QList<QLine> lines; // from MoveTo/LineTo
    QStringList fonts;
    int measures = 0;
};

class RecordingJob : public WorksheetJob
{
public:
    int charWidth = 100; // a full-width character
    int lineHeight = 120;
    int jobs = 0;
    bool failBegin = false;
    int failAtPage = 0; // NewPage fails when this page would start
    QList<RecordedPage> pages;

    bool BeginJob() override
    {
        ++jobs;
        if (failBegin)
            return false;
        pages.append(RecordedPage {});
        return true;
    }
    bool NewPage() override
    {
        if (failAtPage == pages.size() + 1)
            return false;
        pages.append(RecordedPage {});
        return true;
    }
    bool EndJob() override { return true; }
    QString errorText() const override { return u"recorded failure"_s; }

    void SetFont(const QString &face, int pointSize) override
    {
        pages.last().fonts << face + u' ' + QString::number(pointSize);
    }
    int TextWidth(const QString &text) override
    {
        ++pages.last().measures;
        return int(text.size()) * charWidth;
    }
    int TextHeight(const QString &) override
    {
        ++pages.last().measures;
        return lineHeight;
    }
    void TextOut(int x, int y, const QString &text) override
    {
        pages.last().texts.append({ x, y, text });
    }
    void MoveTo(int x, int y) override { m_pen = { x, y }; }
    void LineTo(int x, int y) override
    {
        pages.last().lines.append(QLine(m_pen, QPoint(x, y)));
        m_pen = { x, y };
    }

private:
    QPoint m_pen;
};
