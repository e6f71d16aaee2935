#pragma once

#include <functional>
#include <thread>

// Runs an action when the process ends through exit() while the hook lives. Qt's display
// plugin ends the process that way, from inside its event handling, when the connection to the
// X server breaks, as it does when a session ends before its programs are told to quit; the
// event loop never returns and nothing on main's stack is unwound. The action runs only on the
// thread that armed the hook, where it may use that thread's objects. One hook at a time.
class ExitHook {
public:
    explicit ExitHook(std::function<void()> action);
    ~ExitHook();
    ExitHook(const ExitHook&) = delete;
    ExitHook& operator=(const ExitHook&) = delete;

private:
    static void runArmed();

    std::function<void()> m_action;
    std::thread::id m_thread;
};
