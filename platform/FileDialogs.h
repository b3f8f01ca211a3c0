#pragma once

#include "platform/Service.h"

#include <QString>
#include <optional>

namespace platform {

// What an open or save dialog is asked, in the terms of the old common dialog.
struct FileDialogRequest {
    QString title;         // the dialog's caption
    QString initialFolder; // where it opens; "" for the last folder it showed
    QString fileName;      // the name it proposes
    // Pairs of description and pattern, all joined by "|": "Kelvane XML (*.xml)|*.xml|All files (*.*)|*.*".
    // A pattern may list several, separated by ";".
    QString filter;
    int filterIndex = 1; // the pair chosen at first, from 1
    int flags = 0;       // kHideReadOnly, kFileMustExist

    static constexpr int kHideReadOnly = 4;
    static constexpr int kFileMustExist = 4096;
};

// The file dialogs the program shows. Each returns the chosen path, or nothing when the user
// cancelled. None may block a headless test (tests install a scripted double).
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    virtual std::optional<QString> showOpen(const FileDialogRequest& request) = 0;
    // The caller asks its own question before it replaces an existing file.
    virtual std::optional<QString> showSave(const FileDialogRequest& request) = 0;
};

// Without a window system every dialog is cancelled.
class HeadlessFileDialogs : public FileDialogs {
public:
    std::optional<QString> showOpen(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> showSave(const FileDialogRequest&) override { return std::nullopt; }
};

template <>
struct ServiceDefault<FileDialogs> {
    static std::unique_ptr<FileDialogs> create() { return std::make_unique<HeadlessFileDialogs>(); }
};

inline FileDialogs& fileDialogs() { return Service<FileDialogs>::get(); }

} // namespace platform
