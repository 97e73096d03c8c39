#pragma once

class QSize;
class QWidget;

// Gives a window the size of its design and keeps it there where the desktop allows. Under
// Wayland the compositor may maximize any window, from its own title bar or a shortcut, and
// a window that cannot take the size it is given breaks the protocol and the connection:
// there the size is only the least the window takes.
void KeepWindowSize(QWidget& window, const QSize& size);
