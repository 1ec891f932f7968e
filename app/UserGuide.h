#pragma once

#include <QString>

// The user guide installed with the program (docs/user-guide.md as a local page): share/doc/rowmill
// beside the folder of the executable, in the installation and in the build tree alike.
QString UserGuidePath();

// The error box's text when nothing could show the guide: why, and which file to open by hand.
QString UserGuideNotOpenedMessage(const QString& path, const QString& reason);
