// The real binary under a locale whose decimal separator is neither "." nor
// ",": the host must get the same bytes as everywhere else.

#include <clocale>

#include "emulator_run.h"

using namespace dravilo;
using namespace dravilo::test;

namespace {

const char kPersian[] = "fa_IR.UTF-8";  // decimal separator U+066B

bool LocaleInstalled(const char* name)
{
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const bool installed = std::setlocale(LC_ALL, name) != nullptr;
    std::setlocale(LC_ALL, before.c_str());
    return installed;
}

QByteArray emptyScales(const QByteArray& price)
{
    return QByteArray(6, 0) + price + QByteArray(6, 0) + bytes({0x0D, 0x0A});
}

using BinaryLocale = EmulatorRun;

TEST_F(BinaryLocale, Zelm2FramesAreTheSameUnderAPersianLocale)
{
    if (!LocaleInstalled(kPersian))
        GTEST_SKIP() << kPersian << " is not installed (localedef -i fa_IR -f UTF-8 fa_IR.UTF-8)";
    QProcessEnvironment locale;
    locale.insert("LC_ALL", kPersian);
    start(2, locale);
    waitUntilAnswering();

    for (int i = 0; i < 3; ++i)  // the start-up sway
        ASSERT_EQ(ask(bytes({0x0A}), 20).size(), 20);
    EXPECT_EQ(ask(bytes({0x0A}), 20), emptyScales(bytes({4, 2, 0, 1, 0, 0})));  // 0010.24

    // Not the start-up price, so a price the host's digits never reach fails.
    EXPECT_EQ(ask(bytes({0x0B, 5, 7, 3, 2, 0, 0}), 2), bytes({0x0D, 0x0A}));
    EXPECT_EQ(ask(bytes({0x0A}), 20), emptyScales(bytes({5, 7, 3, 2, 0, 0})));  // 0023.75
}

}  // namespace
