#pragma once

#include <QString>

namespace kelvane::test {

// The scratch folder the test program runs in (removed at exit). XDG_CONFIG_HOME, HOME,
// TMP and TMPDIR point into it, so no test touches the user's own settings or files.
QString scratchFolder();

// A path inside tests/data of the source tree.
QString dataPath(const QString& relative);

// A path inside the build folder (for files a person may look at after the run).
QString buildPath(const QString& relative);

} // namespace kelvane::test
