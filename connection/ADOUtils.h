#pragma once

#include <QString>

class TADOConnection;

// Lets the user edit the connection's string on a scratch copy owned by the application object.
// The given connection is only read. On return, changed tells whether the user confirmed a string
// that differs (code unit by code unit) from the connection's; text is then the new string,
// otherwise the connection's current one.
void PromptConnectionString(TADOConnection* connection, bool& changed, QString& text);
