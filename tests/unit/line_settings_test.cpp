#include <gtest/gtest.h>

#include "base/line_settings.h"
#include "host/device_port.h"
#include "host/port_device.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace dravilo;

TEST(LineSettings, ParsesAndReportsInItsOwnForm)
{
    const auto s = ParseLineSettings("19200,E,7,2");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->baudRate, 19200);
    EXPECT_EQ(s->parity, u'e');
    EXPECT_EQ(s->text(), "19200,e,7,2");
    EXPECT_EQ(ParseLineSettings("9600,n,8,1")->text(), "9600,n,8,1");
}

namespace {

const char* const kUnusableSettings[] = {"", "9600", "9600,n,8", "9600,x,8,1", "abc,n,8,1", "0,n,8,1",
                                         "9600,n,9,1", "9600,n,4,1", "9600,n,8,3", "9600,nn,8,1", "9600,n,8,1,1"};

}  // namespace

TEST(LineSettings, RejectsWhatALineCannotUse)
{
    for (const char* text : kUnusableSettings)
        EXPECT_FALSE(ParseLineSettings(text)) << text;
}

// The system's own port of this build (QSerialPort, or Win32 on Windows)
// refuses the same texts and keeps the settings it had.
TEST(DevicePort, RefusesWhatALineCannotUseAndKeepsItsSettings)
{
    const std::unique_ptr<SerialPort> port = MakeDevicePort([] { return QString(); });
    ASSERT_TRUE(port->setSettings("19200,E,7,2").ok());
    EXPECT_EQ(port->settings(), "19200,e,7,2");
    for (const char* text : kUnusableSettings) {
        EXPECT_EQ(port->setSettings(text).error, InvalidSetting(text).error) << text;
        EXPECT_EQ(port->settings(), "19200,e,7,2") << text;
    }
}

// On Windows COM n is the system's COMn (the Win32 port's tests open them).
#ifndef Q_OS_WIN
TEST(PortDevice, LinkInTheProgramFolderOrTheSystemPort)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    EXPECT_EQ(PortDevice(2, folder), "/dev/ttyS1");
    QDir(dir.path()).mkdir("ports");
    QFile target(dir.path() + "/device");
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.close();
    ASSERT_TRUE(QFile::link(target.fileName(), folder + "ports/COM2"));
    EXPECT_EQ(PortDevice(2, folder), folder + "ports/COM2");
    EXPECT_EQ(PortDevice(3, folder), "/dev/ttyS2");
    // A link whose device has gone still names its port, not another line.
    target.remove();
    EXPECT_EQ(PortDevice(2, folder), folder + "ports/COM2");
}
#endif
