// score_table.h -- the title screen's chart, ranked list and run details
#pragma once

struct Scores;

// ---- Score table state -------------------------------------------------------------
constexpr int TopScoreCount = 50;
extern Scores* TopScores[TopScoreCount];
extern int ScoreTableScroll, ScoreTableSelection;
extern int BadgeCount;

int DrawScoreTable(int slide, int gameMode, int level, int gameFlags);
