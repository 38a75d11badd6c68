#include "app/accessibility.h"

#include "app/form1.h"

using namespace Qt::StringLiterals;

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFrame>
#include <QLabel>

namespace {

QAccessibleInterface *windowRoles(const QString &className, QObject *object)
{
    if (auto *form = qobject_cast<TForm1 *>(object))
        return new QAccessibleWidget(form, QAccessible::Window);
    auto *frame = qobject_cast<QFrame *>(object);
    if (frame && className == u"QFrame" && frame->objectName().startsWith(u"Panel"))
        return new QAccessibleWidget(frame, QAccessible::Pane);
    if (auto *label = qobject_cast<QLabel *>(object); label && label->objectName() == u"Announcer")
        return new QAccessibleWidget(label, QAccessible::Notification);
    return nullptr;
}

} // namespace

void installWindowRoles()
{
    static bool installed = false;
    if (!std::exchange(installed, true))
        QAccessible::installFactory(windowRoles);
}

QLabel *makeAnnouncer(QWidget *window)
{
    auto *announcer = new QLabel(window);
    announcer->setObjectName(u"Announcer"_s);
    announcer->setGeometry(0, 0, 1, 1);
    announcer->setAttribute(Qt::WA_TransparentForMouseEvents);
    announcer->hide();
    return announcer;
}

void announce(QLabel *announcer, const QString &text)
{
    if (text.isEmpty())
        return;
    announcer->hide();
    // One utterance: a screen reader may read only the first line of a name.
    announcer->setAccessibleName(text.split(u'\n', Qt::SkipEmptyParts).join(u"。"_s));
    announcer->show();
}
