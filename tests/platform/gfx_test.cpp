// The display and draw queue, drawing into a real 320x240 SDL surface.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "assets/font.h"
#include "platform/gfx.h"
#include "tests/harness/harness.h"

using harness::Grey;
using harness::Pixel;

namespace {

// Every test starts with an empty queue, presenting off and a white screen,
// so that anything drawn in black shows.
class Gfx : public ::testing::Test {
protected:
    void SetUp() override {
        Gfx_SetObserver(nullptr);
        Gfx_SetPresentEnabled(0);
        Gfx_ResetQueue();
        harness::FillSurface(Grey(255));
        harness::ClockSet(1000);
    }
    void TearDown() override {
        Gfx_SetObserver(nullptr);
        Gfx_ResetQueue();
        Gfx_SetPresentEnabled(0);
    }
    static int Count() {
        int n = -1;
        Gfx_QueueCount(&n);
        return n;
    }
    // The command waiting k places after the oldest one.
    static DrawCommand Queued(int k) {
        const GfxView v = Gfx_View();
        return v.slots[(v.head + k) % GFX_SLOTS];
    }
};

constexpr std::array<Picture, 4> TWO_BY_TWO{10, 20, 30, 40};

// The dummy driver was chosen, so start-up succeeds; it has no window, so the
// fullscreen switch keeps the very surface and its picture.
TEST_F(Gfx, FullscreenSwitchOnAHeadlessDriverKeepsTheScreen) {
    SDL_Surface *before = Gfx_View().screen;
    ASSERT_NE(before, nullptr);
    Gfx_QueueFill(10, 20, 4, 4, 77);
    Gfx_Flush();
    EXPECT_EQ(Gfx_ToggleFullscreen(), 0);
    EXPECT_EQ(Gfx_ToggleFullscreen(), 0);
    EXPECT_EQ(Gfx_View().screen, before);
    EXPECT_EQ(Pixel(11, 21), Grey(77));
    EXPECT_EQ(Pixel(9, 21), Grey(255));
}

TEST_F(Gfx, QueueHoldsSixtyThreeAndRefusesTheNextOfEveryKind) {
    for (int i = 0; i < 63; ++i) ASSERT_EQ(Gfx_QueueFill(i, 0, 1, 1, 7), GFX_OK);
    const GfxView before = Gfx_View();
    EXPECT_EQ(before.count, 63);
    EXPECT_EQ(Gfx_QueueFill(0, 0, 1, 1, 0), GFX_FULL);
    EXPECT_EQ(Gfx_QueuePicture(0, 0, 2, 2, TWO_BY_TWO.data()), GFX_FULL);
    EXPECT_EQ(Gfx_QueueChar(0, 0, 'A'), GFX_FULL);
    const GfxView after = Gfx_View();
    EXPECT_EQ(after.head, before.head);
    EXPECT_EQ(after.tail, before.tail);
    EXPECT_EQ(after.count, 63);

    // After a flush the ring, now starting part-way round, takes 63 more.
    Gfx_Flush();
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(Gfx_View().head, Gfx_View().tail);
    for (int i = 0; i < 63; ++i) ASSERT_EQ(Gfx_QueueFill(0, i, 1, 1, 7), GFX_OK);
    EXPECT_EQ(Gfx_QueueFill(0, 0, 1, 1, 7), GFX_FULL);
    Gfx_Flush();
    EXPECT_EQ(Pixel(0, 62), Grey(7));
}

TEST_F(Gfx, CharacterRangeIsTestedBeforeTheQueueIsFull) {
    EXPECT_EQ(Gfx_QueueChar(0, 0, 128), GFX_BAD_CHAR);
    EXPECT_EQ(Gfx_QueueChar(0, 0, -1), GFX_BAD_CHAR);
    EXPECT_EQ(Count(), 0);
    for (int i = 0; i < 63; ++i) Gfx_QueueFill(0, 0, 1, 1, 0);
    EXPECT_EQ(Gfx_QueueChar(0, 0, 128), GFX_BAD_CHAR);
    EXPECT_EQ(Gfx_QueueChar(0, 0, -1), GFX_BAD_CHAR);
    EXPECT_EQ(Gfx_QueueChar(0, 0, 127), GFX_FULL);
}

TEST_F(Gfx, ArgumentsAreStoredTruncatedToTheirFields) {
    Gfx_QueueFill(65536 + 5, -65536 + 6, 65536 + 7, 8, 0x1AB);
    const DrawCommand c = Queued(0);
    EXPECT_EQ(c.picture, nullptr);
    EXPECT_EQ(c.x, 5);
    EXPECT_EQ(c.y, 6);
    EXPECT_EQ(c.w, 7);
    EXPECT_EQ(c.h, 8);
    EXPECT_EQ(c.grey, 0xAB);

    Gfx_QueuePicture(1, 2, 2, 2, TWO_BY_TWO.data());
    EXPECT_EQ(Queued(1).picture, TWO_BY_TWO.data());
    EXPECT_EQ(Queued(1).grey, 0);
}

TEST_F(Gfx, TextWrapsAtTheRightEdgeToColumnZero) {
    Gfx_QueueText(304, 0, "ABC");
    ASSERT_EQ(Count(), 3);
    EXPECT_EQ(Queued(0).x, 304);
    EXPECT_EQ(Queued(0).y, 0);
    EXPECT_EQ(Queued(1).x, 312);
    EXPECT_EQ(Queued(1).y, 0);
    EXPECT_EQ(Queued(2).x, 0);
    EXPECT_EQ(Queued(2).y, 8);
    EXPECT_EQ(Queued(2).picture, FONT['C']);
}

TEST_F(Gfx, TextStopsBelowTheLastRowAndOnAnEmptyString) {
    Gfx_QueueText(312, 232, "AB");
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(Queued(0).x, 312);
    EXPECT_EQ(Queued(0).y, 232);

    Gfx_ResetQueue();
    Gfx_QueueText(0, 0, "");
    EXPECT_EQ(Count(), 0);
}

TEST_F(Gfx, TextStepsOverRefusedCharactersAndKeepsHighBytes) {
    // Byte 200 is outside the font: refused, but it still takes its place.
    const char text[] = {'A', static_cast<char>(200), 'B', 0};
    Gfx_QueueText(0, 0, text);
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(Queued(1).x, 16);
    EXPECT_EQ(Queued(1).picture, FONT['B']);
}

TEST_F(Gfx, LongTextFillsTheQueueAndLosesTheRest) {
    const std::string text(1500, 'X');
    Gfx_QueueText(0, 0, text.c_str());
    EXPECT_EQ(Count(), 63);
    EXPECT_EQ(Queued(62).x, 22 * 8);
    EXPECT_EQ(Queued(62).y, 8);
}

TEST_F(Gfx, NumbersAreSixDigitsWithLeadingZeros) {
    auto digits = [](int value) {
        Gfx_ResetQueue();
        Gfx_QueueNumber(100, 50, value);
        std::string s;
        for (int k = 0; k < Count(); ++k) {
            const DrawCommand c = Queued(k);
            EXPECT_EQ(c.x, 100 + 8 * k);
            EXPECT_EQ(c.y, 50);
            for (int d = 0; d <= 9; ++d) {
                if (c.picture == FONT['0' + d]) s += static_cast<char>('0' + d);
            }
        }
        return s;
    };
    EXPECT_EQ(digits(0), "000000");
    EXPECT_EQ(digits(42), "000042");
    EXPECT_EQ(digits(999999), "999999");
    EXPECT_EQ(digits(1234567), "234567");
}

TEST_F(Gfx, GreyLevelsBecomeOpaqueGreyPixels) {
    Gfx_QueueFill(0, 0, 2, 2, 255);
    Gfx_QueueFill(2, 0, 2, 2, 0);
    Gfx_QueueFill(4, 0, 2, 2, 0x180);  // only the low byte counts
    Gfx_Flush();
    EXPECT_EQ(Pixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(3, 1), 0xFF000000u);
    EXPECT_EQ(Pixel(5, 1), 0xFF808080u);
    EXPECT_EQ(Pixel(6, 1), 0xFFFFFFFFu);  // untouched
}

TEST_F(Gfx, PicturesAreCopiedOpaqueRowByRow) {
    Gfx_QueuePicture(10, 20, 2, 2, TWO_BY_TWO.data());
    Gfx_QueuePicture(12, 20, 0, 2, TWO_BY_TWO.data());   // empty: nothing drawn
    Gfx_QueuePicture(12, 20, 2, -1, TWO_BY_TWO.data());  // likewise
    Gfx_Flush();
    EXPECT_EQ(Pixel(10, 20), Grey(10));
    EXPECT_EQ(Pixel(11, 20), Grey(20));
    EXPECT_EQ(Pixel(10, 21), Grey(30));
    EXPECT_EQ(Pixel(11, 21), Grey(40));
    EXPECT_EQ(Pixel(12, 20), Grey(255));
    EXPECT_EQ(Pixel(10, 22), Grey(255));
}

TEST_F(Gfx, LaterCommandsPaintOverEarlierOnes) {
    Gfx_QueueFill(0, 0, 4, 4, 50);
    Gfx_QueueFill(1, 1, 2, 2, 60);
    Gfx_Flush();
    EXPECT_EQ(Pixel(0, 0), Grey(50));
    EXPECT_EQ(Pixel(1, 1), Grey(60));
}

TEST_F(Gfx, GlyphsAndEmptyFontSlotsOnScreen) {
    ASSERT_NE(FONT['A'], nullptr);
    ASSERT_EQ(FONT[' '], nullptr);
    Gfx_QueueChar(40, 40, 'A');
    Gfx_QueueChar(48, 40, ' ');
    Gfx_QueueChar(56, 40, '@');
    Gfx_Flush();
    int white = 0;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(Pixel(40 + x, 40 + y), Grey(FONT['A'][y * 8 + x])) << x << "," << y;
            white += FONT['A'][y * 8 + x] == 255;
            EXPECT_EQ(Pixel(48 + x, 40 + y), Grey(0));
            EXPECT_EQ(Pixel(56 + x, 40 + y), Grey(0));
        }
    }
    EXPECT_GT(white, 5);
}

