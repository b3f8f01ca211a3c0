#include "model/basLibrary.h"
#include "platform/doubles/FixedSystemInfo.h"

#include <gtest/gtest.h>

using namespace basLibrary;
using platform::ScopedService;
using platform::SystemInfo;
using platform::doubles::FixedSystemInfo;

TEST(PathParts, SplitAtTheLastSeparatorOfEitherKind)
{
    EXPECT_EQ(FileNameOfPath(QStringLiteral("C:\\kb\\a.qkb")), QStringLiteral("a.qkb"));
    EXPECT_EQ(FileNameOfPath(QStringLiteral("C:a.qkb")), QStringLiteral("a.qkb"));
    EXPECT_EQ(FileNameOfPath(QStringLiteral("/home/u/kb/a.qkb")), QStringLiteral("a.qkb"));
    EXPECT_EQ(FileNameOfPath(QStringLiteral("/home/u/a:b.qkb")), QStringLiteral("a:b.qkb"));
    EXPECT_EQ(FileNameOfPath(QStringLiteral("..\\kb/a.qkb")), QStringLiteral("a.qkb"));
    EXPECT_EQ(FileNameOfPath(QStringLiteral("a.qkb")), QStringLiteral("a.qkb"));
    EXPECT_EQ(FileNameOfPath(QStringLiteral("C:\\kb\\")), QString());

    EXPECT_EQ(FolderOfPath(QStringLiteral("C:\\kb\\a.qkb")), QStringLiteral("C:\\kb\\"));
    EXPECT_EQ(FolderOfPath(QStringLiteral("/home/u/a.qkb")), QStringLiteral("/home/u/"));
    EXPECT_EQ(FolderOfPath(QStringLiteral("a.qkb")), QString());
}

TEST(AbsolutePath, AppliesUpStepsAndAppendsTheRest)
{
    EXPECT_EQ(AbsolutePath(QStringLiteral("C:\\kb\\sub\\"), QStringLiteral("..\\other.qkb")), QStringLiteral("C:\\kb\\other.qkb"));
    EXPECT_EQ(AbsolutePath(QStringLiteral("C:\\kb\\sub\\"), QStringLiteral("other.qkb")), QStringLiteral("C:\\kb\\sub\\other.qkb"));
    EXPECT_EQ(AbsolutePath(QStringLiteral("C:\\kb\\sub\\"), QString()), QStringLiteral("C:\\kb\\sub\\"));
    EXPECT_EQ(AbsolutePath(QStringLiteral("/srv/kb/sub/"), QStringLiteral("../../x/y.qkb")), QStringLiteral("/srv/x/y.qkb"));
    EXPECT_EQ(AbsolutePath(QStringLiteral("/srv/kb/"), QStringLiteral("..\\lib\\a.qkb")), QStringLiteral("/srv/lib\\a.qkb"));
    // Always relative: a leading separator or drive gets no meaning of its own.
    EXPECT_EQ(AbsolutePath(QStringLiteral("C:\\kb\\"), QStringLiteral("\\x")), QStringLiteral("C:\\kb\\\\x"));
}

TEST(AbsolutePath, StopsAtTheRoot)
{
    EXPECT_EQ(AbsolutePath(QStringLiteral("C:\\kb\\"), QStringLiteral("..\\..\\a.qkb")), QStringLiteral("C:\\a.qkb"));
    EXPECT_EQ(AbsolutePath(QStringLiteral("/kb/"), QStringLiteral("../../a.qkb")), QStringLiteral("/a.qkb"));
}

TEST(RelativePath, StepsFromTheProgramFolder)
{
    ScopedService<SystemInfo, FixedSystemInfo> system;
    system->program = QStringLiteral("C:\\P\\Q\\App");
    EXPECT_EQ(RelativePath(QStringLiteral("C:\\P\\Q\\App\\kb\\a.qkb")), QStringLiteral("kb\\a.qkb"));
    EXPECT_EQ(RelativePath(QStringLiteral("c:\\p\\q\\app\\a.qkb")), QStringLiteral("a.qkb"));
    EXPECT_EQ(RelativePath(QStringLiteral("C:\\P\\Q\\Other\\a.qkb")), QStringLiteral("..\\Other\\a.qkb"));
    EXPECT_EQ(RelativePath(QStringLiteral("C:\\P\\a.qkb")), QStringLiteral("..\\..\\a.qkb"));
    EXPECT_EQ(RelativePath(QStringLiteral("C:\\Data\\a.qkb")), QStringLiteral("...\\Data\\a.qkb"));
    EXPECT_EQ(RelativePath(QStringLiteral("D:\\Data\\a.qkb")), QStringLiteral("D:\\Data\\a.qkb"));
    EXPECT_EQ(RelativePath(QStringLiteral("C:\\P\\Q\\Application\\a.qkb")), QStringLiteral("..\\Application\\a.qkb"));
}

TEST(RelativePath, WorksOnHostPaths)
{
    ScopedService<SystemInfo, FixedSystemInfo> system;
    system->program = QStringLiteral("/opt/kelvane/bin");
    EXPECT_EQ(RelativePath(QStringLiteral("/opt/kelvane/bin/kb/a.qkb")), QStringLiteral("kb/a.qkb"));
    EXPECT_EQ(RelativePath(QStringLiteral("/opt/kelvane/share/a.qkb")), QStringLiteral("../share/a.qkb"));
    EXPECT_EQ(RelativePath(QStringLiteral("/home/u/a.qkb")), QStringLiteral(".../home/u/a.qkb"));
    EXPECT_EQ(RelativePath(QStringLiteral("C:\\kb\\a.qkb")), QStringLiteral("C:\\kb\\a.qkb"));
}
