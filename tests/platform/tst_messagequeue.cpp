#include "platform/sockets/MessageQueue.h"
#include "platform/sockets/NotificationWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

using platform::sockets::MessageQueue;
using platform::sockets::NotificationWindow;
using platform::sockets::WindowMessage;
namespace message = platform::sockets::message;

namespace {

constexpr quint32 kPing = message::User + 1;
constexpr quint32 kStop = message::User + 2;

class RecordingWindow {
public:
    std::vector<quint32> received;
    NotificationWindow window {[this](const WindowMessage& m) {
        received.push_back(m.message);
        NotificationWindow::defaultProcedure(m);
    }};
};

// Drops whatever earlier tests left in the thread's queue.
void drainQueue()
{
    auto& queue = MessageQueue::current();
    while (queue.nextMessage(0)) {
    }
}

} // namespace

TEST(MessageQueue, MessagesReachTheirWindowInOrderAndDieWithIt)
{
    drainQueue();
    auto& queue = MessageQueue::current();
    RecordingWindow first;
    RecordingWindow second;
    first.window.post(kPing, 1);
    second.window.post(kPing, 2);
    first.window.post(kStop, 3);

    std::vector<quintptr> order;
    while (const auto m = queue.nextMessage(0)) {
        order.push_back(m->wParam);
        queue.dispatch(*m);
    }
    EXPECT_EQ(order, (std::vector<quintptr> {1, 2, 3}));
    EXPECT_EQ(first.received, (std::vector<quint32> {kPing, kStop}));
    EXPECT_EQ(second.received, (std::vector<quint32> {kPing}));

    // A close request destroys the window; what was queued for it, and what is posted later, is dropped.
    first.window.post(kPing);
    first.window.post(message::Close);
    first.window.post(kPing);
    ASSERT_TRUE(first.window.exists());
    queue.dispatch(*queue.nextMessage(0));
    queue.dispatch(*queue.nextMessage(0));
    EXPECT_FALSE(first.window.exists());
    EXPECT_FALSE(queue.hasMessages());
    first.window.post(kPing);
    EXPECT_FALSE(queue.hasMessages());
    EXPECT_EQ(first.received, (std::vector<quint32> {kPing, kStop, kPing, message::Close}));
}

TEST(MessageQueue, TheHostLoopDispatchesWhatNoWaitLoopTook)
{
    drainQueue();
    RecordingWindow target;
    target.window.post(kPing);
    target.window.post(kPing);
    QCoreApplication::processEvents();
    EXPECT_EQ(target.received, (std::vector<quint32> {kPing, kPing}));
}

TEST(MessageQueue, AWaitLoopTakesOneMessageAtATimeAndLeavesTheRestQueued)
{
    drainQueue();
    auto& queue = MessageQueue::current();
    RecordingWindow target;
    // Three stop messages arrive while a wait loop lets the host's events run.
    QTimer::singleShot(0, [&] {
        for (int i = 0; i < 3; ++i)
            target.window.post(kStop);
    });
    std::optional<WindowMessage> taken;
    for (int pass = 0; !taken && pass < 200; ++pass)
        taken = queue.nextMessage(10);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->message, kStop);
    // The wait took the first; the others stayed queued for the next wait or for the host.
    EXPECT_TRUE(target.received.empty());
    EXPECT_TRUE(queue.hasMessages());
    QCoreApplication::processEvents();
    EXPECT_EQ(target.received, (std::vector<quint32> {kStop, kStop}));
}

TEST(MessageQueue, AWaitEndsOnTimeWhenNothingArrives)
{
    drainQueue();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(MessageQueue::current().nextMessage(150));
    EXPECT_GE(clock.elapsed(), 140);
    EXPECT_LT(clock.elapsed(), 1500);

    // Something that happens during the wait ends it early.
    RecordingWindow target;
    QTimer::singleShot(20, [&] { target.window.post(kPing); });
    clock.restart();
    std::optional<WindowMessage> arrived;
    while (!arrived && clock.elapsed() < 2000)
        arrived = MessageQueue::current().nextMessage(5000);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(arrived->message, kPing);
    EXPECT_LT(clock.elapsed(), 1500);
}

TEST(MessageQueue, TheHostsQuitRequestReachesAWaitLoop)
{
    drainQueue();
    std::optional<WindowMessage> seen;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [] { QCoreApplication::quit(); });
        QElapsedTimer clock;
        clock.start();
        while (!(seen && seen->message == message::Quit) && clock.elapsed() < 3000)
            seen = MessageQueue::current().nextMessage(10);
    });
    QCoreApplication::exec();
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->message, message::Quit);
    EXPECT_EQ(seen->window, 0u);
}
