// The local clock, replaceable in tests.
#ifndef BELVON_PLATFORM_CLOCK_H
#define BELVON_PLATFORM_CLOCK_H

namespace platform {

struct LocalTime {
  int year = 0;    // four digits
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime now() const = 0;
};

const Clock& SystemClock();

// A clock that always shows the same moment.
class FixedClock : public Clock {
 public:
  explicit FixedClock(LocalTime at) : at_(at) {}
  LocalTime now() const override { return at_; }
  void set(LocalTime at) { at_ = at; }

 private:
  LocalTime at_;
};

}  // namespace platform

#endif  // BELVON_PLATFORM_CLOCK_H
