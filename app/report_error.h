// The one way the window reports an error: a message box captioned with the program's title.
#pragma once

#include <QString>

#include <functional>

void ReportError(const QString &text);

// Tests replace the message box with a recorder; an empty function restores the box.
void SetErrorReporter(std::function<void(const QString &)> reporter);
