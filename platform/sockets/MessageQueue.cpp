#include "platform/sockets/MessageQueue.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace platform::sockets {

namespace {

QEvent::Type wakeEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

int currentLoopLevel() { return QThread::currentThread()->loopLevel(); }

} // namespace

// Receives the queue's wake-up events from the host's event loop and watches the
// application for quit requests.
class QueueWaker : public QObject {
public:
    explicit QueueWaker(MessageQueue& queue) : m_queue(queue) { watchApplication(); }

    // The application may be made after the queue; watch it once it exists.
    void watchApplication()
    {
        auto* app = QCoreApplication::instance();
        if (!app || app == m_watched || app->thread() != QThread::currentThread())
            return;
        app->installEventFilter(this);
        m_watched = app;
    }

    bool event(QEvent* e) override
    {
        if (e->type() != wakeEventType())
            return QObject::event(e);
        m_queue.wake();
        return true;
    }

    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Quit && watched == QCoreApplication::instance())
            m_queue.postQuit(0);
        return false;
    }

private:
    MessageQueue& m_queue;
    QPointer<QCoreApplication> m_watched;
};

MessageQueue& MessageQueue::current()
{
    // The old platform gave every thread one message queue; so do we.
    thread_local std::unique_ptr<MessageQueue> queue(new MessageQueue);
    return *queue;
}

MessageQueue::MessageQueue() : m_waker(std::make_unique<QueueWaker>(*this)) {}

MessageQueue::~MessageQueue() = default;

void MessageQueue::post(const WindowMessage& message)
{
    if (message.window != 0 && !windowExists(message.window))
        return;
    m_messages.push_back(message);
    requestWake();
}

void MessageQueue::postQuit(int exitCode)
{
    post(WindowMessage {0, message::Quit, static_cast<quintptr>(exitCode), 0});
}

std::optional<WindowMessage> MessageQueue::take()
{
    if (m_messages.empty())
        return std::nullopt;
    WindowMessage next = m_messages.front();
    m_messages.pop_front();
    return next;
}

std::optional<WindowMessage> MessageQueue::nextMessage(int waitMilliseconds)
{
    if (auto next = take())
        return next;
    m_waker->watchApplication();
    processHostEvents(0);
    if (auto next = take())
        return next;
    if (waitMilliseconds > 0)
        processHostEvents(waitMilliseconds);
    return take();
}

void MessageQueue::processHostEvents(int waitMilliseconds)
{
    m_waitLevels.push_back(currentLoopLevel());
    if (!QAbstractEventDispatcher::instance()) {
        // No event loop on this thread: nothing can arrive but the time passes.
        if (waitMilliseconds > 0)
            QThread::msleep(static_cast<unsigned long>(waitMilliseconds));
    } else if (waitMilliseconds <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    } else {
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.start(waitMilliseconds);
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    m_waitLevels.pop_back();
    // A wake-up that arrived while we pumped was left to us; hand the rest back to the host.
    if (!m_messages.empty())
        requestWake();
}

void MessageQueue::requestWake()
{
    if (m_wakeRequested || !QCoreApplication::instance())
        return;
    m_wakeRequested = true;
    QCoreApplication::postEvent(m_waker.get(), new QEvent(wakeEventType()));
}

bool MessageQueue::waitLoopRunsAtThisLevel() const
{
    return !m_waitLevels.empty() && m_waitLevels.back() == currentLoopLevel();
}

void MessageQueue::wake()
{
    m_wakeRequested = false;
    // A wait loop takes its messages itself, one at a time; only an event loop of the host
    // (its main loop, or a modal loop started inside a wait) dispatches them all.
    if (waitLoopRunsAtThisLevel())
        return;
    // Messages posted while these are dispatched wait for the next wake-up.
    for (auto count = m_messages.size(); count > 0 && !m_messages.empty(); --count) {
        const WindowMessage next = m_messages.front();
        m_messages.pop_front();
        dispatch(next);
    }
}

void MessageQueue::dispatch(const WindowMessage& message)
{
    const auto it = m_windows.find(message.window);
    if (it == m_windows.end())
        return;
    // Keep the procedure alive even if it destroys its own window.
    const std::shared_ptr<Procedure> procedure = it->second;
    (*procedure)(message);
}

bool MessageQueue::windowExists(WindowHandle window) const { return m_windows.count(window) != 0; }

WindowHandle MessageQueue::createWindow(Procedure procedure)
{
    const WindowHandle handle = ++m_lastWindow;
    m_windows.emplace(handle, std::make_shared<Procedure>(std::move(procedure)));
    return handle;
}

void MessageQueue::destroyWindow(WindowHandle window)
{
    if (m_windows.erase(window) == 0)
        return;
    std::erase_if(m_messages, [window](const WindowMessage& m) { return m.window == window; });
}

} // namespace platform::sockets
