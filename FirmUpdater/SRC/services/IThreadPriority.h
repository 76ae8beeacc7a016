#pragma once
// Thread priorities: the update's worker runs one step below the dialog that waits for it.

class IThreadPriority {
  public:
    virtual ~IThreadPriority() = default;

    // Moves the calling thread one step below its priority. Failures are ignored: the thread
    // then simply runs at the priority it had.
    virtual void LowerCallingThreadOneStep() = 0;
};
