#include "core/scoring/WorkerPool.h"

#include <chrono>
#include <utility>

namespace {

// Half a millisecond of watching: longer than the serial work between the parallel parts
// of a generation, showing a new best model included, and short enough not to matter when
// the search is idle. A tenth let a thread fall asleep before a quarter of the generations,
// and waking it on a virtual machine cost more than the watching. Measured by the clock: a
// pause takes 10 cycles on some processors and 100 ns on others.
constexpr std::chrono::microseconds SpinTime{500};
// Looks between two readings of the clock.
constexpr int SpinBatch = 32;

inline void Relax() noexcept {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#else
  std::this_thread::yield();
#endif
}

// Watches until done() holds or the spin time passes; true if it holds.
template <typename Done>
bool SpinUntil(Done done) noexcept {
  const auto until = std::chrono::steady_clock::now() + SpinTime;
  for (;;) {
    for (int i = 0; i < SpinBatch; ++i) {
      if (done()) return true;
      Relax();
    }
    if (std::chrono::steady_clock::now() >= until) return done();
  }
}

}  // namespace

TWorkerPool::TWorkerPool(std::int32_t threads) {
  for (std::int32_t worker = 1; worker < threads; ++worker) {
    threads_.emplace_back([this, worker] { Work(worker); });
  }
}

TWorkerPool::~TWorkerPool() {
  {
    std::lock_guard lock(mutex_);
    stop_.store(true, std::memory_order_release);
  }
  wake_.notify_all();
  for (std::thread& thread : threads_)
    thread.join();
}

void TWorkerPool::Run(const std::function<void(std::int32_t)>& task) {
  task_ = &task;
  busy_.store(static_cast<std::int32_t>(threads_.size()), std::memory_order_relaxed);
  {
    // Under the lock, so that a thread about to sleep sees the new round.
    std::lock_guard lock(mutex_);
    round_.fetch_add(1, std::memory_order_release);
  }
  wake_.notify_all();
  try {
    task(0);
  } catch (...) {
    Fail(std::current_exception());
  }
  const auto finished = [this] { return busy_.load(std::memory_order_acquire) == 0; };
  if (!SpinUntil(finished)) {
    std::unique_lock lock(mutex_);
    done_.wait(lock, finished);
  }
  task_ = nullptr;
  // Every call has returned, so nothing else touches failure_ now.
  if (std::exception_ptr failure = std::exchange(failure_, nullptr))
    std::rethrow_exception(failure);
}

void TWorkerPool::Fail(std::exception_ptr failure) noexcept {
  std::lock_guard lock(mutex_);
  if (!failure_) failure_ = std::move(failure);
}

void TWorkerPool::Work(std::int32_t worker) {
  std::uint64_t seen = 0;
  for (;;) {
    const auto called = [&] {
      return stop_.load(std::memory_order_acquire) ||
             round_.load(std::memory_order_acquire) != seen;
    };
    if (!SpinUntil(called)) {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, called);
    }
    if (stop_.load(std::memory_order_acquire)) return;
    seen = round_.load(std::memory_order_acquire);
    try {
      (*task_)(worker);
    } catch (...) {
      Fail(std::current_exception());
    }
    if (busy_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      std::lock_guard lock(mutex_);
      done_.notify_one();
    }
  }
}
