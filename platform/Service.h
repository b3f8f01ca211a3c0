#pragma once

#include <memory>
#include <utility>

namespace platform {

// Each platform service has one process-wide instance, created on first use from its
// default (Linux) implementation. The program may install another at start-up and
// tests install doubles with ScopedService, which restores the previous one on exit.
template <class Interface>
struct ServiceDefault; // specialised next to each interface: static std::unique_ptr<Interface> create();

template <class Interface>
class Service {
public:
    static Interface& get()
    {
        auto& instance = slot();
        if (!instance)
            instance = ServiceDefault<Interface>::create();
        return *instance;
    }

    // Installs `next` and hands back the one it replaces (null when none was made yet).
    static std::unique_ptr<Interface> replace(std::unique_ptr<Interface> next)
    {
        std::swap(slot(), next);
        return next;
    }

private:
    static std::unique_ptr<Interface>& slot()
    {
        static std::unique_ptr<Interface> instance;
        return instance;
    }
};

// Installs an implementation of `Interface` for the guard's lifetime.
template <class Interface, class Impl = Interface>
class ScopedService {
public:
    template <class... Args>
    explicit ScopedService(Args&&... args)
    {
        auto impl = std::make_unique<Impl>(std::forward<Args>(args)...);
        m_impl = impl.get();
        m_previous = Service<Interface>::replace(std::move(impl));
    }
    ~ScopedService() { Service<Interface>::replace(std::move(m_previous)); }

    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

    Impl& get() const { return *m_impl; }
    Impl* operator->() const { return m_impl; }

private:
    Impl* m_impl = nullptr;
    std::unique_ptr<Interface> m_previous;
};

} // namespace platform
