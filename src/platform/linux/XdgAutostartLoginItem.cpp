#include "XdgAutostartLoginItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <utility>

namespace {

void setError(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
}

// Characters that make the desktop entry format require the Exec argument to be quoted.
bool needsQuoting(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    for (const QChar c : argument) {
        if (reserved.contains(c))
            return true;
    }
    return argument.isEmpty();
}

// Whether the [Desktop Entry] group sets Hidden=true, which tells the session to skip the entry.
bool isHidden(QFile& file)
{
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('['))
            inMainGroup = line == "[Desktop Entry]";
        else if (inMainGroup && line.startsWith("Hidden") && line.contains('=')) {
            const QList<QByteArray> parts = line.split('=');
            if (parts.first().trimmed() == "Hidden")
                return parts.at(1).trimmed() == "true";
        }
    }
    return false;
}

} // namespace

XdgAutostartLoginItem::XdgAutostartLoginItem(QString executablePath)
    : m_executablePath(std::move(executablePath))
{}

QString XdgAutostartLoginItem::entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/lumatick.desktop");
}

QString XdgAutostartLoginItem::execValue(const QString& executablePath)
{
    QString argument = executablePath;
    if (needsQuoting(argument)) {
        // Inside double quotes, these four are escaped with a backslash.
        QString quoted;
        for (const QChar c : argument) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
                quoted += u'\\';
            quoted += c;
        }
        argument = u'"' + quoted + u'"';
    }
    // A literal percent sign would start a field code; the string value escapes backslashes.
    argument.replace(u'%', QStringLiteral("%%"));
    argument.replace(u'\\', QStringLiteral("\\\\"));
    return argument;
}

bool XdgAutostartLoginItem::isEnabled() const
{
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return !isHidden(file);
}

bool XdgAutostartLoginItem::setEnabled(bool enabled, QString* error)
{
    return enabled ? writeEntry(error) : removeEntry(error);
}

bool XdgAutostartLoginItem::writeEntry(QString* error) const
{
    const QString path = entryPath();
    const QString directory = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(directory)) {
        setError(error, QStringLiteral("Cannot create the folder %1.").arg(directory));
        return false;
    }
    // Written whole or not at all, so the session never reads half an entry.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(entryContent()) < 0 || !file.commit()) {
        setError(error, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool XdgAutostartLoginItem::removeEntry(QString* error)
{
    QFile file(entryPath());
    if (!file.exists() || file.remove())
        return true;
    setError(error, QStringLiteral("Cannot remove %1: %2").arg(file.fileName(), file.errorString()));
    return false;
}

QByteArray XdgAutostartLoginItem::entryContent() const
{
    const QString content = QStringLiteral("[Desktop Entry]\n"
                                           "Type=Application\n"
                                           "Name=Lumatick\n"
                                           "Exec=%1\n"
                                           "Icon=lumatick\n"
                                           "X-GNOME-Autostart-enabled=true\n")
                                .arg(execValue(m_executablePath));
    return content.toUtf8();
}
