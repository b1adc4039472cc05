#include "schedule_driver.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <random>

// The schedule fuzzer's seeds and a bounded pass of random schedules: each
// keeps the search run's rules.
TEST(ScheduleTest, schedulesKeepTheRunsRules)
{
    const QDir seeds(QStringLiteral(PELLICAM_FIXTURES "/schedules"));
    const QStringList names = seeds.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString &name : names) {
        QFile file(seeds.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(ScheduleDriver::play(file.readAll()), QString()) << name.toStdString();
    }
    std::mt19937 random(22);
    for (int i = 0; i < 300; ++i) {
        QByteArray schedule(int(random() % 160), Qt::Uninitialized);
        for (char &byte : schedule)
            byte = char(random());
        ASSERT_EQ(ScheduleDriver::play(schedule), QString()) << schedule.toHex().toStdString();
    }
}
