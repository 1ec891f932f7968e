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

// Opens a local file with the desktop's opener (xdg-open, else a browser Qt finds) and calls failed
// with the reason when nothing can open it: at once when no opener is installed, later when the
// opener gives up (no program for the file's type). A test's request handler, when set, takes the
// request instead, as for ShellOpen.
void OpenLocalDocument(const QString& path, std::function<void(const QString& reason)> failed);

using ShellRequestHandler = std::function<void(const ShellRequest&)>;
// Replaces the desktop shell for every following request (an empty handler restores it), so
// that tests can see what would be opened; returns the previous handler.
ShellRequestHandler SetShellRequestHandler(ShellRequestHandler handler);
