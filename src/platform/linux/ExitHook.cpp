#include "ExitHook.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace {
// exit() calls its handlers without context: the hook armed now is the one thing kept outside
// an object, and only while that hook lives.
std::atomic<ExitHook*> armedHook{nullptr};
std::once_flag handlerRegistered;
} // namespace

ExitHook::ExitHook(std::function<void()> action)
    : m_action(std::move(action))
    , m_thread(std::this_thread::get_id())
{
    armedHook = this;
    std::call_once(handlerRegistered, [] { std::atexit(&ExitHook::runArmed); });
}

ExitHook::~ExitHook()
{
    ExitHook* self = this;
    armedHook.compare_exchange_strong(self, nullptr);
}

void ExitHook::runArmed()
{
    ExitHook* hook = armedHook.exchange(nullptr);
    if (hook && hook->m_thread == std::this_thread::get_id())
        hook->m_action();
}
