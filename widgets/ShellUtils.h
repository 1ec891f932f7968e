#pragma once

#include <QString>

#include <functional>

inline constexpr int SW_SHOWNORMAL = 1;

// One request to the desktop shell: the default action on the target.
struct ShellRequest {
  QString target;
  QString parameters;
  QString directory;
  int showCommand = SW_SHOWNORMAL;
};

// Carries out the default action on the target: a program is started with the parameters in the
// directory, anything else (a web address, a document) is opened by the desktop's handler. The
// outcome is not looked at and nothing is reported; the window manager decides how a window
// shows, so the show command is passed on only to the request handler.
void ShellOpen(const QString& target, const QString& parameters, const QString& directory,
               int showCommand);
// ShellOpen with no parameters, no directory and the normal show mode.
void OpenDocument(const QString& target);

using ShellRequestHandler = std::function<void(const ShellRequest&)>;
// Replaces the desktop shell for every following request (an empty handler restores it), so
// that tests can see what would be opened; returns the previous handler.
ShellRequestHandler SetShellRequestHandler(ShellRequestHandler handler);
