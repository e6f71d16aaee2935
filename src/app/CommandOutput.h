#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

// Writes text as UTF-8 to a C stream; the commands write bytes they have composed in full.
inline void writeText(FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

inline void writeLine(FILE* stream, const QString& text)
{
    writeText(stream, text + u'\n');
}
