#pragma once

// The time of day, injected so that tests can cross midnight on demand.
namespace kestrel::platform {

class Clock {
  public:
    virtual ~Clock() = default;
    /// Seconds since local midnight, with fractions.
    virtual double SecondsSinceMidnight() const = 0;
};

class SystemClock : public Clock {
  public:
    double SecondsSinceMidnight() const override;
};

}  // namespace kestrel::platform
