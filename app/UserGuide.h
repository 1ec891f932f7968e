#pragma once

#include <QString>

// The user guide installed with the program (README.md as a local page): share/doc/rowmill
// beside the folder of the executable, in the installation and in the build tree alike.
QString UserGuidePath();
