// score_table_test.cpp -- ranking, pruning, selection, scrolling and the panels of the score table
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "frame/frame_routine.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/render.h"
#include "platform/system.h"
#include "platform/test_platform.h"
#include "scores/score_file.h"
#include "scores/score_table.h"
#include "shell/display_setup.h"
#include "test_support.h"

namespace {

constexpr int W = 1280, H = 960;
constexpr int InView = 320;   // slide offset of a panel fully in view

class ScoreTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        dir = MakeScratchDir(std::string("score_table_") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        SysChangeDir(dir);
        ASSERT_TRUE(VidOpen(W, H, 0, 60));
        VidSetVirtualResolution(W, H);
        VirtualWidth = W;
        VirtualHeight = H;
        ScoreList.clear();
        ScoreTableScroll = 0;
        ScoreTableSelection = 0;
        PointAt(0, 0);
        TestMouseButton(1, false);
    }
    void TearDown() override { TestMouseButton(1, false); }

    static void PointAt(int x, int y)
    {
        MouseX = x;
        MouseY = y;
    }

    std::string dir;
};

// Runs numbered from the newest (stamp 1000000) backwards, one second apart.
Scores& AddRun(int64_t score, int age, int level = 0)
{
    Scores record;
    record.Score = score;
    record.Timestamp = 1000000 - age;
    record.Name = "Run" + std::to_string(age);
    record.Level = level;
    ScoreList.push_back(record);
    return ScoreList.back();
}

std::vector<std::string> RankedNames()
{
    std::vector<std::string> names;
    for (int i = 1; i <= RankedScoreCount && TopScores[i] != nullptr; ++i)
        names.push_back(TopScores[i]->Name);
    return names;
}

// Centre of chart column k (1 = newest) when the table is in view and not scrolled.
int ColumnX(int k)
{
    return W + 306 - InView - (k - 1) * 18;
}

Pixel PixelAt(int x, int y)
{
    Pixmap p = GfxGrabPixmap(x, y, 1, 1);
    return p.pixels.empty() ? 0 : p.pixels[0];
}

int Blue(Pixel p)
{
    return static_cast<int>(p & 0xff);
}

}  // namespace

TEST_F(ScoreTableTest, RanksHighestFirstAndNewerBeforeOlderOnEqualScores)
{
    AddRun(50, 0);
    AddRun(70, 1);
    AddRun(50, 2);
    AddRun(90, 3, 1);   // another table: neither ranked nor charted
    AddRun(10, 4);
    EXPECT_EQ(DrawScoreTable(InView, 0, 0, 0), 0);
    EXPECT_EQ(RankedNames(), (std::vector<std::string>{"Run1", "Run0", "Run2", "Run4"}));

    EXPECT_EQ(DrawScoreTable(InView, 0, 1, 0), 0);
    EXPECT_EQ(RankedNames(), (std::vector<std::string>{"Run3"}));
}

TEST_F(ScoreTableTest, KeepsOnlyTheTwentyFiveBest)
{
    for (int age = 0; age < 40; ++age)
        AddRun(age, age);   // older runs score higher
    DrawScoreTable(InView, 0, 0, 0);
    std::vector<std::string> ranked = RankedNames();
    ASSERT_EQ(ranked.size(), 25u);
    EXPECT_EQ(ranked.front(), "Run39");
    EXPECT_EQ(ranked.back(), "Run15");
}

TEST_F(ScoreTableTest, PrunesOldRunsThatAreNotAmongTheBestAndSavesTheResult)
{
    // 60 matching runs: the ten oldest include five that rank among the best 25.
    std::set<std::string> expectKept;
    for (int age = 0; age < 60; ++age) {
        const bool oldButGood = age >= 50 && age % 2 == 0;
        AddRun(oldButGood ? 1000 + age : age < 50 ? 1 + age % 7 : 0, age);
        if (age < 50 || oldButGood)
            expectKept.insert("Run" + std::to_string(age));
    }
    // Old runs of another table are never touched.
    for (int age = 60; age < 70; ++age) {
        AddRun(0, age, 2);
        expectKept.insert("Run" + std::to_string(age));
    }

    DrawScoreTable(InView, 0, 0, 0);
    std::set<std::string> kept;
    for (const Scores& record : ScoreList)
        kept.insert(record.Name);
    EXPECT_EQ(kept, expectKept);
    for (int i = 1; i <= RankedScoreCount; ++i) {
        ASSERT_NE(TopScores[i], nullptr);
        EXPECT_TRUE(kept.count(TopScores[i]->Name)) << "ranked run " << i << " left the list";
    }

    // The file holds exactly what the table kept.
    const size_t inMemory = ScoreList.size();
    ScoreList.clear();
    LoadScores();
    EXPECT_EQ(ScoreList.size(), inMemory);

    // A second frame has nothing more to prune.
    DrawScoreTable(InView, 0, 0, 0);
    EXPECT_EQ(ScoreList.size(), inMemory);
}

