#pragma once

#include "PreferenceKeys.h"

#include <QObject>
#include <QSettings>
#include <QVariantHash>

// The per-user preferences: typed reads with registered defaults over an INI file. Typed
// reads are remembered until the next write, removal, registration or reload, so every reader
// still sees the latest write while the counter's reads each second cost a lookup.
class Preferences : public QObject {
    Q_OBJECT
public:
    explicit Preferences(const QString& filePath, QObject* parent = nullptr);

    // $XDG_CONFIG_HOME/Brightlet/Lumatick.conf
    static QString defaultFilePath();

    // Keeps the registered defaults in memory; they are never written to the file.
    void registerDefaults();
    // For keys owned by other components (the updater's "SUAutomaticallyUpdate").
    void registerDefault(const QString& key, const QVariant& value);
    int registeredDefaultCount() const { return static_cast<int>(m_defaults.size()); }

    // Unregistered keys that were never written read as 0, false, empty data, empty string.
    qint64 integer(const QString& key) const;
    bool boolean(const QString& key) const;
    QByteArray data(const QString& key) const;
    QString string(const QString& key) const;

    qint64 value(PreferenceKeys::IntegerKey key) const;
    bool value(PreferenceKeys::BooleanKey key) const;
    QByteArray value(PreferenceKeys::DataKey key) const;
    QString value(PreferenceKeys::StringKey key) const { return string(QString::fromLatin1(key.name)); }

    void setValue(const QString& key, const QVariant& value);
    void setValue(PreferenceKeys::IntegerKey key, qint64 value);
    void setValue(PreferenceKeys::BooleanKey key, bool value);
    void setValue(PreferenceKeys::DataKey key, const QByteArray& value);
    void setValue(PreferenceKeys::StringKey key, const QString& value);

    // After removal the registered default (if any) applies again.
    void remove(const QString& key);

    QString filePath() const { return m_settings.fileName(); }

    // Reads the file again after another process (the command line) wrote it, and tells of
    // `keys` as changed, so whoever follows them takes the new values at once.
    void reload(const QStringList& keys);

Q_SIGNALS:
    // Emitted after every write or removal, never on reads.
    void changed(const QString& key);

private:
    QVariant stored(const QString& key) const;
    void persist(const QString& key);
    void forgetReadValues();

    QSettings m_settings;
    QVariantHash m_defaults;
    // By the key's name, which is a string constant; a key read under two copies of its name
    // is simply remembered twice.
    mutable QHash<const char*, qint64> m_readIntegers;
    mutable QHash<const char*, bool> m_readBooleans;
    mutable QHash<const char*, QByteArray> m_readData;
};
