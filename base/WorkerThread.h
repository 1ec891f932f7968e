#pragma once

#include <QString>

#include <functional>

// Runs work on a thread of its own and returns when it has ended, while this thread's events go
// on (windows paint, keys and clicks arrive); raises again here what the work raised. Should the
// application quit meanwhile, stop is called and the work waited for. Returns false, having run
// nothing, when no thread can be had (a process at its limit).
bool RunOnWorker(const QString& name, const std::function<void()>& work,
                 const std::function<void()>& stop);
