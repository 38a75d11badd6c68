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
    QList<QLine> lines; // from moveTo/lineTo
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
    int failAtPage = 0; // newPage fails when this page would start
    QList<RecordedPage> pages;

    Result<void> beginJob() override
    {
        ++jobs;
        if (failBegin)
            return Failure(u"recorded failure"_s);
        pages.append(RecordedPage {});
        return {};
    }
    Result<void> newPage() override
    {
        if (failAtPage == pages.size() + 1)
            return Failure(u"recorded failure"_s);
        pages.append(RecordedPage {});
        return {};
    }
    Result<void> endJob() override { return {}; }

    void setFont(const QString &face, int pointSize) override
    {
        pages.last().fonts << face + u' ' + QString::number(pointSize);
    }
    int textWidth(const QString &text) override
    {
        ++pages.last().measures;
        return int(text.size()) * charWidth;
    }
    int textHeight(const QString &) override
    {
        ++pages.last().measures;
        return lineHeight;
    }
    void textOut(int x, int y, const QString &text) override
    {
        pages.last().texts.append({ x, y, text });
    }
    void moveTo(int x, int y) override { m_pen = { x, y }; }
    void lineTo(int x, int y) override
    {
        pages.last().lines.append(QLine(m_pen, QPoint(x, y)));
        m_pen = { x, y };
    }

private:
    QPoint m_pen;
};
