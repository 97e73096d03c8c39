#pragma once

#include <QDateTime>

// Where the program reads the current local date and time. Everything that schedules or
// stamps goes through one Clock, so tests can hold time still or move it on.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
};
