#include "ProcessImage.h"

#include <QByteArrayList>

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include <vector>

QString ProcessImage::replaceWith(const QString& program, const QStringList& arguments)
{
    QByteArrayList encoded;
    for (const QString& argument : arguments)
        encoded.append(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    ::execv(program.toLocal8Bit().constData(), argv.data());
    return QString::fromLocal8Bit(std::strerror(errno));
}
