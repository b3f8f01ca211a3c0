#include "automation/ShutdownRequest.h"

#include "automation/AutomationHost.h"
#include "automation/HiddenProgramUi.h"
#include "automation/KnowledgeBaseWindow.h"

#include <QApplication>
#include <QThread>

namespace kelvane {

namespace {
// How often a waiting shutdown looks again.
constexpr int kRetryMilliseconds = 20;
} // namespace

ShutdownRequest::ShutdownRequest(AutomationHost& host) : m_host(host)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &ShutdownRequest::attempt);
}

void ShutdownRequest::request(Done done, When when)
{
    m_waiting.push_back(std::move(done));
    if (when == When::AsSoonAsSafe && safe()) {
        run();
        return;
    }
    if (!m_retry.isActive())
        m_retry.start(0);
}

bool ShutdownRequest::safe() const
{
    const KnowledgeBaseWindow* window = m_host.window();
    // The program's own loop is the outermost one; a test drives none.
    return !m_host.eventUnderWay() && !(m_host.hiddenUi() && m_host.hiddenUi()->yielding())
        && QThread::currentThread()->loopLevel() <= 1 && !QApplication::activeModalWidget()
        && !(window && window->loading());
}

void ShutdownRequest::attempt()
{
    if (m_waiting.empty())
        return;
    if (safe())
        run();
    else
        m_retry.start(kRetryMilliseconds);
}

void ShutdownRequest::run()
{
    const std::vector<Done> waiting = std::exchange(m_waiting, {});
    m_retry.stop();
    const HiddenProgramUi* ui = m_host.hiddenUi();
    const qsizetype unshownBefore = ui ? ui->unshownCount() : 0;
    bool ended = false;
    if (KnowledgeBaseWindow* window = m_host.window()) {
        window->Unload();
        ended = window->unloaded();
    }
    const QStringList unshown = ui ? ui->unshownSince(unshownBefore) : QStringList();
    for (const Done& done : waiting) {
        if (done)
            done(ended, unshown);
    }
}

} // namespace kelvane
