#pragma once

#include "WaitUntil.h"
#include "XcbConnection.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

#include <memory>

// A private Xvfb per test with our own connection to it, plus the helpers X11 tests share.
class X11Test : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.isRunning()) << "Xvfb did not start";
        m_connection = std::make_unique<XcbConnection>(m_server.displayName());
        ASSERT_TRUE(m_connection->isValid());
    }

    // Runs xdotool against the private display and waits until it is done.
    void xdotool(const QStringList& arguments)
    {
        ASSERT_TRUE(m_server.run(QStringLiteral("xdotool"), arguments)) << arguments.join(u' ').toStdString();
    }

    template <typename Condition>
    static bool waitUntil(Condition condition, int timeoutMs = 5000)
    {
        return ::waitUntil(condition, timeoutMs, 50);
    }

    XvfbServer m_server;
    std::unique_ptr<XcbConnection> m_connection;
};
