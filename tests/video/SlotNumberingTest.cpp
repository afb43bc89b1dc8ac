// Frame numbers from time stamps: AVI slots with empty (dropped) slots, and the cases that keep
// counting coded pictures.

#include "player/video/AviSlots.h"

#include <gtest/gtest.h>

namespace kadro::test {
namespace {

constexpr double kTick = 0.04; // 25 frames per second

// Pictures at slots 0 1 2 4 5 8: slots 3, 6 and 7 are empty.
const std::vector<int64_t> kWithGaps = {10, 11, 12, 14, 15, 18};

TEST(SlotNumbering, AviCountsSlotsAndEmptySlotsShowThePictureBefore)
{
    const AviSlots numbering(kWithGaps, kTick, true, false);
    ASSERT_TRUE(numbering.slotNumbering());
    EXPECT_EQ(numbering.frameCount(), 9);
    EXPECT_EQ(numbering.codedCount(), 6);
    const std::vector<int> coded = {0, 1, 2, 2, 3, 4, 4, 4, 5};
    for (int n = 0; n < 9; ++n)
        EXPECT_EQ(numbering.codedIndex(n), coded[std::size_t(n)]) << "slot " << n;
    // The first slot showing each picture.
    const std::vector<int> first = {0, 1, 2, 4, 5, 8};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(numbering.frameOfCoded(c), first[std::size_t(c)]) << "picture " << c;
    // Every slot lasts one time step, empty or not.
    EXPECT_DOUBLE_EQ(numbering.frameTime(7), 7 * kTick);
    // Out-of-range frame numbers are clamped.
    EXPECT_EQ(numbering.codedIndex(-3), 0);
    EXPECT_EQ(numbering.codedIndex(40), 5);
    EXPECT_DOUBLE_EQ(numbering.frameTime(40), 8 * kTick);
}

TEST(SlotNumbering, PicturesAreCountedWhereSlotsCannotBeTrusted)
{
    struct Case {
        const char* what;
        std::vector<int64_t> pts;
        bool avi;
        bool reordered;
    };
    const Case cases[] = {
        {"not an AVI", kWithGaps, false, false},
        {"reordered B-frames", kWithGaps, true, true},
        {"stamps not increasing", {0, 1, 3, 3, 4}, true, false},
        {"implausibly sparse", {0, 1, 500}, true, false},
        {"no gaps", {0, 1, 2, 3}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const AviSlots numbering(c.pts, kTick, c.avi, c.reordered);
        EXPECT_FALSE(numbering.slotNumbering());
        EXPECT_EQ(numbering.frameCount(), int(c.pts.size()));
        EXPECT_EQ(numbering.codedIndex(2), 2);
        EXPECT_EQ(numbering.frameOfCoded(2), 2);
    }
    // Outside AVI a frame's time is its own stamp.
    const AviSlots mp4(kWithGaps, kTick, false, false);
    EXPECT_DOUBLE_EQ(mp4.frameTime(3), 4 * kTick);
    EXPECT_DOUBLE_EQ(mp4.frameTime(5), 8 * kTick);
}

} // namespace
} // namespace kadro::test
