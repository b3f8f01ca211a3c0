#pragma once

#include "platform/ProcessLauncher.h"
#include "platform/RuntimeError.h"

#include <QSet>
#include <vector>

namespace platform::doubles {

// Records every start instead of starting anything. Programs named in `missingPrograms`
// fail to start as a program that does not exist would (FileNotFound).
class RecordingProcessLauncher : public ProcessLauncher {
public:
    struct Launch {
        QString program;
        QStringList arguments;
    };

    void start(const QString& program, const QStringList& arguments) override
    {
        if (missingPrograms.contains(program))
            kelvane::raiseError(kelvane::err::FileNotFound);
        launches.push_back({program, arguments});
    }

    std::vector<Launch> launches;
    QSet<QString> missingPrograms;
};

} // namespace platform::doubles
