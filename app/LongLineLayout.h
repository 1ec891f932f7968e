#pragma once

class QPlainTextEdit;

// Keeps an editor quick on very long lines (a pasted statement of megabytes on one line). Qt lays
// out, shapes and draws a line whole, about a microsecond per character, throws the shaping away
// after each paint, and repaints the cursor's line at every blink: a long line was shaped and
// drawn again for longer than a blink lasts, and the window never came back. Long lines keep
// their layout, shaping is skipped where the script does not need it, and while a long line is
// in the editor the cursor does not blink.
void KeepLongLinesLaidOut(QPlainTextEdit* editor);
