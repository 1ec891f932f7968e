#include "base/WorkerThread.h"

#include <QEventLoop>
#include <QThread>

#include <exception>
#include <memory>

bool RunOnWorker(const QString& name, const std::function<void()>& work,
                 const std::function<void()>& stop) {
  // Exceptions do not cross threads: what the work raises is carried here.
  std::exception_ptr failure;
  const std::unique_ptr<QThread> worker(QThread::create([&work, &failure] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
  }));
  worker->setObjectName(name);
  QEventLoop loop;
  QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
  worker->start();
  if (!worker->isRunning() && !worker->isFinished()) return false;
  loop.exec();
  // Only an application that is quitting leaves the loop before the work ends.
  if (!worker->isFinished()) stop();
  worker->wait();
  if (failure) std::rethrow_exception(failure);
  return true;
}
