#pragma once
// TWorkerPool: a fixed set of threads that live as long as the pool and run one task at
// a time on all of them, the calling thread included. Starting threads for every
// generation would cost more than scoring a small one.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TWorkerPool {
 public:
  // threads counts the caller; the pool starts threads - 1 of its own.
  explicit TWorkerPool(std::int32_t threads);
  ~TWorkerPool();
  TWorkerPool(const TWorkerPool&) = delete;
  TWorkerPool& operator=(const TWorkerPool&) = delete;

  [[nodiscard]] std::int32_t Size() const noexcept {
    return static_cast<std::int32_t>(threads_.size()) + 1;
  }

  // Calls task(worker) once for every worker 0 .. Size() - 1, the caller being worker 0,
  // and returns when all calls have returned. If calls throw, Run throws the first
  // exception once all of them have returned.
  void Run(const std::function<void(std::int32_t worker)>& task);

 private:
  void Work(std::int32_t worker);
  void Fail(std::exception_ptr failure) noexcept;

  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  const std::function<void(std::int32_t)>* task_ = nullptr;
  std::exception_ptr failure_;  // the first exception of this round, under mutex_
  // Tasks come in bursts (scoring, ranking, breeding in every generation), so threads
  // watch these for a moment before they sleep on the condition variables.
  std::atomic<std::uint64_t> round_{0};
  std::atomic<std::int32_t> busy_{0};
  std::atomic<bool> stop_{false};
};
