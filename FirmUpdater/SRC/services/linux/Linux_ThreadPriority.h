#pragma once
// Thread priorities on Linux: each thread has a nice value of its own, addressed by its
// thread ID.

class Linux_ThreadPriority {
  public:
    // Moves the calling thread one step below its priority (nice value + 1). Failures
    // are ignored: the thread then simply runs at the priority it had.
    static void LowerCallingThreadOneStep();
    // The calling thread's nice value.
    static int CallingThreadNice();
};
