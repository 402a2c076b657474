// score_file_test.cpp -- the score record, its ordering and scores.dat written and read back
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/system.h"
#include "scores/score_file.h"
#include "test_support.h"

namespace {

class ScoreFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UseHeadlessPlatform();
        dir = MakeScratchDir(std::string("score_file_") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        SysChangeDir(dir);
        ScoreList.clear();
        PlayerName = "Player";
    }
    std::string dir;
};

void WriteBytes(const std::string& bytes)
{
    std::ofstream out("scores.dat", std::ios::binary);
    out << bytes;
}

std::string ReadBytes()
{
    std::ifstream in("scores.dat", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Scores MakeRun(int64_t score, int64_t stamp, const std::string& name)
{
    Scores record;
    record.Score = score;
    record.Timestamp = stamp;
    record.Name = name;
    return record;
}

std::string Zeros30()
{
    std::string line = "0";
    for (int i = 2; i <= 30; ++i)
        line += "|0";
    return line;
}

std::vector<Scores> ListCopy()
{
    return std::vector<Scores>(ScoreList.begin(), ScoreList.end());
}

}  // namespace

TEST_F(ScoreFileTest, WritesTheTwoLineLayoutNewestFirst)
{
    ScoreList.push_back(MakeRun(7, 100, "Old"));
    ScoreList.push_back(MakeRun(40960, 748000000000, "Player"));
    ScoreList.push_back(MakeRun(-3, 200, ""));
    ASSERT_TRUE(SaveScores());

    const std::string z = Zeros30();
    EXPECT_EQ(ReadBytes(), "40960|Player|0|748000000000|0|0|0|0\r\n" + z + "\r\n" +
                               "-3||0|200|0|0|0|0\r\n" + z + "\r\n" +
                               "7|Old|0|100|0|0|0|0\r\n" + z + "\r\n");
}

TEST_F(ScoreFileTest, RoundTripKeepsRecordsAndNormalisesSignsAndSpaces)
{
    Scores a = MakeRun(INT64_MAX, 900, "  Spaced Name  ");
    a.Badges = -5;
    a.Level = -1;
    a.GameMode = 2;
    a.GameFlags = -7;
    a.Quit = 1;
    for (int i = 1; i <= 30; ++i)
        a.Best[i] = (i % 2 ? -i : i * 1000);
    Scores b = MakeRun(INT64_MIN, -42, "\xe9t\xe9 \xff");   // Latin-1 bytes survive one byte per character
    b.Badges = INT_MIN;
    b.Best[30] = 1;
    Scores c = MakeRun(0, 500, "");
    ScoreList = {c, a, b};
    ASSERT_TRUE(SaveScores());

    ScoreList.clear();
    LoadScores();
    std::vector<Scores> got = ListCopy();
    ASSERT_EQ(got.size(), 3u);

    EXPECT_EQ(got[0].Score, INT64_MAX);
    EXPECT_EQ(got[0].Timestamp, 900);
    EXPECT_EQ(got[0].Name, "Spaced Name");
    EXPECT_EQ(got[0].Badges, 5);
    EXPECT_EQ(got[0].Level, 1);
    EXPECT_EQ(got[0].GameMode, 2);
    EXPECT_EQ(got[0].GameFlags, 7);
    EXPECT_EQ(got[0].Quit, 1);
    for (int i = 1; i <= 30; ++i)
        EXPECT_EQ(got[0].Best[i], i % 2 ? i : i * 1000) << "Best " << i;

    EXPECT_EQ(got[1].Score, 0);
    EXPECT_EQ(got[1].Name, "");

    EXPECT_EQ(got[2].Score, INT64_MIN);
    EXPECT_EQ(got[2].Timestamp, -42);
    EXPECT_EQ(got[2].Name, "\xe9t\xe9 \xff");
    EXPECT_EQ(got[2].Badges, INT_MAX);   // the absolute value of the smallest int does not fit
    EXPECT_EQ(got[2].Best[30], 1);

    EXPECT_EQ(PlayerName, "Spaced Name");
}

TEST_F(ScoreFileTest, SeparatorAndLineBreaksInANameCannotBreakTheRecord)
{
    Scores record = MakeRun(12, 300, "a|b\nc\rd");
    record.Badges = 3;
    ScoreList.push_back(record);
    ASSERT_TRUE(SaveScores());

    ScoreList.clear();
    LoadScores();
    ASSERT_EQ(ScoreList.size(), 1u);
    EXPECT_EQ(ScoreList.front().Name, "a/b c d");
    EXPECT_EQ(ScoreList.front().Badges, 3);
    EXPECT_EQ(ScoreList.front().Timestamp, 300);
}

TEST_F(ScoreFileTest, LoadSortsNewestFirstAndTakesThePlayerFromTheFirstRecord)
{
    const std::string z = Zeros30();
    WriteBytes("1|First|0|10|0|0|0|0\r\n" + z + "\r\n" + "2|Newest|0|30|0|0|0|0\r\n" + z + "\r\n" +
               "3|Middle|0|20|0|0|0|0\r\n" + z + "\r\n");
    LoadScores();
    std::vector<Scores> got = ListCopy();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].Name, "Newest");
    EXPECT_EQ(got[1].Name, "Middle");
    EXPECT_EQ(got[2].Name, "First");
    EXPECT_EQ(PlayerName, "First");
}

