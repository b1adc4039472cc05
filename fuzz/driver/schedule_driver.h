#pragma once

#include <QByteArrayView>
#include <QString>

// Plays one schedule (the user's presses, the stand-in sites' answers, the
// clock's moves) on a program whose bases are stand-in sites, and checks the
// search run's rules after every step. The format is described at the top of
// schedule_driver.cpp; every input is a schedule.
namespace ScheduleDriver {

// The first rule the schedule broke and at which step; empty when none was.
QString play(QByteArrayView schedule);

} // namespace ScheduleDriver