TEST_F(Gfx, DisabledPresentReturnsTwoAndKeepsTheQueue) {
    Gfx_QueueFill(0, 0, 1, 1, 33);
    EXPECT_EQ(Gfx_Present(), GFX_DISABLED);
    EXPECT_EQ(harness::ClockDelayCalls(), 0);
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(Pixel(0, 0), Grey(255));
    Gfx_Flush();
    EXPECT_EQ(Pixel(0, 0), Grey(33));
}

TEST_F(Gfx, PacedPresentsWaitForTheRestOfSixteenMilliseconds) {
    Gfx_SetPresentEnabled(1);
    Gfx_Present();  // stamps the clock
    const std::uint32_t stamp = Gfx_View().lastPresentTick;

    harness::ClockSet(stamp + 5);
    Gfx_QueueFill(0, 0, 1, 1, 77);
    EXPECT_EQ(Gfx_Present(), GFX_OK);
    EXPECT_EQ(harness::ClockDelayCalls(), 1);
    EXPECT_EQ(harness::ClockLastDelay(), 11u);
    EXPECT_EQ(Gfx_View().lastPresentTick, stamp + 16);  // stamped after the wait
    EXPECT_EQ(Pixel(0, 0), Grey(77));
    EXPECT_EQ(Count(), 0);

    harness::ClockSet(stamp + 16 + 16);
    Gfx_Present();
    EXPECT_EQ(harness::ClockDelayCalls(), 0);
    harness::ClockSet(stamp + 32 + 40);
    Gfx_Present();
    EXPECT_EQ(harness::ClockDelayCalls(), 0);
    EXPECT_EQ(Gfx_View().lastPresentTick, stamp + 72);

    harness::ClockSet(stamp + 72 + 15);
    Gfx_Present();
    EXPECT_EQ(harness::ClockLastDelay(), 1u);
}

