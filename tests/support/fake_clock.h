#pragma once

#include <deque>

#include "platform/clock.h"

namespace kestrel::support {

/// A clock that reads the times it was given, one per call, and then keeps the last.
class FakeClock : public platform::Clock {
  public:
    void Set(double seconds) {
        times_.clear();
        last_ = seconds;
    }
    void Queue(double seconds) { times_.push_back(seconds); }

    double SecondsSinceMidnight() const override {
        if (!times_.empty()) {
            last_ = times_.front();
            times_.pop_front();
        }
        return last_;
    }

  private:
    mutable std::deque<double> times_;
    mutable double last_ = 12 * 3600.0;
};

}  // namespace kestrel::support
