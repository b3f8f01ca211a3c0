#include "platform/Registry.h"
#include "platform/RegularFileReader.h"
#include "platform/RuntimeError.h"
#include "tests/support/ErrorAssertions.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/PipeWithoutWriter.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::FileRegistry;
using platform::HKEY_CLASSES_ROOT;
using platform::HKEY_CURRENT_USER;
using platform::HKEY_LOCAL_MACHINE;

namespace {

QString registryFile(const QString& name, const QByteArray& json)
{
    const QString path = kelvane::test::scratchFolder() + u'/' + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(json);
    return path;
}

const QString kHttpCommand = QStringLiteral("SOFTWARE\\Classes\\http\\shell\\open\\command");

} // namespace

TEST(FileRegistry, ReadsKeysAndValuesWithoutRegardToCase)
{
    FileRegistry registry(registryFile(QStringLiteral("filled.json"), R"({
        "HKEY_CLASSES_ROOT\\.txt": { "": "txtfile" },
        "HKEY_CLASSES_ROOT\\txtfile\\shell\\open\\command": { "": "\"/usr/bin/editor\" \"%1\"" },
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion": { "SystemRoot": "C:\\WINDOWS", "Build": 1381 },
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\http\\shell\\open\\command": { "": "/opt/browser %1" }
    })"));
    EXPECT_EQ(registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral(".TXT"), {}), QStringLiteral("txtfile"));
    EXPECT_EQ(registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral("TxtFile\\Shell\\Open\\Command"), {}),
              QStringLiteral("\"/usr/bin/editor\" \"%1\""));
    const QString versionKey = QStringLiteral("software\\microsoft\\windows\\currentversion");
    EXPECT_EQ(registry.queryValue(HKEY_LOCAL_MACHINE, versionKey, QStringLiteral("systemroot")), QStringLiteral("C:\\WINDOWS"));
    EXPECT_EQ(registry.queryValue(HKEY_LOCAL_MACHINE, versionKey, QStringLiteral("Build")), QStringLiteral("1381"));
    EXPECT_EQ(registry.queryValue(HKEY_LOCAL_MACHINE, versionKey, QStringLiteral("Missing")), std::nullopt);
    EXPECT_EQ(registry.queryValue(HKEY_CURRENT_USER, QStringLiteral(".txt"), {}), std::nullopt); // other hive
    // What the file registers comes before the desktop's defaults; the rest keeps them.
    EXPECT_EQ(registry.queryValue(HKEY_LOCAL_MACHINE, kHttpCommand, {}), QStringLiteral("/opt/browser %1"));
    EXPECT_EQ(registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral(".pdf"), {}), FileRegistry::desktopDocumentClass());
}

TEST(FileRegistry, WithoutRegistrationsEverythingOpensWithTheDesktopOpener)
{
    FileRegistry registry(kelvane::test::scratchFolder() + QStringLiteral("/absent.json"));
    EXPECT_EQ(registry.queryValue(HKEY_LOCAL_MACHINE, kHttpCommand, {}), QStringLiteral("\"xdg-open\" \"%1\""));
    const auto type = registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral(".pdf"), {});
    ASSERT_TRUE(type);
    EXPECT_EQ(registry.queryValue(HKEY_CLASSES_ROOT, *type + QStringLiteral("\\shell\\open\\command"), {}),
              QStringLiteral("\"xdg-open\" \"%1\""));
    // Only file extensions: other classes, named values and other hives stay unregistered.
    EXPECT_EQ(registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral("README"), {}), std::nullopt);
    EXPECT_EQ(registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral("."), {}), std::nullopt);
    EXPECT_EQ(registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral(".pdf"), QStringLiteral("Content Type")), std::nullopt);
    EXPECT_EQ(registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral("Word.Application\\CLSID"), {}), std::nullopt);
}

TEST(FileRegistry, ADamagedFileIsAnError)
{
    EXPECT_EQ(FileRegistry().filePath(), kelvane::test::scratchFolder() + QStringLiteral("/config/Kelvane/registry.json"));
    FileRegistry registry(registryFile(QStringLiteral("damaged.json"), "{ \"HKEY_CLASSES_ROOT\\\\.txt\": "));
    try {
        registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral(".txt"), {});
        ADD_FAILURE();
    } catch (const kelvane::RuntimeError& e) {
        EXPECT_EQ(e.Number(), kelvane::err::PathFileAccess);
        EXPECT_TRUE(e.Description().contains(QStringLiteral("damaged.json")));
    }
}

