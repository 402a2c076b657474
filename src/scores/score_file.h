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
// Reads scores.dat in the current (game) folder. Runs already in the list stay: the file's records
// that the list lacks are added, so a reload after a display change never loses a run. PlayerName
// comes from the file's first record only when the list held no runs before.
void LoadScores();
bool SaveScores();    // writes the list to scores.dat in the current folder; false keeps the old file
void AddScoreRecord(const Scores& record);   // appends a finished run, sorts, and writes scores.dat at once

// The two lines of a record in scores.dat, and reading them back.
std::string ScoreLine1(const Scores& record);
std::string ScoreLine2(const Scores& record);
void ReadScoreLine1(const std::string& line, Scores& record);
void ReadScoreLine2(const std::string& line, Scores& record);
