// Reads the input as the user's settings file, as start-up does, saves every setting back as
// the program does on exit and reads the file once more: the save succeeds and the second
// read gives what the first gave.
#include "FuzzSupport.h"

#include "model/basGlobal.h"
#include "platform/SettingsStore.h"
#include "platform/RuntimeError.h"
#include "shell/SettingValues.h"
#include "shell/ShellGlobals.h"
#include "shell/basSettings.h"

#include <tuple>

namespace {

namespace sv = kelvane::settingvalues;

// Knowledge-base names whose introduction flag is read and written like the settings.
const QString kIntroductions[] = {QStringLiteral("Car"), QStringLiteral("a/b\\c = d; [e]")};
const QString kTrustedCertificates = QStringLiteral("Tavro Certificate");

struct Loaded {
    basGlobal::UserSettings settings;
    bool alignRight;
    std::array<QString, basGlobal::kRecentFileCount> recentFiles;
    qint16 linkMode;
    QString serverURL, serverUsername, serverPassword, trustedCertificates;
    double left, top, width, height;
    bool introductions[2];

    auto fields() const
    {
        const auto& s = settings;
        return std::tie(s.AutoAnswer, s.ShowAnswer, s.BackColour, s.NodeColour, s.HighlightColour, s.ShadowColour,
                        s.PositiveColour, s.NegativeColour, s.NeutralColour, alignRight, recentFiles, linkMode, serverURL,
                        serverUsername, serverPassword, trustedCertificates, left, top, width, height, introductions[0],
                        introductions[1]);
    }
};

Loaded load()
{
    basGlobal::Settings = {};
    basGlobal::AlignRight = false;
    basGlobal::RecentFiles = {};
    basGlobal::LinkMode = 1;
    basGlobal::ServerURL.clear();
    basGlobal::ServerUsername.clear();
    basGlobal::ServerPassword.clear();
    basGlobal::LoadSettings({});
    const sv::Placement placement = sv::readPlacement();
    return {basGlobal::Settings, basGlobal::AlignRight, basGlobal::RecentFiles, basGlobal::LinkMode, basGlobal::ServerURL,
            basGlobal::ServerUsername, basGlobal::ServerPassword, sv::readText(kTrustedCertificates),
            placement.Left, placement.Top, placement.Width, placement.Height,
            {sv::introductionSuppressed(kIntroductions[0]), sv::introductionSuppressed(kIntroductions[1])}};
}

// As the program's exit saves them, in one write, then the introduction flags.
void save(const Loaded& loaded)
{
    QList<platform::StoredSetting> values = basGlobal::SettingsToSave();
    values += sv::placementValues({loaded.left, loaded.top, loaded.width, loaded.height});
    values << sv::textValue(kTrustedCertificates, loaded.trustedCertificates);
    sv::writeValues(values);
    for (int i = 0; i < 2; ++i)
        sv::setIntroductionSuppressed(kIntroductions[i], loaded.introductions[i]);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietMessages();
    qputenv("XDG_CONFIG_HOME", (fuzz::scratchFolder() + QStringLiteral("/config")).toLocal8Bit());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString fileName = platform::IniSettingsStore::fileOf(sv::application());
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile::remove(fileName);
    fuzz::writeFile(fileName, fuzz::bytesOf(data, size));

    const Loaded first = load();
    try {
        save(first);
    } catch (const kelvane::RuntimeError&) {
        fuzz::require(false, "the settings could not be saved over the file read");
    }
    const Loaded second = load();
    fuzz::require(first.fields() == second.fields(), "the settings read back differ from those saved");
    return 0;
}
