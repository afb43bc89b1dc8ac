#pragma once
#include "authoring/model/MarkGrid.h"
#include "authoring/model/MemoFiles.h"
#include "common/Cp1252.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kadro::test {

// A memo editor that keeps its text in memory and writes it as plain bytes, recording what it
// was asked to do.
class FakeMemoEditor : public MemoEditorAccess {
public:
    QString text;
    bool enabled = true;
    QStringList log;

    bool hasText() const override { return !text.isEmpty(); }
    bool saveTo(const QString& path) override
    {
        log << QStringLiteral("save ") + QFileInfo(path).fileName();
        return writeFileSafely(path, text.toUtf8());
    }
    void loadFrom(const QString& path) override
    {
        log << QStringLiteral("load ") + QFileInfo(path).fileName();
        QByteArray bytes;
        text = readFileBytes(path, &bytes) ? QString::fromUtf8(bytes) : QString();
    }
    void clear() override { text.clear(); }
    void setEnabled(bool on) override { enabled = on; }
};

// Default settings for new marks: by hand, no options.
inline MarkDefaults byHandNoOptions()
{
    return MarkDefaults{};
}

// A grid with marks appended at the given frames (video length 1000).
inline MarkGrid gridWithMarksAt(std::initializer_list<quint32> frames, const MarkDefaults& defaults = {})
{
    MarkGrid grid;
    for (quint32 f : frames)
        grid.appendMark(f, 1000, defaults);
    return grid;
}

} // namespace kadro::test