TEST_F(ScoreFileTest, MissingFileLeavesListAndNameAlone)
{
    ScoreList.push_back(MakeRun(5, 5, "Kept"));
    PlayerName = "Someone";
    LoadScores();
    ASSERT_EQ(ScoreList.size(), 1u);
    EXPECT_EQ(PlayerName, "Someone");
}

// Damaged files: each yields what can be read, without disturbing the records around the damage.
TEST_F(ScoreFileTest, DamagedFilesReadWhatTheyCan)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> names;      // newest first
        std::vector<int64_t> scores;
    };
    const std::string z = Zeros30();
    const Case cases[] = {
        {"blank and separator-free lines between records",
         "\r\n1|A|0|20|0|0|0|0\r\n" + z + "\r\n\r\n   \r\njunk\r\n2|B|0|10|0|0|0|0\r\n" + z + "\r\n\r\n",
         {"A", "B"}, {1, 2}},
        {"LF-only line ends", "1|A|0|20|0|0|0|0\n" + z + "\n2|B|0|10|0|0|0|0\n" + z, {"A", "B"}, {1, 2}},
        {"non-numeric and missing fields", "x12|  Bob  |zz\r\n", {"Bob"}, {0}},
        {"only separators", "|\r\n|\r\n", {""}, {0}},
        {"sign and leading digits", "+17abc|C|0|1|0|0|0|0\r\n-", {"C"}, {17}},
        {"a score too large for 64 bits", "99999999999999999999999999|Big|0|1|0|0|0|0\r\n" + z, {"Big"},
         {INT64_MAX}},
        {"a score too small for 64 bits", "-99999999999999999999999999|Low|0|1|0|0|0|0\r\n" + z, {"Low"},
         {INT64_MIN}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScoreList.clear();
        WriteBytes(c.bytes);
        LoadScores();
        std::vector<Scores> got = ListCopy();
        ASSERT_EQ(got.size(), c.names.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].Name, c.names[i]);
            EXPECT_EQ(got[i].Score, c.scores[i]);
        }
    }
}

TEST_F(ScoreFileTest, LastRecordWithoutSecondLineHasNoBestValues)
{
    std::string line2 = "1";
    for (int i = 2; i <= 30; ++i)
        line2 += "|" + std::to_string(i);
    WriteBytes("5|A|0|20|0|0|0|0\r\n" + line2 + "\r\n6|B|7|10|1|2|3|1");
    LoadScores();
    std::vector<Scores> got = ListCopy();
    ASSERT_EQ(got.size(), 2u);
    for (int i = 1; i <= 30; ++i) {
        EXPECT_EQ(got[0].Best[i], i);
        EXPECT_EQ(got[1].Best[i], 0);
    }
    EXPECT_EQ(got[1].Badges, 7);
    EXPECT_EQ(got[1].Level, 1);
    EXPECT_EQ(got[1].GameMode, 2);
    EXPECT_EQ(got[1].GameFlags, 3);
    EXPECT_EQ(got[1].Quit, 1);
}

TEST_F(ScoreFileTest, ShortBestLineLeavesTheRestZero)
{
    WriteBytes("5|A|0|20|0|0|0|0\r\n4|-9|x\r\n");
    LoadScores();
    ASSERT_EQ(ScoreList.size(), 1u);
    const Scores& r = ScoreList.front();
    EXPECT_EQ(r.Best[1], 4);
    EXPECT_EQ(r.Best[2], 9);
    EXPECT_EQ(r.Best[3], 0);
    EXPECT_EQ(r.Best[30], 0);
}

