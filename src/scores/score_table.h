// score_table.h -- the title screen's chart, ranked list and run details
#pragma once

struct Scores;

// ---- Score table state -------------------------------------------------------------
constexpr int TopScoreCount = 50;
constexpr int RankedScoreCount = 25;   // TopScores entries 1..25 are used
constexpr int ListedScoreRows = 16;    // of those, the ranked list shows the first 16
constexpr int ChartKeptRuns = 50;      // newer runs than this always stay in ScoreList
extern Scores* TopScores[TopScoreCount];
extern int ScoreTableScroll, ScoreTableSelection;
extern int BadgeCount;
extern const Scores* ScoreTableShown;   // the run whose details the last call drew; null for none

extern const char* const MakerWebAddress;   // the thank-you panel's last line

// Draws the whole panel for one frame; returns 1 when a matching run completed the game. Prunes old
// runs from ScoreList (and writes scores.dat when it did).
int DrawScoreTable(int slide, int gameMode, int level, int gameFlags);
