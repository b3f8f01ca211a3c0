#pragma once

#include "model/basGlobal.h"
#include "platform/FileDialogs.h"
#include "platform/Printer.h"
#include "platform/ProcessLauncher.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"
#include "platform/SystemInfo.h"
#include "platform/doubles/FixedSystemInfo.h"
#include "platform/doubles/MemoryRegistry.h"
#include "platform/doubles/RecordingPrinter.h"
#include "platform/doubles/RecordingProcessLauncher.h"
#include "platform/doubles/ScriptedFileDialogs.h"
#include "platform/doubles/ScriptedUiServices.h"
#include "shell/AbstractKnowledgeBaseHost.h"
#include "shell/SettingValues.h"
#include "shell/ShellGlobals.h"
#include "shell/basSettings.h"
#include "shell/doubles/RecordingKnowledgeBaseHost.h"
#include "shell/frmNavigate.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/TestEnvironment.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace kelvane::test {

// The program-wide values start-up and the window set, back as a fresh run has them.
inline void resetProgramGlobals()
{
    basGlobal::Settings = {};
    basGlobal::AlignRight = false;
    basGlobal::ApplicationMode = 0;
    basGlobal::CurrentKnowledgeBase.reset();
    basGlobal::RecentFiles = {};
    basGlobal::LinkMode = 1;
    basGlobal::ServerURL.clear();
    basGlobal::ServerUsername.clear();
    basGlobal::ServerPassword.clear();
    basGlobal::AutomationMode = false;
    basGlobal::DocumentPath.clear();
    basGlobal::HelpFile.clear();
    basGlobal::StartChoiceMade = false;
    basGlobal::MainWindowReady = 0;
}

inline QString settingsFile()
{
    return platform::IniSettingsStore::fileOf(settingvalues::application());
}

// Runs `act` on the active modal dialog once it shows; a dialog that never shows fails the test
// when the helper goes.
class WhenModalShows {
public:
    explicit WhenModalShows(std::function<void(QWidget&)> act)
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this, act = std::move(act)] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                m_timer.stop();
                m_ran = true;
                act(*modal);
            }
        });
        m_timer.start();
    }
    ~WhenModalShows() { EXPECT_TRUE(m_ran) << "no modal dialog showed"; }

private:
    QTimer m_timer;
    bool m_ran = false;
};

// The main window loaded as start-up loads it, with scripted message boxes and file dialogs, a
// recording knowledge-base host and printer, a fixed machine, and settings in the scratch folder.
// The sample knowledge base is copied into the scratch folder; its introduction is turned off
// unless a test turns it on again.
class ShellTest : public ::testing::Test {
protected:
    ShellTest()
    {
        resetProgramGlobals();
        QFile::remove(settingsFile());
        const QString scratch = scratchFolder();
        system->temp = scratch + QStringLiteral("/tmp");
        system->documents = scratch + QStringLiteral("/home");
        system->program = scratch + QStringLiteral("/program");
        QDir().mkpath(system->program);
        QFile::remove(sample());
        QFile::copy(QStringLiteral(KELVANE_SOURCE_DIR "/examples/car-diagnosis.xml"), sample());
        QFile::setPermissions(sample(), QFile::ReadOwner | QFile::WriteOwner);
        settingvalues::setIntroductionSuppressed(kSampleName, true);
    }
    ~ShellTest() override
    {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        resetProgramGlobals();
    }

    // Start-up's settings, then the window shown for the command line.
    frmNavigate& load(const QString& commandLine)
    {
        window.reset();
        basGlobal::LoadSettings(commandLine);
        window = std::make_unique<frmNavigate>();
        window->Show(commandLine);
        return *window;
    }

    static QString sample() { return scratchFolder() + QStringLiteral("/car-diagnosis.xml"); }
    static inline const QString kSampleName = QStringLiteral("Car will not start");

    platform::ScopedService<platform::UiServices, platform::doubles::ScriptedUiServices> ui;
    platform::ScopedService<platform::FileDialogs, platform::doubles::ScriptedFileDialogs> dialogs;
    platform::ScopedService<AbstractKnowledgeBaseHost, doubles::RecordingKnowledgeBaseHost> host;
    platform::ScopedService<platform::Printer, platform::doubles::RecordingPrinter> printer;
    platform::ScopedService<platform::SystemInfo, platform::doubles::FixedSystemInfo> system;
    platform::ScopedService<platform::Registry, platform::doubles::MemoryRegistry> registry;
    platform::ScopedService<platform::ProcessLauncher, platform::doubles::RecordingProcessLauncher> launcher;
    std::unique_ptr<frmNavigate> window;
};

} // namespace kelvane::test
