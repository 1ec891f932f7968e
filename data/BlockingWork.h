#pragma once

#include <QtGlobal>

#include <functional>

// The layer's calls that wait on the server (a login, a statement running, its rows arriving),
// handed to whoever may run them elsewhere: the window runs them on a worker thread and goes on
// painting. Run touches only the layer's objects, never the data set; Cancel, Progress and
// Connecting may be called from any thread while it runs.
struct BlockingWork {
  std::function<void()> Run;
  std::function<void()> Cancel;
  // The rows fetched so far.
  std::function<qint64()> Progress;
  // Whether the work is still connecting (empty: it does not connect).
  std::function<bool()> Connecting;
};

// Runs the work and returns when it is done; raises what Run raised. None: on the calling thread.
using BlockingRunner = std::function<void(const BlockingWork& work)>;
