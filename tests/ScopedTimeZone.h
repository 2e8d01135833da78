#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace pelorin::test {

// Sets TZ for one test and puts the old value back. POSIX rules such as
// "CET-1CEST,M3.5.0,M10.5.0/3" need no tzdata on the machine.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char *tz) {
        if (const char *old = std::getenv("TZ"))
            old_ = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone &) = delete;
    ScopedTimeZone &operator=(const ScopedTimeZone &) = delete;

private:
    std::optional<std::string> old_;
};

} // namespace pelorin::test
