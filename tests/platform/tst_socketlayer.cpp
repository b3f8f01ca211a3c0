#include "platform/doubles/ScriptedSocketProvider.h"
#include "platform/sockets/SocketErrors.h"
#include "platform/sockets/SocketLayer.h"
#include "tests/support/QStringPrinter.h"

#include <gtest/gtest.h>

using namespace platform::sockets;
using platform::ScopedService;
using platform::doubles::ScriptedSocketProvider;

TEST(SocketErrorTexts, BothControlsFormsOfTheFixedTexts)
{
    EXPECT_EQ(describeSocketError(10061), QStringLiteral("[10061] Connection refused"));
    EXPECT_EQ(describeSocketError(11002),
              QStringLiteral("[11002] Non-authoritative 'Host not found' (try again or check DNS setup)"));
    EXPECT_EQ(describeSocketError(10066), QStringLiteral("[10066] Directory not empt"));
    EXPECT_EQ(describeSocketError(10000), QStringLiteral("[10000] (no description available)"));
    EXPECT_EQ(socketErrorSentence(10093), QStringLiteral("[10093] Winsock not loaded yet (WSANOTINITIALISED)."));
    EXPECT_EQ(socketErrorSentence(10066), QStringLiteral("[10066] Directory not empty"));
    EXPECT_EQ(socketErrorSentence(-1), QStringLiteral("[-1] (no description available)"));
    EXPECT_TRUE(socketErrorText(10072).isNull());
}

TEST(SocketProvider, TheSystemLibraryAnswersToTheDefaultNameAndItsOwn)
{
    SystemSocketProvider provider;
    EXPECT_TRUE(provider.load(QStringLiteral("WSOCK32.DLL")));
    EXPECT_TRUE(provider.load(QStringLiteral("C:\\WINDOWS\\SYSTEM\\wsock32.dll")));
    EXPECT_FALSE(provider.load(QStringLiteral("WS2_32.DLL")));
    EXPECT_FALSE(provider.load(QString()));
    const auto library = provider.load(defaultSocketLibraryName());
    ASSERT_TRUE(library);
    EXPECT_TRUE(provider.load(library->fileName()));
}

TEST(SocketLayer, LoadsCountedAndTellsTheStartupRecord)
{
    SocketLayer layer(200);
    EXPECT_EQ(layer.startupRecord().systemStatus, QStringLiteral("Down"));
    EXPECT_EQ(layer.libraryPath(), QStringLiteral("WSOCK32.DLL"));
    EXPECT_EQ(layer.api().socket(), InvalidSocket);
    EXPECT_EQ(layer.api().lastError(), error::NotInitialised);

    ASSERT_TRUE(layer.load());
    EXPECT_TRUE(layer.load());
    EXPECT_EQ(layer.loadCount(), 2);
    EXPECT_EQ(layer.startupRecord().version, 0x0101);
    EXPECT_EQ(layer.startupRecord().systemStatus, QStringLiteral("Running"));
    EXPECT_GT(layer.startupRecord().maxSockets, 0);
    EXPECT_GT(layer.startupRecord().maxDatagramSize, 0);
    EXPECT_NE(layer.libraryPath(), QStringLiteral("WSOCK32.DLL")); // the loaded library's own file name

    // Every unload resets the record; only the last one puts the stand-by routines back.
    layer.unload();
    EXPECT_TRUE(layer.isLoaded());
    EXPECT_EQ(layer.startupRecord().systemStatus, QStringLiteral("Down"));
    EXPECT_EQ(layer.startupRecord().maxSockets, 0);
    const SocketHandle s = layer.api().socket();
    EXPECT_NE(s, InvalidSocket);
    layer.api().closesocket(s);
    layer.unload();
    EXPECT_FALSE(layer.isLoaded());
    EXPECT_EQ(layer.api().socket(), InvalidSocket);
    layer.unload(); // nothing left to undo
    EXPECT_EQ(layer.loadCount(), 0);
}

TEST(SocketLayer, RefusedLoadsTellWhy)
{
    ScopedService<SocketProvider, ScriptedSocketProvider> provider;
    auto& script = *provider->script;
    SocketLayer layer(100);

    script.loadable = false;
    EXPECT_FALSE(layer.load());
    EXPECT_EQ(layer.startupRecord().description, QStringLiteral("Could not load Winsock DLL."));
    EXPECT_EQ(layer.loadCount(), 0);

    script.loadable = true;
    script.startupVersion = 0x0202;
    EXPECT_FALSE(layer.load());
    EXPECT_EQ(layer.startupRecord().description, QStringLiteral("Incompatible Winsock version."));
    EXPECT_FALSE(layer.isLoaded());
    EXPECT_EQ(layer.loadCount(), 0);

    script.startupResult = error::SystemNotReady;
    EXPECT_FALSE(layer.load());
    EXPECT_EQ(layer.startupRecord().description, QStringLiteral("Network subsystem not ready."));
    EXPECT_FALSE(layer.isLoaded());

    // A version the library does not offer leaves it loaded but not started.
    script.startupResult = error::VersionNotSupported;
    EXPECT_FALSE(layer.load());
    EXPECT_EQ(layer.startupRecord().description, QStringLiteral("Version not supported."));
    EXPECT_EQ(layer.loadCount(), 1);
    EXPECT_EQ(layer.api().socket(), InvalidSocket);
    EXPECT_EQ(layer.api().lastError(), error::NotInitialised);
    layer.unload();
    EXPECT_FALSE(layer.isLoaded());
}

TEST(SocketLayer, LibraryPathIsCutAndDefaulted)
{
    ScopedService<SocketProvider, ScriptedSocketProvider> provider;
    SocketLayer layer(10);
    layer.setLibraryPath(QStringLiteral("/opt/sockets/library.so"));
    EXPECT_EQ(layer.libraryPath(), QStringLiteral("/opt/socke"));
    ASSERT_TRUE(layer.load());
    EXPECT_EQ(provider->script->loadedPaths, QStringList {QStringLiteral("/opt/socke")});
    layer.unload();
    layer.setLibraryPath(QString());
    EXPECT_EQ(layer.libraryPath(), QStringLiteral("WSOCK32.DLL"));
}
