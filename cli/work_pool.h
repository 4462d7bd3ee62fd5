#pragma once
// The run's threads: started once, before the sources are gathered, and
// lent to each piece of work that can use more than its own thread. A thread
// made for one source's files would wait for a processor far longer than the
// files take (on a small machine the new thread is queued behind its maker),
// and at the end of a run the threads that ran out of sources are the ones
// free to help the last, largest one.
#include <cstddef>
#include <vector>

#include "cli/function_ref.h"
#include "cli/threads.h"

namespace vantorico {

class WorkPool {
 public:
  // Starts `threads` threads (fewer when the system gives no more); 0 makes
  // a pool whose work all runs on the threads that offer it.
  explicit WorkPool(unsigned threads);
  ~WorkPool();  // waits for the threads, once no work is offered
  WorkPool(const WorkPool&) = delete;
  WorkPool& operator=(const WorkPool&) = delete;

  // The threads asked for: at most this many help any work.
  unsigned size() const { return size_; }

  // work() offered to up to `count` of the pool's threads, each taking it
  // when it is free or becomes free while the Helpers lives. work() returns
  // when nothing is left to begin, so once one thread's call has returned no
  // other begins it; the destructor waits for the calls under way.
  class Helpers {
   public:
    Helpers(WorkPool& pool, unsigned count, FunctionRef<void()> work);
    ~Helpers();
    Helpers(const Helpers&) = delete;
    Helpers& operator=(const Helpers&) = delete;

   private:
    friend class WorkPool;
    WorkPool& pool_;
    FunctionRef<void()> work_;
    unsigned wanted_;
    unsigned running_ = 0;
    bool open_ = true;
  };

 private:
  void Serve();
  Helpers* Offered();  // with the lock held

  // What each thread runs; a member, as the threads hold a reference to it.
  struct Server {
    WorkPool* pool;
    void operator()() const { pool->Serve(); }
  };

  Monitor monitor_;
  std::vector<Helpers*> offers_;  // the latest last: it is taken first
  bool stopping_ = false;
  const unsigned size_;
  const Server server_{this};
  Threads threads_;  // last: started once the rest is ready
};

}  // namespace vantorico
