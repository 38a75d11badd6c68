#include "app/accessibility.h"

#include "app/form1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFrame>

namespace {

QAccessibleInterface *windowRoles(const QString &className, QObject *object)
{
    if (auto *form = qobject_cast<TForm1 *>(object))
        return new QAccessibleWidget(form, QAccessible::Window);
    auto *frame = qobject_cast<QFrame *>(object);
    if (frame && className == u"QFrame" && frame->objectName().startsWith(u"Panel"))
        return new QAccessibleWidget(frame, QAccessible::Pane);
    return nullptr;
}

} // namespace

void installWindowRoles()
{
    static bool installed = false;
    if (!std::exchange(installed, true))
        QAccessible::installFactory(windowRoles);
}

void announce(QWidget *focused, const QString &text)
{
    if (!focused)
        return;
    // The same text twice in a row would be no change, and so not said at all.
    if (focused->accessibleDescription() == text)
        focused->setAccessibleDescription(QString());
    focused->setAccessibleDescription(text);
}
