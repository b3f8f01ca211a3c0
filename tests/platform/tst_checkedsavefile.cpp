#include "platform/CheckedSaveFile.h"
#include "tests/platform/StorageTestHelpers.h"
#include "tests/support/FileSizeLimit.h"

#include <QFileInfo>

using namespace kelvane::test;

// A few bytes wait in Qt's buffer until the last flush; many go to the disk at once. Either
// way a disk that is full from the start, or one that fills half way, leaves the old file.
TEST(CheckedSaveFile, AWriteCutShortAnywhereLeavesThePreviousFile)
{
    const QString path = testFile(QStringLiteral("document.xml"));
    ASSERT_TRUE(writeFile(path, "previous"));
    for (const qsizetype size : {100, 3000, 100000}) {
        for (const rlim_t room : {rlim_t(0), rlim_t(size / 2)}) {
            platform::CheckedSaveFile file(path);
            ASSERT_TRUE(file.open());
            {
                const FileSizeLimit limit(room);
                file.write(QByteArray(size, 'x'));
                file.write(QByteArray(size, 'y'));
                EXPECT_FALSE(file.commit()) << size << " bytes, room for " << room;
            }
            EXPECT_TRUE(file.errorString().startsWith(path + QStringLiteral(" was not saved: ")));
            // The system's own reason for the refusal.
            EXPECT_TRUE(file.errorString().endsWith(QStringLiteral(" (File too large)"))) << file.errorString().toStdString();
            EXPECT_EQ(fileBytes(path), QByteArray("previous"));
        }
    }
    EXPECT_EQ(QFileInfo(path).dir().entryList(QDir::Files | QDir::Hidden), QStringList({"document.xml"}))
        << "no half-written file left behind";

    platform::CheckedSaveFile whole(path);
    ASSERT_TRUE(whole.open());
    whole.write("new ");
    whole.write("document");
    EXPECT_TRUE(whole.commit());
    EXPECT_EQ(fileBytes(path), QByteArray("new document"));
}
