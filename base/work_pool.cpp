#include "base/work_pool.h"

#include <algorithm>
#include <thread>

namespace sinkview {

void RunOnCores(const std::function<void()>& worker) {
  const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1U, 8U);
  std::vector<std::thread> workers;
  for (unsigned c = 1; c < cores; ++c) workers.emplace_back(worker);
  worker();
  for (std::thread& w : workers) w.join();
}

} // namespace sinkview
