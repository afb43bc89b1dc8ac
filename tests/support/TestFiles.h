#pragma once
// Reading and writing the files a test prepares or checks.
#include "common/Cp1252.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

namespace kadro::test {

// The whole file; a test failure (and no bytes) when it cannot be read.
inline QByteArray readBytes(const QString& path)
{
    QByteArray bytes;
    EXPECT_TRUE(readFileBytes(path, &bytes)) << path.toStdString();
    return bytes;
}

inline void writeText(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(writeFileSafely(path, bytes)) << path.toStdString();
}

} // namespace kadro::test
