#include "app/QtPrompts.h"

#include <gtest/gtest.h>

using namespace kadro;

TEST(Prompts, FileFiltersBecomeQtFilters)
{
    const QStringList f = QtPrompts::qtFilters("Alle Dateien|*|Avi-Video (*.avi)|*.avi|Media|*.avi; *.vst");
    EXPECT_EQ(f, (QStringList{"Alle Dateien (*)", "Avi-Video (*.avi) (*.avi)", "Media (*.avi *.vst)"}));
}
