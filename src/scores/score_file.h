// score_file.h -- the record of a run, the list of all runs and scores.dat
#pragma once
#include <cstdint>
#include <list>
#include <string>

constexpr int ScoreBestCount = 31;   // entries 1..30 used

struct Scores {
    int64_t Score = 0;
    int64_t Timestamp = 0;
    int32_t Badges = 0;
    std::string Name;
    int Best[ScoreBestCount] = {};
    int Level = 0;
    int GameMode = 0;
    int GameFlags = 0;
    int Quit = 0;

    int Compare(const Scores& other) const;   // < 0 when this one is newer
};

// ---- Score state ---------------------------------------------------------------------
extern std::list<Scores> ScoreList;   // newest first after every sort
extern std::string PlayerName;

void SortScores();
void LoadScores();    // scores.dat in the current (game) folder
void SaveScores();
void AddScoreRecord(const Scores& record);   // appends a finished run, sorts, and writes scores.dat at once
