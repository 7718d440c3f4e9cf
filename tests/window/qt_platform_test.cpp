// The real platform services that need the window system.

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include "ui/qt/qt_platform.h"

namespace dravilo {
namespace {

TEST(QtPlatformIcon, ProgramIconComesAtTheLargeAndSmallSizes)
{
    QWidget window;
    QtPlatform platform;
    platform.setWindow(&window);
    platform.setIcon(QStringLiteral("Icon1"));
    for (const QIcon& icon : {QApplication::windowIcon(), window.windowIcon()}) {
        const QList<QSize> sizes = icon.availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(32, 32)) && sizes.contains(QSize(16, 16)));
        for (const int size : {32, 16}) {
            const QImage drawn = icon.pixmap(size).toImage();
            ASSERT_EQ(drawn.size(), QSize(size, size));
            EXPECT_GT(qAlpha(drawn.pixel(size / 2, size / 2)), 0) << "the post stands in the middle";
        }
    }
}

}  // namespace
}  // namespace dravilo