TEST_F(Gfx, ClearScreenDropsPendingCommands) {
    Gfx_QueueFill(0, 0, 10, 10, 99);
    Gfx_ClearScreen();
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(Pixel(0, 0), Grey(0));
    EXPECT_EQ(Pixel(319, 239), Grey(0));
    EXPECT_EQ(harness::ClockDelayCalls(), 0);  // unpaced while presenting is off

    // With presenting on, the clear is a paced present.
    Gfx_SetPresentEnabled(1);
    harness::ClockSet(Gfx_View().lastPresentTick + 4);
    harness::FillSurface(Grey(255));
    Gfx_ClearScreen();
    EXPECT_EQ(harness::ClockLastDelay(), 12u);
    EXPECT_EQ(Pixel(160, 120), Grey(0));
}

// Commands that stray off the screen are clipped: the visible part is drawn
// and nothing outside the surface is written (the sanitizer build would
// catch a stray write into the heap around the pixels).
TEST_F(Gfx, OffScreenCommandsAreClipped) {
    Gfx_QueueFill(-10, -10, 400, 300, 5);
    Gfx_Flush();
    EXPECT_EQ(Pixel(0, 0), Grey(5));
    EXPECT_EQ(Pixel(319, 239), Grey(5));

    harness::FillSurface(Grey(255));
    Gfx_QueueFill(315, 0, 20, 1, 9);                    // must not run on into the next row
    Gfx_QueueChar(316, 236, 'A');                       // only its top-left 4x4 is visible
    Gfx_QueueChar(-4, 100, 'A');                        // only its right half
    Gfx_QueuePicture(-2, -1, 2, 2, TWO_BY_TWO.data());  // wholly off
    Gfx_QueueFill(32000, 32000, 30000, 30000, 1);       // far away
    Gfx_QueueFill(0, 300, 10, 10, 1);
    Gfx_Flush();
    EXPECT_EQ(Pixel(315, 0), Grey(9));
    EXPECT_EQ(Pixel(319, 0), Grey(9));
    EXPECT_EQ(Pixel(0, 1), Grey(255));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(Pixel(316 + x, 236 + y), Grey(FONT['A'][y * 8 + x]));
            EXPECT_EQ(Pixel(x, 100 + y), Grey(FONT['A'][y * 8 + x + 4]));
        }
    }
    EXPECT_EQ(Pixel(0, 0), Grey(255));
}

