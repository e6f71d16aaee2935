#pragma once

#include "GlobalHotKey.h"

#include <QtGlobal>

#include <optional>

class XcbConnection;

// The pause shortcut on X11: a passive key grab on the root window. X matches grabs on the
// exact modifier state, so each combination is grabbed again with Caps Lock and Num Lock.
class X11GlobalHotKey : public GlobalHotKey {
    Q_OBJECT
public:
    // The connection must outlive this object.
    explicit X11GlobalHotKey(XcbConnection& connection, QObject* parent = nullptr);
    ~X11GlobalHotKey() override;

    // The X modifier mask for the stored modifier bits.
    static quint16 x11Modifiers(int modifiers);

    bool isSupported() const override;
    bool worksSystemWide() const override { return isSupported() && !m_refused; }
    bool registerHotKey(int keyCode, int modifiers) override;
    void unregisterHotKey() override;

private:
    struct Combination {
        quint8 keyCode = 0;
        quint16 modifiers = 0;
    };

    bool grab(const Combination& combination);
    void ungrab(const Combination& combination);
    quint16 numLockMask() const;
    void onKeyPressed(quint8 keyCode, quint16 state);
    void onMappingChanged();

    XcbConnection& m_connection;
    std::optional<Combination> m_grabbed;
    // The last combination asked for could not be grabbed (another client holds it).
    bool m_refused = false;
    quint16 m_numLock = 0;
};
