#include "cli/work_pool.h"

#include <algorithm>

namespace vantorico {

WorkPool::WorkPool(unsigned threads) : size_(threads), threads_(threads, server_) {}

WorkPool::~WorkPool() {
  monitor_.Lock();
  stopping_ = true;
  monitor_.WakeAll();
  monitor_.Unlock();
  // threads_ is destroyed next: it waits for them.
}

WorkPool::Helpers* WorkPool::Offered() {
  for (auto it = offers_.rbegin(); it != offers_.rend(); ++it) {
    if ((*it)->open_ && (*it)->running_ < (*it)->wanted_) return *it;
  }
  return nullptr;
}

void WorkPool::Serve() {
  monitor_.Lock();
  for (;;) {
    Helpers* offer = Offered();
    if (!offer) {
      if (stopping_) break;
      monitor_.Wait();
      continue;
    }
    ++offer->running_;
    monitor_.Unlock();
    offer->work_();
    monitor_.Lock();
    offer->open_ = false;  // nothing is left to begin
    --offer->running_;
    monitor_.WakeAll();
  }
  monitor_.Unlock();
}

WorkPool::Helpers::Helpers(WorkPool& pool, unsigned count, FunctionRef<void()> work)
    : pool_(pool), work_(work), wanted_(std::min(count, pool.size())) {
  if (wanted_ == 0) return;
  pool_.monitor_.Lock();
  pool_.offers_.push_back(this);
  pool_.monitor_.WakeAll();
  pool_.monitor_.Unlock();
}

WorkPool::Helpers::~Helpers() {
  if (wanted_ == 0) return;
  pool_.monitor_.Lock();
  open_ = false;
  while (running_ > 0) pool_.monitor_.Wait();
  pool_.offers_.erase(std::find(pool_.offers_.begin(), pool_.offers_.end(), this));
  pool_.monitor_.Unlock();
}

}  // namespace vantorico
