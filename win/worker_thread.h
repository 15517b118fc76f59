#pragma once

#include <windows.h>

#include <functional>

#include "win/unique_handle.h"

// A job on a thread of its own. The object waits for the job to end before it goes.
class WorkerThread {
 public:
  WorkerThread() = default;
  ~WorkerThread() { Join(); }
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // False when the system could not start a thread; the job has not run then.
  bool Start(std::function<void()> job);
  // Waits for the job to end, if one was started.
  void Join();
  // Whether a job was started and its thread has not ended yet.
  bool IsRunning() const;

 private:
  static DWORD WINAPI Run(void* self);

  std::function<void()> job_;
  ScopedHandle thread_;
};
