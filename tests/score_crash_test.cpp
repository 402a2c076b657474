// score_crash_test.cpp -- a save killed at any moment leaves the old or the new scores.dat, never a broken one
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/system.h"
#include "scores/score_file.h"
#include "test_support.h"

namespace {

constexpr int RunCount = 1500;   // a long history: the file is about 200 kilobytes
constexpr int Trials = 250;

std::string FileBytes()
{
    std::ifstream in("scores.dat", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Scores MakeRecord(int n)
{
    Scores record;
    record.Score = 1000 + n * 37 % 9000;
    record.Timestamp = 748000000000LL + n;
    record.Name = "Climber " + std::to_string(n % 97);
    record.Badges = n % 65536;
    for (int i = 1; i <= 30; ++i)
        record.Best[i] = (n + i) % 5;
    record.Best[30] = n % 11 == 0 ? 1 : 0;
    return record;
}

// Stale temporary files of killed writers, so hundreds of trials do not fill the disk.
void RemoveTemporaryFiles()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(".", ec))
        if (entry.path().filename().string() != "scores.dat")
            fs::remove(entry.path(), ec);
}

}  // namespace

TEST(ScoreCrashTest, KilledSavesLeaveTheOldOrTheNewFile)
{
    UseHeadlessPlatform();
    SysChangeDir(MakeScratchDir("score_crash"));
    ScoreList.clear();
    for (int n = 0; n < RunCount; ++n)
        ScoreList.push_back(MakeRecord(n));
    ASSERT_TRUE(SaveScores());

    // How long a child takes to record a run and save, unhindered: only to spread the kills over it.
    const auto began = std::chrono::steady_clock::now();
    pid_t timed = fork();
    ASSERT_GE(timed, 0);
    if (timed == 0) {
        AddScoreRecord(MakeRecord(RunCount));
        _exit(0);
    }
    waitpid(timed, nullptr, 0);
    const auto childMicros =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - began).count();
    ScoreList.clear();
    LoadScores();
    ASSERT_EQ(ScoreList.size(), static_cast<size_t>(RunCount) + 1);
    std::mt19937 random(252);
    std::uniform_int_distribution<long> delay(0, static_cast<long>(childMicros * 6 / 5) + 1);

    int keptOld = 0, gotNew = 0;
    for (int trial = 0; trial < Trials; ++trial) {
        const std::string before = FileBytes();
        const Scores added = MakeRecord(RunCount + 1 + trial);
        std::list<Scores> expected = ScoreList;
        expected.push_back(added);

        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            AddScoreRecord(added);
            _exit(0);
        }
        usleep(static_cast<useconds_t>(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        // The file is exactly the old one or exactly the new one.
        const std::string after = FileBytes();
        if (after == before) {
            ++keptOld;
        } else {
            ++gotNew;
            ScoreList = expected;
            SortScores();
            std::string full;
            for (const Scores& record : ScoreList)
                full += ScoreLine1(record) + "\r\n" + ScoreLine2(record) + "\r\n";
            ASSERT_EQ(after.size(), full.size()) << "trial " << trial;
            ASSERT_TRUE(after == full) << "trial " << trial;
        }
        RemoveTemporaryFiles();

        // And it reads back holding every run recorded before this save began.
        const size_t known = ScoreList.size();
        ScoreList.clear();
        LoadScores();
        ASSERT_EQ(ScoreList.size(), known) << "trial " << trial;
    }
    std::cout << "kills before the new file was in place: " << keptOld << ", after: " << gotNew << "\n";
}
