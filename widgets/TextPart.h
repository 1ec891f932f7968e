#pragma once

#include <QStringView>

// The first count characters of text, or the last ones when fromEnd; a surrogate pair is never
// split. The whole text when it is no longer.
inline QStringView TextPart(QStringView text, qsizetype count, bool fromEnd) {
  if (count >= text.size()) return text;
  if (fromEnd) {
    if (text.at(text.size() - count).isLowSurrogate()) ++count;
    return text.right(count);
  }
  if (text.at(count - 1).isHighSurrogate()) ++count;
  return text.left(count);
}
