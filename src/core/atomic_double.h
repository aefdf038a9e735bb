#pragma once

#include <atomic>

// A double that one thread may raise while another reads it, stored and loaded whole. Copying
// takes the current value, so records holding it stay plain values.
class AtomicDouble {
public:
    AtomicDouble(double value = 0) : value_(value) {}
    AtomicDouble(const AtomicDouble& other) : value_(other.Load()) {}
    AtomicDouble& operator=(const AtomicDouble& other) {
        Store(other.Load());
        return *this;
    }
    AtomicDouble& operator=(double value) {
        Store(value);
        return *this;
    }

    double Load() const { return value_.load(std::memory_order_relaxed); }
    void Store(double value) { value_.store(value, std::memory_order_relaxed); }

    // Sets the value to `candidate` if that is larger; never lowers it.
    void RaiseTo(double candidate) {
        double current = Load();
        while (candidate > current &&
               !value_.compare_exchange_weak(current, candidate, std::memory_order_relaxed)) {
        }
    }

private:
    std::atomic<double> value_;
};
