#include "exercise/sharednames.h"

namespace letro {

QStringList exerciseTypeFolders()
{
    return {QStringLiteral("Palabras"), QStringLiteral("Frase corta"),
            QStringLiteral("Frase larga")};
}

QString exerciseTypeFolder(int type)
{
    const QStringList folders = exerciseTypeFolders();
    return type > 0 && type < folders.size() ? folders.at(type) : folders.first();
}

QString recordingPathFor(const QString &textPath)
{
    return textPath + QStringLiteral(".wav");
}

QString slowRecordingPathFor(const QString &textPath)
{
    return textPath + QStringLiteral(".lento.wav");
}

} // namespace letro
