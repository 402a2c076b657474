// tower_test.cpp -- the tower generator: base row, derived rows, steps and the per-frame advance
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game/tower.h"
#include "platform/system.h"

namespace {

int TypeOf(int value) { return value == 0 ? -1 : (value - 1) % 8; }

std::vector<int> RowCopy(int r)
{
    std::vector<int> row(TowerColumns);
    for (int j = 0; j < TowerColumns; j++) row[j] = CellAt(r, j);
    return row;
}

// A run of the row beneath: columns first..last of one type (-1 for empty cells).
struct Run {
    int first, last, type;
};

std::vector<Run> RunsOf(const std::vector<int>& row)
{
    std::vector<Run> runs;
    for (int j = 0; j < TowerColumns; j++) {
        int t = TypeOf(row[j]);
        if (runs.empty() || runs.back().type != t)
            runs.push_back({j, j, t});
        else
            runs.back().last = j;
    }
    return runs;
}

struct Step {
    int row, first, last;
};

// Checks one derivation of row r against the rules, given the row beneath as it was before; records any
// step it finds. Every block keeps the type beneath it, one variant per run, and a step empties the two
// end cells of a run of 6 or more and turns the two cells beneath them into ledges of the run's type.
void CheckDerivedRow(int r, const std::vector<int>& beneathBefore, std::vector<Step>& steps)
{
    std::vector<int> row = RowCopy(r);
    std::vector<int> beneathAfter = RowCopy(r + 1);
    for (const Run& run : RunsOf(beneathBefore)) {
        bool stepped = run.type >= 0 && row[run.first] == 0;
        if (run.type < 0) {
            for (int j = run.first; j <= run.last; j++) ASSERT_EQ(row[j], 0) << "row " << r << " col " << j;
            continue;
        }
        if (stepped) {
            ASSERT_LT(r, 2500) << "step on a row that may not get one";
            ASSERT_GE(run.last - run.first + 1, 6) << "step on a short run, row " << r;
            ASSERT_EQ(row[run.last], 0);
            ASSERT_EQ(beneathAfter[run.first], run.type + 1);
            ASSERT_EQ(beneathAfter[run.last], run.type + 1);
            steps.push_back({r, run.first, run.last});
        } else {
            ASSERT_NE(row[run.last], 0) << "row " << r << " col " << run.last;
            ASSERT_EQ(beneathAfter[run.first], beneathBefore[run.first]);
            ASSERT_EQ(beneathAfter[run.last], beneathBefore[run.last]);
        }
        int inner0 = stepped ? run.first + 1 : run.first;
        int inner1 = stepped ? run.last - 1 : run.last;
        int variant = (row[inner0] - 1) / 8;
        for (int j = inner0; j <= inner1; j++) {
            ASSERT_EQ(TypeOf(row[j]), run.type) << "row " << r << " col " << j;
            ASSERT_EQ((row[j] - 1) / 8, variant) << "one variant per run, row " << r << " col " << j;
        }
        for (int j = run.first + 1; j < run.last; j++) ASSERT_EQ(beneathAfter[j], beneathBefore[j]);
    }
}

void CheckBaseRow()
{
    std::vector<int> base = RowCopy(TowerBaseRow);
    ASSERT_EQ(base[255], 0);
    for (int j = 0; j < 255; j++) ASSERT_GE(base[j], 9) << "base row is all walls, col " << j;
    base[255] = base[254];   // the last run is only cut short by the empty column
    std::vector<Run> runs = RunsOf(base);
    ASSERT_EQ(runs.front().type, 0);
    for (size_t i = 0; i < runs.size(); i++) {
        int length = runs[i].last - runs[i].first + 1;
        ASSERT_LE(length, 11);
        if (i + 1 < runs.size()) {
            ASSERT_GE(length, 4);
        }
    }
}

}  // namespace

