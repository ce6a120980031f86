// A request to stop long work early: raised on one thread, asked by the work on another between
// its steps (rows of a decode, records of a metafile). Work that finds it raised stops at the next
// step and gives no result.
#pragma once

#include <atomic>

class CancelFlag {
public:
    void raise() { m_raised.store(true, std::memory_order_relaxed); }
    bool raised() const { return m_raised.load(std::memory_order_relaxed); }
    // For code that takes a plain flag (the metafile players).
    const std::atomic<bool>* flag() const { return &m_raised; }

private:
    std::atomic<bool> m_raised{false};
};
