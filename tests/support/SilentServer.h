#pragma once

#include <QString>

// A listening socket that nobody accepts on: the system completes the connections and keeps them
// in the backlog, and no server ever says a word. Closing it tells the logins still waiting that
// the connection is gone.
class SilentServer {
 public:
  SilentServer();
  ~SilentServer();
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  int Port() const { return FPort; }
  // The connection string with this server's port in place of its own.
  QString Reached(QString connection) const;

 private:
  int FSocket;
  int FPort = 0;
};