// Builds whole towers by hand for many seeds, checking every derived row against the row it came from;
// the same seed through StartTower and AdvanceTower must then give the same grid.
TEST(Tower, EveryRowFollowsTheRulesOverManySeeds)
{
    int stepsSeen = 0;
    static int manual[TowerGridSize];
    for (int seed = 1; seed <= 12; seed++) {
        SCOPED_TRACE(seed);
        SysSeedRandom(seed * 7919);
        ClearTower();
        GenerateBaseRow();
        CheckBaseRow();
        std::vector<Step> steps;
        for (int r = TowerBaseRow - 1; r >= 1; r--) {
            std::vector<int> beneath = RowCopy(r + 1);
            DeriveRow(r);
            CheckDerivedRow(r, beneath, steps);
            if (HasFatalFailure()) return;
        }
        stepsSeen += int(steps.size());

        for (int r = 0; r <= TowerBaseRow; r++) ASSERT_EQ(CellAt(r, 255), 0) << "row " << r;
        for (int j = 0; j < TowerColumns; j++) ASSERT_EQ(CellAt(0, j), 0);
        // The foot of the tower keeps the base row's types: no gaps but column 255.
        for (int r = 2500; r < TowerBaseRow; r++)
            for (int j = 0; j < 255; j++) ASSERT_EQ(TypeOf(CellAt(r, j)), TypeOf(CellAt(TowerBaseRow, j)));
        // Above a step the column of blocks stays narrower.
        for (const Step& s : steps)
            for (int r = s.row; r >= 0; r--) {
                ASSERT_EQ(CellAt(r, s.first), 0) << "row " << r;
                ASSERT_EQ(CellAt(r, s.last), 0) << "row " << r;
            }

        std::memcpy(manual, TowerGrid, sizeof manual);
        SysSeedRandom(seed * 7919);
        StartTower();
        EXPECT_EQ(GenerationCursor, 2500);
        for (int r = 0; r < 2500; r++)
            for (int j = 0; j < TowerColumns; j++) ASSERT_EQ(CellAt(r, j), 0) << "row " << r;
        for (int frame = 1; frame <= 833; frame++) AdvanceTower();
        ASSERT_EQ(std::memcmp(manual, TowerGrid, sizeof manual), 0) << "advance order differs";
        for (int frame = 834; frame <= 900; frame++) AdvanceTower();
        ASSERT_EQ(std::memcmp(manual, TowerGrid, sizeof manual), 0) << "changed after frame 833";
    }
    EXPECT_GT(stepsSeen, 0) << "no step in twelve towers";
}

// One derivation from a hand-made row: a 6-cell run starting at column 0 may step, the 5-cell run beside it
// never does, and nothing steps at row 2500 or above.
TEST(Tower, OnlyLongRunsBelowRow2500Step)
{
    struct Case {
        int row;
        bool mayStep;
    };
    for (Case c : {Case{1200, true}, Case{2499, true}, Case{2500, false}, Case{2530, false}}) {
        SCOPED_TRACE(c.row);
        int stepsAt0 = 0;
        for (int seed = 0; seed < 3000; seed++) {
            ClearTower();
            for (int j = 0; j <= 5; j++) TowerGrid[(c.row + 1) * TowerStride + j] = 3 + 9;   // walls of type 3
            for (int j = 6; j <= 10; j++) TowerGrid[(c.row + 1) * TowerStride + j] = 5 + 1;  // ledges of type 5
            SysSeedRandom(seed);
            DeriveRow(c.row);
            ASSERT_NE(CellAt(c.row, 6), 0);
            ASSERT_NE(CellAt(c.row, 10), 0);
            ASSERT_EQ(CellAt(c.row + 1, 6), 6);
            ASSERT_EQ(CellAt(c.row + 1, 10), 6);
            if (CellAt(c.row, 0) == 0) {
                stepsAt0++;
                ASSERT_EQ(CellAt(c.row, 5), 0);
                ASSERT_EQ(CellAt(c.row + 1, 0), 4);   // ledges of type 3
                ASSERT_EQ(CellAt(c.row + 1, 5), 4);
            }
        }
        // 1 in 140 over 3000 seeds: about 21
        if (c.mayStep) {
            EXPECT_GT(stepsAt0, 5);
            EXPECT_LT(stepsAt0, 60);
        } else {
            EXPECT_EQ(stepsAt0, 0);
        }
    }
}

TEST(Tower, NewRunShowsNothingOfTheLastOne)
{
    for (int r = 0; r <= TowerBaseRow; r++)
        for (int j = 0; j < TowerColumns; j++) TowerGrid[r * TowerStride + j] = 7;
    SysSeedRandom(42);
    StartTower();
    for (int r = 0; r < 2500; r++)
        for (int j = 0; j < TowerColumns; j++) ASSERT_EQ(CellAt(r, j), 0) << "row " << r;
    for (int r = 2500; r <= TowerBaseRow; r++) ASSERT_EQ(CellAt(r, 255), 0);
}

TEST(Tower, LedgeValues)
{
    struct Case {
        int value;
        bool ledge;
    };
    for (Case c : {Case{0, false}, Case{1, true}, Case{8, true}, Case{9, false}, Case{16, false}})
        EXPECT_EQ(IsLedge(c.value), c.ledge) << c.value;
}
