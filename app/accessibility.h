// What assistive technology is told of the window: what each object is, and what changed.
#pragma once

class QString;
class QWidget;

// The window's roles as a screen reader needs them: the main window is a window, named with
// its title, and its raised panels are panels. Qt's defaults expose a plain top-level widget as
// a "filler" and every QFrame as a "frame", which screen readers take for a window of its own,
// so that they drop each focus change inside a panel as coming from a window not active.
void installWindowRoles();

// Says `text` once, now, through the widget that has the focus, without moving it: its
// accessible description becomes the text. A screen reader presents a change of the focused
// object's description as a message (Qt 6.4 has no call of its own for an announcement), and
// reads the description again with the object's name whenever the focus comes back to it.
void announce(QWidget *focused, const QString &text);
