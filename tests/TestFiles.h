#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// A whole file's bytes (empty when it cannot be read), and a file written
// with exactly these bytes.
inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}
