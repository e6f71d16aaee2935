#pragma once

#include "IdleTimeSource.h"

#include <QDateTime>

#include <functional>

// Answers with the seconds since a last-input moment the test moves, or with nothing.
class FakeIdleTimeSource : public IdleTimeSource {
public:
    explicit FakeIdleTimeSource(std::function<QDateTime()> now)
        : m_now(std::move(now))
    {}

    std::optional<double> secondsSinceLastInput() override
    {
        ++m_queries;
        if (!m_answers || !m_lastInput.isValid())
            return std::nullopt;
        return static_cast<double>(m_lastInput.msecsTo(m_now())) / 1000.0;
    }
    QString name() const override { return QStringLiteral("fake"); }

    void setLastInput(const QDateTime& moment) { m_lastInput = moment; }
    void setAnswers(bool answers) { m_answers = answers; }
    int queries() const { return m_queries; }

private:
    std::function<QDateTime()> m_now;
    QDateTime m_lastInput;
    bool m_answers = true;
    int m_queries = 0;
};
