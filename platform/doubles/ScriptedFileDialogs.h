#pragma once

#include "platform/FileDialogs.h"

#include <deque>
#include <vector>

namespace platform::doubles {

// File dialogs for tests: answer from a script, first in first out (a cancel when the script
// is empty or holds nothing), and record every request.
class ScriptedFileDialogs : public FileDialogs {
public:
    enum class Kind { Open, Save };
    struct Call {
        Kind kind;
        FileDialogRequest request;
    };

    void queueAnswer(std::optional<QString> answer) { m_answers.push_back(std::move(answer)); }

    std::vector<Call> calls;

    std::optional<QString> showOpen(const FileDialogRequest& request) override { return answer(Kind::Open, request); }
    std::optional<QString> showSave(const FileDialogRequest& request) override { return answer(Kind::Save, request); }

private:
    std::optional<QString> answer(Kind kind, const FileDialogRequest& request)
    {
        calls.push_back({kind, request});
        if (m_answers.empty())
            return std::nullopt;
        auto next = m_answers.front();
        m_answers.pop_front();
        return next;
    }

    std::deque<std::optional<QString>> m_answers;
};

} // namespace platform::doubles
