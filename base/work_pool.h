#pragma once

// Work on many files side by side on the machine's cores, with the results
// handed on in the order of the files: what the exporter and the study share.

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace sinkview {

struct PoolControl {
  // Once set, no further item is started; those in hand are finished.
  const std::atomic<bool>* cancel = nullptr;
  // After each item, with the items done so far (rising) and their total.
  std::function<void(std::size_t done, std::size_t total)> progress;
};

// Runs `worker` on the machine's cores (at most eight, the caller's thread
// one of them) and returns when every run has.
void RunOnCores(const std::function<void()>& worker);

// Calls work(i) for every i below `count` side by side and hands each result
// to take(i, result) in the order of i, as soon as those before it are
// handed on; take and the progress are called under one lock, never two at
// once. After a cancel the results in hand are still handed on, in order,
// past the items never started. Returns the number of items done.
template <typename Result, typename Work, typename Take>
std::size_t RunInOrder(std::size_t count, const Work& work, const Take& take,
                       const PoolControl& control = {}) {
  std::vector<std::optional<Result>> finished(count);
  std::atomic<std::size_t> next = 0;
  std::mutex lock; // guards finished, done and handedOn
  std::size_t done = 0, handedOn = 0;
  const auto handOn = [&](bool pastGaps) {
    for (; handedOn < count; ++handedOn) {
      std::optional<Result>& result = finished[handedOn];
      if (!result && !pastGaps) return;
      if (!result) continue;
      take(handedOn, std::move(*result));
      result.reset();
    }
  };
  RunOnCores([&] {
    for (std::size_t i = next++; i < count; i = next++) {
      if (control.cancel && control.cancel->load()) return;
      Result result = work(i);
      const std::lock_guard guard(lock);
      finished[i].emplace(std::move(result));
      handOn(false);
      ++done;
      if (control.progress) control.progress(done, count);
    }
  });
  handOn(true);
  return done;
}

} // namespace sinkview
