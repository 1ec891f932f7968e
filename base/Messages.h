#pragma once

#include <QString>

// "%s: %s": a message raised on behalf of a named component.
QString ComponentMessage(const QString& componentName, const QString& message);

// Removes every trailing character at or below U+0020 and every trailing full stop, in any mix,
// so a driver's or the system's text reads like the program's own short phrases.
QString TrimMessageEnd(const QString& text);

// "OLE error %.8x": the text for a failure code that comes without a description.
QString OleErrorText(qint32 code);
