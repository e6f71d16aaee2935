#pragma once

#include <QObject>

#include <atomic>

// org.gnome.Mutter.DisplayConfig with the PowerSaveMode property; the test sends the signals.
// Read from the bus's threads, so its state is atomic.
class FakeDisplayConfig : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.DisplayConfig")
    Q_PROPERTY(int PowerSaveMode READ powerSaveMode)
public:
    static constexpr const char* service = "org.gnome.Mutter.DisplayConfig";
    static constexpr const char* path = "/org/gnome/Mutter/DisplayConfig";

    explicit FakeDisplayConfig(int mode)
        : m_mode(mode)
    {}

    int powerSaveMode() const
    {
        ++m_reads;
        return m_mode;
    }
    void setPowerSaveMode(int mode) { m_mode = mode; }
    int reads() const { return m_reads; }

private:
    std::atomic<int> m_mode;
    mutable std::atomic<int> m_reads = 0;
};
