#pragma once

#include "LogCapture.h"
#include "ScopedEnv.h"
#include "WaitUntil.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// Each test gets a private XDG_RUNTIME_DIR, where both the fake compositor and the client
// look for the socket, so no real compositor of the machine is ever reached.
class WaylandTest : public testing::Test {
protected:
    // Log lines of the Wayland category at the given level; other categories are left out.
    static int countEntries(const LogCapture& log, QtMsgType type)
    {
        int matches = 0;
        for (const LogCapture::Entry& entry : log.entries()) {
            if (entry.category == u"com.brightlet.Lumatick.Wayland" && entry.type == type)
                ++matches;
        }
        return matches;
    }

    QTemporaryDir m_runtimeDir;
    ScopedEnv m_runtimeEnv{"XDG_RUNTIME_DIR", m_runtimeDir.path().toLocal8Bit()};
};
