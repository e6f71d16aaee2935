#include "Preferences.h"

#include "Logging.h"

#include <QStandardPaths>
#include <QStringList>

#include <cmath>

namespace {

// Values written by hand or by an older version may be of any type; these conversions read
// them the way a typed preferences store would, and anything unreadable as the zero value.
qint64 toInteger(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? 1 : 0;
    const QString text = value.toString().trimmed();
    bool ok = false;
    const qint64 integer = text.toLongLong(&ok);
    if (ok)
        return integer;
    const double real = text.toDouble(&ok);
    if (ok && std::isfinite(real) && std::abs(real) < 9.2e18)
        return static_cast<qint64>(real);
    return 0;
}

bool toBoolean(const QVariant& value)
{
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed().toLower();
    if (text == u"true" || text == u"yes")
        return true;
    return toInteger(value) != 0;
}

QByteArray toData(const QVariant& value)
{
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    // INI files written by hand hold text; a list here is text that contained commas.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',').toUtf8();
    if (value.canConvert<QString>())
        return value.toString().toUtf8();
    return {};
}

QString toText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

// The value read before under `name`, or `read`'s answer, kept for the next time.
template <typename T, typename Read>
T remembered(QHash<const char*, T>& memory, const char* name, Read read)
{
    auto found = memory.constFind(name);
    if (found == memory.cend())
        found = memory.insert(name, read(QString::fromLatin1(name)));
    return *found;
}

} // namespace

Preferences::Preferences(const QString& filePath, QObject* parent)
    : QObject(parent)
    , m_settings(filePath, QSettings::IniFormat)
{}

QString Preferences::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Brightlet/Lumatick.conf");
}

void Preferences::registerDefaults()
{
    for (const auto& key : PreferenceKeys::integerKeys) {
        if (key.registered)
            m_defaults.insert(QString::fromLatin1(key.name), QVariant::fromValue<qint64>(key.defaultValue));
    }
    for (const auto& key : PreferenceKeys::booleanKeys)
        m_defaults.insert(QString::fromLatin1(key.name), key.defaultValue);
    forgetReadValues();
}

void Preferences::registerDefault(const QString& key, const QVariant& value)
{
    m_defaults.insert(key, value);
    forgetReadValues();
}

QVariant Preferences::stored(const QString& key) const
{
    QVariant value = m_settings.value(key);
    return value.isValid() ? value : m_defaults.value(key);
}

qint64 Preferences::integer(const QString& key) const
{
    const QVariant value = stored(key);
    return value.isValid() ? toInteger(value) : 0;
}

bool Preferences::boolean(const QString& key) const
{
    const QVariant value = stored(key);
    return value.isValid() && toBoolean(value);
}

QByteArray Preferences::data(const QString& key) const
{
    const QVariant value = stored(key);
    return value.isValid() ? toData(value) : QByteArray();
}

qint64 Preferences::value(PreferenceKeys::IntegerKey key) const
{
    return remembered(m_readIntegers, key.name, [this](const QString& name) { return integer(name); });
}

bool Preferences::value(PreferenceKeys::BooleanKey key) const
{
    return remembered(m_readBooleans, key.name, [this](const QString& name) { return boolean(name); });
}

QByteArray Preferences::value(PreferenceKeys::DataKey key) const
{
    return remembered(m_readData, key.name, [this](const QString& name) { return data(name); });
}

QString Preferences::string(const QString& key) const
{
    const QVariant value = stored(key);
    return value.isValid() ? toText(value) : QString();
}

void Preferences::setValue(const QString& key, const QVariant& value)
{
    m_settings.setValue(key, value);
    persist(key);
}

void Preferences::setValue(PreferenceKeys::IntegerKey key, qint64 value)
{
    setValue(QString::fromLatin1(key.name), QVariant::fromValue(value));
}

void Preferences::setValue(PreferenceKeys::BooleanKey key, bool value)
{
    setValue(QString::fromLatin1(key.name), QVariant(value));
}

void Preferences::setValue(PreferenceKeys::DataKey key, const QByteArray& value)
{
    setValue(QString::fromLatin1(key.name), QVariant(value));
}

void Preferences::setValue(PreferenceKeys::StringKey key, const QString& value)
{
    setValue(QString::fromLatin1(key.name), QVariant(value));
}

void Preferences::remove(const QString& key)
{
    m_settings.remove(key);
    persist(key);
}

void Preferences::reload(const QStringList& keys)
{
    m_settings.sync();
    forgetReadValues();
    for (const QString& key : keys)
        Q_EMIT changed(key);
}

// Writes go to disk at once: preferences change rarely, and a crash must not lose them.
void Preferences::persist(const QString& key)
{
    m_settings.sync();
    forgetReadValues();
    if (m_settings.status() != QSettings::NoError)
        qCWarning(lcScreenTime, "Could not write preferences to %s", qPrintable(m_settings.fileName()));
    Q_EMIT changed(key);
}

void Preferences::forgetReadValues()
{
    m_readIntegers.clear();
    m_readBooleans.clear();
    m_readData.clear();
}
