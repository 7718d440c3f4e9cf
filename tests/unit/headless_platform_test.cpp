#include <gtest/gtest.h>

#include <QThread>

#include "host/headless_platform.h"

using namespace dravilo;

// The traffic's times: the wall clock's time of day to the millisecond,
// across the second at which it is taken anew.
TEST(HeadlessPlatform, TimeOfDayIsTheWallClocks)
{
    const HeadlessPlatform platform;
    for (int i = 0; i < 30; ++i, QThread::msleep(50)) {
        const QTime wall = QTime::currentTime();
        const int apart = std::abs(wall.msecsTo(platform.timeOfDay()));
        EXPECT_LE(std::min(apart, 86'400'000 - apart), 20) << wall.toString("hh:mm:ss.zzz").toStdString();
    }
}
