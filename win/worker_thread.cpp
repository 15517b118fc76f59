#include "win/worker_thread.h"

#include <utility>

bool WorkerThread::Start(std::function<void()> job) {
  Join();
  job_ = std::move(job);
  thread_ = ScopedHandle(::CreateThread(nullptr, 0, &WorkerThread::Run, this, 0, nullptr));
  return thread_.IsValid();
}

void WorkerThread::Join() {
  if (!thread_.IsValid()) return;
  (void)::WaitForSingleObject(thread_.Get(), INFINITE);
  (void)thread_.Close();
}

bool WorkerThread::IsRunning() const {
  return thread_.IsValid() && ::WaitForSingleObject(thread_.Get(), 0) == WAIT_TIMEOUT;
}

DWORD WINAPI WorkerThread::Run(void* self) {
  static_cast<WorkerThread*>(self)->job_();
  return 0;
}
