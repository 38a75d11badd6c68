// What assistive technology is told of the window: what each object is, and what changed.
#pragma once

class QLabel;
class QString;
class QWidget;

// The window's roles as a screen reader needs them: the main window is a window, named with
// its title, and its raised panels are panels. Qt's defaults expose a plain top-level widget as
// a "filler" and every QFrame as a "frame", which screen readers take for a window of its own,
// so that they drop each focus change inside a panel as coming from a window not active.
void installWindowRoles();

// The window's announcer: a label that paints nothing, which assistive technology sees as a
// notification. Qt 6.4 has no call of its own for an announcement; a notification that comes
// into view is what Orca reads out at once, without a move of the focus. (A change of the
// focused object's description or name is not: Qt 6.4 sends it without the new text, which
// Orca then cannot say.)
QLabel *makeAnnouncer(QWidget *window);
// Says `text` once, now: the announcer takes it as its name and comes into view anew.
void announce(QLabel *announcer, const QString &text);
