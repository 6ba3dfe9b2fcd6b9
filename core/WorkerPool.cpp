#include "WorkerPool.h"

TWorkerPool::TWorkerPool(std::int32_t threads) {
  for (std::int32_t worker = 1; worker < threads; ++worker) {
    threads_.emplace_back([this, worker] { Work(worker); });
  }
}

TWorkerPool::~TWorkerPool() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  for (std::thread& thread : threads_)
    thread.join();
}

void TWorkerPool::Run(const std::function<void(std::int32_t)>& task) {
  {
    std::lock_guard lock(mutex_);
    task_ = &task;
    busy_ = static_cast<std::int32_t>(threads_.size());
    ++round_;
  }
  wake_.notify_all();
  task(0);
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return busy_ == 0; });
  task_ = nullptr;
}

void TWorkerPool::Work(std::int32_t worker) {
  std::uint64_t seen = 0;
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stop_ || round_ != seen; });
    if (stop_) return;
    seen = round_;
    const auto* task = task_;
    lock.unlock();
    (*task)(worker);
    lock.lock();
    if (--busy_ == 0) done_.notify_one();
  }
}
