#include "diagram/NamesMeasuredAhead.h"

#include "diagram/NetworkCanvas.h"
#include "network/clsNetwork.h"
#include "platform/RuntimeError.h"

#include <chrono>

namespace kelvane {

namespace {

// Long enough to measure many names, short enough that the message loop hardly notices.
constexpr std::chrono::milliseconds kSlice(4);

} // namespace

NamesMeasuredAhead::NamesMeasuredAhead(std::weak_ptr<clsNetwork> network, NetworkCanvas& canvas)
    : m_network(std::move(network))
    , m_canvas(canvas)
{
    m_idle.setInterval(0); // times out whenever the events waiting have been handled
    QObject::connect(&m_idle, &QTimer::timeout, [this] { measureSome(); });
    m_idle.start();
}

void NamesMeasuredAhead::measureSome()
{
    const auto network = m_network.lock();
    if (!network || !m_next) {
        m_next.reset();
        m_idle.stop();
        return;
    }
    const auto end = std::chrono::steady_clock::now() + kSlice;
    try {
        m_canvas.measureAhead([&](platform::Canvas& measuring) {
            m_next = drawing::measureNamesAhead(*network, measuring, *m_next,
                                                [&] { return std::chrono::steady_clock::now() >= end; });
        });
    } catch (const RuntimeError&) {
        m_next.reset(); // what could not be measured now, the drawing measures
    }
    if (!m_next)
        m_idle.stop();
}

} // namespace kelvane
