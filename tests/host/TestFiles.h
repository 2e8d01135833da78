#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Writes content to name (relative to dir) and returns its path.
inline QString writeFile(const QTemporaryDir &dir, const char *name, QByteArrayView content) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << name;
    file.write(content.data(), content.size());
    return path;
}