TEST(FileRegistry, WritesKeepTheFileAndItsSpelling)
{
    const QString path = kelvane::test::scratchFolder() + QStringLiteral("/written/registry.json");
    FileRegistry registry(path);
    registry.setValue(HKEY_CLASSES_ROOT, QStringLiteral("Kelvane.KnowledgeBase\\CLSID"), {}, QStringLiteral("{1}"));
    registry.createKey(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1}\\Programmable"));
    registry.setValue(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1}\\LocalServer32"), {}, QStringLiteral("/opt/kelvane"));
    // Another spelling of a key or value name reaches the same entry.
    registry.setValue(HKEY_CLASSES_ROOT, QStringLiteral("kelvane.knowledgebase\\clsid"), {}, QStringLiteral("{2}"));

    FileRegistry reread(path);
    EXPECT_EQ(reread.queryValue(HKEY_CLASSES_ROOT, QStringLiteral("Kelvane.KnowledgeBase\\CLSID"), {}), QStringLiteral("{2}"));
    EXPECT_TRUE(reread.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("clsid\\{1}\\programmable")));
    EXPECT_TRUE(reread.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1}")));
    EXPECT_FALSE(reread.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1}\\Control")));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray json = file.readAll();
    EXPECT_TRUE(json.contains("HKEY_CLASSES_ROOT\\\\Kelvane.KnowledgeBase\\\\CLSID"));
    EXPECT_FALSE(json.contains("knowledgebase"));

    // A value written again as it stands leaves the file as it is (start-up registers the same
    // classes at every run).
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    registry.setValue(HKEY_CLASSES_ROOT, QStringLiteral("kelvane.knowledgebase\\clsid"), {}, QStringLiteral("{2}"));
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);

    // Changes made together (as a registration makes them) read and write the file once: as
    // written one after another, and the file left as it is when it holds them all.
    const QList<platform::RegistryChange> registration {
        {HKEY_CLASSES_ROOT, QStringLiteral("KELVANE.KNOWLEDGEBASE\\CLSID"), std::pair {QString(), QStringLiteral("{2}")}},
        {HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1}\\programmable"), std::nullopt},
    };
    registry.apply(registration);
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    registry.apply(registration + QList<platform::RegistryChange> {
                                      {HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1}\\Control"), std::nullopt},
                                      {HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1}\\Version"), std::pair {QString(), QStringLiteral("1.0")}},
                                  });
    EXPECT_TRUE(reread.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1}\\Control")));
    EXPECT_EQ(reread.queryValue(HKEY_CLASSES_ROOT, QStringLiteral("clsid\\{1}\\version"), {}), QStringLiteral("1.0"));

    // Deleting a key takes everything below it, and only that.
    reread.deleteKey(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1}"));
    EXPECT_FALSE(registry.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1}\\Programmable")));
    EXPECT_EQ(registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral("CLSID\\{1}\\LocalServer32"), {}), std::nullopt);
    EXPECT_TRUE(registry.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("Kelvane.KnowledgeBase")));
}

TEST(FileRegistry, ADamagedFileIsNeverOverwritten)
{
    const QByteArray damaged = "{ \"HKEY_CLASSES_ROOT\\\\.txt\": ";
    FileRegistry registry(registryFile(QStringLiteral("kept.json"), damaged));
    EXPECT_THROW(registry.setValue(HKEY_CLASSES_ROOT, QStringLiteral(".qkb"), {}, QStringLiteral("Kelvane")),
                 kelvane::RuntimeError);
    QFile file(registry.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damaged);
    file.close();

    // Nor is a whole file by a write the disk cuts short, which says why.
    const QByteArray whole = "{ \"HKEY_CLASSES_ROOT\\\\.txt\": { \"\": \"txtfile\" } }";
    FileRegistry full(registryFile(QStringLiteral("full.json"), whole));
    const kelvane::test::FileSizeLimit diskFull(whole.size() + 10);
    const kelvane::RuntimeError error = kelvane::test::errorOf(
        [&] { full.setValue(HKEY_CLASSES_ROOT, QStringLiteral(".qkb"), {}, QStringLiteral("Kelvane.KnowledgeBase")); });
    EXPECT_EQ(error.Number(), kelvane::err::PathFileAccess);
    EXPECT_TRUE(error.Description().contains(QStringLiteral("File too large"))) << error.Description().toStdString();
    QFile kept(full.filePath());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), whole);
}

// A registry file that is a named pipe, or larger than any file is read for, is neither waited
// on nor read: the registry answers as an empty one, and a write refuses, naming the file, and
// leaves it as it is.
TEST(FileRegistry, AFileThatIsNoRegularFileOrTooLargeReadsAsEmptyAndIsNeverWritten)
{
    const kelvane::test::PipeWithoutWriter pipe(kelvane::test::scratchFolder() + QStringLiteral("/pipe.json"));
    ASSERT_TRUE(pipe.made());
    const QString huge = kelvane::test::scratchFolder() + QStringLiteral("/huge.json");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_TRUE(file.resize(platform::kMaxFileBytes + 1)); // sparse: no disk taken
    }
    for (const QString& path : {pipe.path(), huge}) {
        FileRegistry registry(path);
        EXPECT_EQ(registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral(".pdf"), {}), FileRegistry::desktopDocumentClass());
        EXPECT_FALSE(registry.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("CLSID")));
        const kelvane::RuntimeError error = kelvane::test::errorOf(
            [&] { registry.setValue(HKEY_CLASSES_ROOT, QStringLiteral(".qkb"), {}, QStringLiteral("Kelvane")); });
        EXPECT_EQ(error.Number(), kelvane::err::PathFileAccess);
        EXPECT_TRUE(error.Description().contains(path)) << error.Description().toStdString();
        EXPECT_THROW(registry.deleteKey(HKEY_CLASSES_ROOT, QStringLiteral(".qkb")), kelvane::RuntimeError);
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
        EXPECT_TRUE(path == huge ? status.st_size == platform::kMaxFileBytes + 1 : S_ISFIFO(status.st_mode));
    }
    EXPECT_FALSE(pipe.readerWasStuck());
    QFile::remove(huge);
}