TEST_F(ScoreTableTest, ResultTellsWhetherAMatchingRunCompletedTheGame)
{
    EXPECT_EQ(DrawScoreTable(InView, 0, 0, 0), 0);
    AddRun(5, 0);
    AddRun(6, 1, 3).Best[30] = 1;   // another table's completion does not count
    EXPECT_EQ(DrawScoreTable(InView, 0, 0, 0), 0);
    AddRun(7, 2).Best[30] = 1;
    EXPECT_EQ(DrawScoreTable(InView, 0, 0, 0), 1);
}

TEST_F(ScoreTableTest, PointerSelectsAndAClickKeepsTheSelection)
{
    for (int age = 0; age < 5; ++age)
        AddRun(100 - age, age);

    // Nothing hovered, nothing stored: no details.
    DrawScoreTable(InView, 0, 0, 0);
    EXPECT_EQ(ScoreTableShown, nullptr);

    // Hovering the third column shows it without storing it.
    PointAt(ColumnX(3), H - 80);
    DrawScoreTable(InView, 0, 0, 0);
    ASSERT_NE(ScoreTableShown, nullptr);
    EXPECT_EQ(ScoreTableShown->Name, "Run2");
    EXPECT_EQ(ScoreTableSelection, 0);
    PointAt(0, 0);
    DrawScoreTable(InView, 0, 0, 0);
    EXPECT_EQ(ScoreTableShown, nullptr);

    // Holding the button over it stores the position.
    PointAt(ColumnX(3), H - 80);
    TestMouseButton(1, true);
    DrawScoreTable(InView, 0, 0, 0);
    TestMouseButton(1, false);
    EXPECT_EQ(ScoreTableSelection, 3);
    PointAt(0, 0);
    DrawScoreTable(InView, 0, 0, 0);
    ASSERT_NE(ScoreTableShown, nullptr);
    EXPECT_EQ(ScoreTableShown->Name, "Run2");

    // The stored position follows whatever run takes it; a hovered row wins over it.
    AddRun(1, -1);
    SortScores();
    DrawScoreTable(InView, 0, 0, 0);
    EXPECT_EQ(ScoreTableShown->Name, "Run1");
    PointAt(W - InView + 100, H - 436 + 17 * 4 + 5);   // ranked row 5
    DrawScoreTable(InView, 0, 0, 0);
    EXPECT_EQ(ScoreTableShown->Name, "Run4");

    TestMouseButton(1, true);
    DrawScoreTable(InView, 0, 0, 0);
    TestMouseButton(1, false);
    EXPECT_EQ(ScoreTableSelection, 1005);
    PointAt(0, 0);
    DrawScoreTable(InView, 0, 0, 0);
    EXPECT_EQ(ScoreTableShown->Name, "Run4");
}

TEST_F(ScoreTableTest, SelectedRunThatIsPrunedIsNotShown)
{
    for (int age = 0; age < 51; ++age)
        AddRun(0, age);
    ScoreTableSelection = 51;   // the oldest run, which goes this frame
    DrawScoreTable(InView, 0, 0, 0);
    EXPECT_EQ(ScoreList.size(), 50u);
    EXPECT_EQ(ScoreTableShown, nullptr);
}

TEST_F(ScoreTableTest, HoveringTheEndsScrollsWithinLimits)
{
    AddRun(1, 0);
    PointAt(W - 12 - InView + 10, H - 80);   // left end
    for (int frame = 0; frame < 130; ++frame)
        DrawScoreTable(InView, 0, 0, 0);
    EXPECT_EQ(ScoreTableScroll, 1000);
    PointAt(W + 270 - InView + 10, H - 80);   // right end
    DrawScoreTable(InView, 0, 0, 0);
    EXPECT_EQ(ScoreTableScroll, 992);
    for (int frame = 0; frame < 130; ++frame)
        DrawScoreTable(InView, 0, 0, 0);
    EXPECT_EQ(ScoreTableScroll, 0);
}

TEST_F(ScoreTableTest, ThankYouPanelNeedsMoreThanTenRows)
{
    for (int rows : {10, 11}) {
        SCOPED_TRACE(rows);
        ScoreList.clear();
        for (int age = 0; age < rows; ++age)
            AddRun(age, age);
        GfxCls();
        DrawScoreTable(InView, 0, 0, 0);
        // Inside the panel, clear of its text.
        const int blue = Blue(PixelAt(W - 12 - InView + 4, 196));
        if (rows == 10)
            EXPECT_EQ(blue, 0);
        else
            EXPECT_GT(blue, 30);
    }
}

TEST_F(ScoreTableTest, ExtremeScoresDrawWithoutFault)
{
    AddRun(INT64_MAX, 0);
    AddRun(INT64_MIN, 1);
    AddRun(0, 2).Badges = -1;
    PointAt(ColumnX(3), H - 80);
    BadgeCount = 40;   // more badges than bits
    DrawScoreTable(InView, 0, 0, 0);
    BadgeCount = 16;
    ASSERT_NE(ScoreTableShown, nullptr);
    EXPECT_EQ(ScoreTableShown->Badges, -1);
}
