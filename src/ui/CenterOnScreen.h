#pragma once

class QWidget;

// Moves a window to the middle of the primary screen, by integer halves; on a screen narrower
// than the window its left edge is negative. Without a screen the window stays where it is.
void CenterOnScreen(QWidget& window);