TEST_F(ScoreFileTest, HostileFilesNeitherCrashNorYieldNegativeFields)
{
    // Very long lines: a huge number, a line of nothing but separators, a huge name.
    std::string longDigits(2000000, '9');
    std::string bars(2000000, '|');
    std::string longName(1000000, 'n');
    WriteBytes(longDigits + "|L|" + longDigits + "\r\n" + bars + "\r\n" + "1|" + longName + "|0|5\r\n" + bars);
    LoadScores();
    std::vector<Scores> got = ListCopy();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].Name.size(), longName.size());
    EXPECT_EQ(got[1].Score, INT64_MAX);
    EXPECT_EQ(got[1].Badges, INT_MAX);

    // Binary junk, every byte value, many times over.
    std::mt19937 random(252);
    for (int trial = 0; trial < 20; ++trial) {
        std::string junk(20000, '\0');
        for (char& c : junk)
            c = static_cast<char>(random() % 256);
        ScoreList.clear();
        WriteBytes(junk);
        LoadScores();
        for (const Scores& r : ScoreList) {
            EXPECT_GE(r.Badges, 0);
            EXPECT_GE(r.Level, 0);
            EXPECT_GE(r.Quit, 0);
            for (int i = 1; i <= 30; ++i)
                ASSERT_GE(r.Best[i], 0);
        }
        // Whatever came in goes out again as records that read back the same.
        ASSERT_TRUE(SaveScores());
        std::vector<Scores> before = ListCopy();
        ScoreList.clear();
        LoadScores();
        ASSERT_EQ(ScoreList.size(), before.size());
    }
}

TEST_F(ScoreFileTest, ReloadKeepsRunsTheFileDoesNotHoldYet)
{
    const std::string z = Zeros30();
    WriteBytes("10|OnDisk|0|100|0|0|0|0\r\n" + z + "\r\n");
    LoadScores();
    ASSERT_EQ(ScoreList.size(), 1u);
    PlayerName = "Newcomer";

    // A run the file does not hold, e.g. because writing failed, and one already in both.
    ScoreList.push_back(MakeRun(20, 200, " Newcomer "));
    LoadScores();
    LoadScores();
    std::vector<Scores> got = ListCopy();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].Score, 20);
    EXPECT_EQ(got[1].Name, "OnDisk");
    EXPECT_EQ(PlayerName, "Newcomer");

    // Runs the file holds that the list lacks come in; identical runs stay distinct by count.
    ScoreList.clear();
    ScoreList.push_back(MakeRun(20, 200, "Newcomer"));
    WriteBytes("20|Newcomer|0|200|0|0|0|0\r\n" + z + "\r\n20|Newcomer|0|200|0|0|0|0\r\n" + z +
               "\r\n10|OnDisk|0|100|0|0|0|0\r\n" + z + "\r\n");
    LoadScores();
    EXPECT_EQ(ScoreList.size(), 3u);
}

TEST_F(ScoreFileTest, AddScoreRecordWritesTheFileAtOnce)
{
    ScoreList.push_back(MakeRun(1, 10, "Earlier"));
    AddScoreRecord(MakeRun(99, 20, "Latest"));
    ASSERT_EQ(ScoreList.front().Name, "Latest");

    ScoreList.clear();
    LoadScores();
    std::vector<Scores> got = ListCopy();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].Name, "Latest");
    EXPECT_EQ(got[1].Name, "Earlier");
}

TEST_F(ScoreFileTest, FailedWriteKeepsTheListInMemory)
{
    // A folder where the file should be: it can be neither read nor replaced.
    SysCreateDir("scores.dat");
    ScoreList.push_back(MakeRun(1, 10, "Earlier"));
    AddScoreRecord(MakeRun(2, 20, "Latest"));
    EXPECT_FALSE(SaveScores());
    EXPECT_TRUE(SysFileExists("scores.dat"));
    LoadScores();
    EXPECT_EQ(ScoreList.size(), 2u);
}

TEST(ScoreCompareTest, NewerRecordsSortFirst)
{
    Scores a = MakeRun(0, 10, "a"), b = MakeRun(0, 20, "b"), c = MakeRun(0, 20, "c");
    EXPECT_LT(b.Compare(a), 0);
    EXPECT_GT(a.Compare(b), 0);
    EXPECT_EQ(b.Compare(c), 0);
    Scores lowest = MakeRun(0, INT64_MIN, "l"), highest = MakeRun(0, INT64_MAX, "h");
    EXPECT_GT(lowest.Compare(highest), 0);   // no overflow at the extremes
    EXPECT_LT(highest.Compare(lowest), 0);
}
