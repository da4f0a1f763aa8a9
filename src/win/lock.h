#pragma once
// A mutex on the system's slim reader/writer lock. Usable with
// std::lock_guard and std::unique_lock; unlike std::mutex it needs no
// threading runtime linked into the program.

#include <windows.h>

class Mutex {
  public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock() { AcquireSRWLockExclusive(&lock_); }
    void unlock() { ReleaseSRWLockExclusive(&lock_); }
    bool try_lock() { return TryAcquireSRWLockExclusive(&lock_) != FALSE; }

  private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};
