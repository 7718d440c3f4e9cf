#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "host/owned_paths.h"

using namespace dravilo;

namespace {

constexpr uid_t kNobody = 65534;

// A folder with the mode and owners given; made whatever the umask.
void folder(const QString& path, mode_t mode, uid_t owner = ::geteuid(), gid_t group = gid_t(-1))
{
    ASSERT_TRUE(QDir().mkpath(path));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
    ASSERT_EQ(::chown(QFile::encodeName(path).constData(), owner, group), 0);
}

void link(const QString& target, const QString& path, uid_t owner = ::geteuid())
{
    ASSERT_TRUE(QFile::link(target, path));
    ASSERT_EQ(::lchown(QFile::encodeName(path).constData(), owner, gid_t(-1)), 0);
}

}  // namespace

// A settings folder is the user's alone, all the way to it: nothing another
// user made or may change on the way is followed.
TEST(OwnedPaths, ASettingsFolderIsTheUsersAlone)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "making another user's files needs root";
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_EQ(::chmod(QFile::encodeName(root).constData(), 0755), 0);
    const struct {
        const char* what;
        std::function<void()> make;
        const char* asked;
        const char* refusal;  // a part of the reason; none: safe
    } cases[] = {
        {"a folder of the user's", [&] { folder(root + "/own", 0700); }, "own", nullptr},
        {"one still to be made", [] {}, "new/settings", nullptr},
        {"in a shared folder like /tmp", [&] { folder(root + "/tmp", 01777, 0); folder(root + "/tmp/s", 0755); },
         "tmp/s", nullptr},
        {"through a link of the user's", [&] { folder(root + "/real", 0700); link(root + "/real", root + "/mine"); },
         "mine", nullptr},
        {"open to everyone", [&] { folder(root + "/open", 0777); }, "open", "other users may write to"},
        {"another user's", [&] { folder(root + "/theirs", 0700, kNobody); }, "theirs", "belongs to nobody"},
        {"to be made in another user's folder", [&] { folder(root + "/their777", 0777, kNobody); },
         "their777/settings", "belongs to nobody"},
        {"on the way, a group may rename it",
         [&] { folder(root + "/group", 0775, ::geteuid(), kNobody); folder(root + "/group/s", 0700); },
         "group/s", "other users may write to"},
        {"a link another user planted",
         [&] { folder(root + "/victim", 0700); folder(root + "/sticky", 01777, 0); link(root + "/victim", root + "/sticky/s", kNobody); },
         "sticky/s", "is a link that nobody made"},
        {"a link of the user's into another user's folder",
         [&] { folder(root + "/their", 0777, kNobody); link(root + "/their", root + "/into"); }, "into/s",
         "belongs to nobody"},
        {"a file", [&] { QFile f(root + "/file"); ASSERT_TRUE(f.open(QIODevice::WriteOnly)); }, "file", "is no folder"},
    };
    for (const auto& c : cases) {
        c.make();
        const QString why = NotOwnFolder(root + "/" + c.asked);
        if (c.refusal)
            EXPECT_TRUE(why.contains(c.refusal)) << c.what << ": " << why.toStdString();
        else
            EXPECT_TRUE(why.isEmpty()) << c.what << ": " << why.toStdString();
    }
}

// A link another user made where others may write is not followed; the
// user's own links, root's, and links in the user's own folders are.
TEST(OwnedPaths, APlantedLinkIsKnown)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "making another user's files needs root";
    QTemporaryDir dir;
    const QString root = dir.path();
    folder(root + "/sticky", 01777, 0);
    folder(root + "/closed", 0755, 0);
    link("/etc/hostname", root + "/sticky/planted", kNobody);
    link("/etc/hostname", root + "/sticky/mine");
    link("/etc/hostname", root + "/closed/theirs", kNobody);
    EXPECT_TRUE(PlantedLink(root + "/sticky/planted").contains("is a link that nobody made in"));
    folder(root + "/theirs", 0777, kNobody);
    link("/etc/hostname", root + "/theirs/planted", kNobody);
    EXPECT_TRUE(PlantedLink(root + "/theirs/planted").contains("is a link that nobody made in"));
    EXPECT_TRUE(PlantedLink(root + "/sticky/mine").isEmpty());
    EXPECT_TRUE(PlantedLink(root + "/closed/theirs").isEmpty());
    EXPECT_TRUE(PlantedLink(root + "/sticky/nothing").isEmpty());
}
