#include "widgets/TColor.h"

namespace {

// The system colour numbers that have a counterpart among the palette's roles.
bool SystemColorRole(int number, QPalette::ColorGroup& group, QPalette::ColorRole& role) {
  group = QPalette::Active;
  switch (number) {
    case 5:  // window background
      role = QPalette::Base;
      return true;
    case 8:  // window text
      role = QPalette::WindowText;
      return true;
    case 13:  // selection background
      role = QPalette::Highlight;
      return true;
    case 14:  // selection text
      role = QPalette::HighlightedText;
      return true;
    case 15:  // button face
      role = QPalette::Button;
      return true;
    case 16:  // button shadow
      role = QPalette::Dark;
      return true;
    case 17:  // grey text
      group = QPalette::Disabled;
      role = QPalette::Text;
      return true;
    case 18:  // button text
      role = QPalette::ButtonText;
      return true;
    case 20:  // button highlight
      role = QPalette::Light;
      return true;
    case 21:  // 3D dark shadow
      role = QPalette::Shadow;
      return true;
    case 22:  // 3D light
      role = QPalette::Midlight;
      return true;
    case 23:  // tooltip text
      role = QPalette::ToolTipText;
      return true;
    case 24:  // tooltip background
      role = QPalette::ToolTipBase;
      return true;
    default:
      return false;
  }
}

}  // namespace

QColor ColorToQColor(TColor color, const QPalette& palette) {
  if (IsSystemColor(color)) {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    // A system colour the palette has no role for is shown as the window's own background.
    if (!SystemColorRole(static_cast<int>(color & 0xFF), group, role)) {
      return palette.color(QPalette::Active, QPalette::Window);
    }
    return palette.color(group, role);
  }
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>(color >> 8 & 0xFF),
                static_cast<int>(color >> 16 & 0xFF));
}