TEST_F(Gfx, ObserverSeesPresentsFlushesAndDrawsInOrder) {
    static std::vector<std::string> seen;
    seen.clear();
    static const GfxObserver observer{
        [](int result) { seen.push_back("present " + std::to_string(result)); },
        [] { seen.push_back("flush"); },
        [](const DrawCommand &c) { seen.push_back((c.picture ? "P " : "F ") + std::to_string(c.x)); },
    };
    Gfx_SetObserver(&observer);
    Gfx_QueueFill(3, 0, 1, 1, 0);
    Gfx_Present();
    Gfx_QueueChar(8, 0, 'A');
    Gfx_QueueChar(16, 0, ' ');
    Gfx_Flush();
    Gfx_SetPresentEnabled(1);
    Gfx_Present();
    const std::vector<std::string> expected{"present 2", "flush", "F 3", "P 8", "F 16", "present 0"};
    EXPECT_EQ(seen, expected);
}

}  // namespace

// The show step runs once after every executed batch, after the batch's
// pixels are in the surface, and a step that does nothing leaves the pixels
// the same; null gives SDL's update back.
TEST(GfxShow, RunsOnceAfterEveryBatchWithTheDrawnSurface) {
    static std::vector<std::uint32_t> shownCorner;
    shownCorner.clear();
    Gfx_SetObserver(nullptr);
    Gfx_ResetQueue();
    harness::FillSurface(Grey(255));
    Gfx_SetShow([](SDL_Surface *screen) {
        EXPECT_EQ(screen, Gfx_View().screen);
        shownCorner.push_back(Pixel(0, 0));
    });
    Gfx_QueueFill(0, 0, 1, 1, 7);
    Gfx_Flush();
    Gfx_SetPresentEnabled(1);
    harness::ClockAdvance(GFX_FRAME_MS);
    Gfx_QueueFill(0, 0, 1, 1, 9);
    Gfx_Present();
    Gfx_SetPresentEnabled(0);
    Gfx_Present();  // disabled: no batch runs, nothing is shown
    Gfx_SetShow(nullptr);
    Gfx_Flush();
    const std::vector<std::uint32_t> expected{Grey(7), Grey(9)};
    EXPECT_EQ(shownCorner, expected);
    EXPECT_EQ(Pixel(0, 0), Grey(9));
}
