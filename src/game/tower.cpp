// tower.cpp -- generating the tower: a base row of wall runs, rows derived upward, and steps
#include "game/tower.h"

#include "platform/system.h"

// ---- Tower state ---------------------------------------------------------------------
int TowerGrid[TowerGridSize];
int GenerationCursor = 0;

namespace {

constexpr int RowsBeforePlay = 50;          // 2549 down to 2500
constexpr int FirstSteppedRow = 2500;       // only rows below this may get a step
constexpr int RowsPerFrame = 3;
constexpr int StepChance = 140;             // 1 in 140 at the end of a long enough run
constexpr int ShortestSteppedRun = 6;

int& Cell(int r, int j) { return TowerGrid[r * TowerStride + j]; }

// -1 for an empty cell, otherwise the block type 0..7
int TypeOf(int value) { return value != 0 ? (value - 1) % 8 : -1; }

}  // namespace

void ClearTower()
{
    for (int r = 0; r <= TowerBaseRow; r++)
        for (int j = 0; j < TowerColumns; j++) Cell(r, j) = 0;
}

void GenerateBaseRow()
{
    int m = 0;   // current wall type
    int i = 0;   // cells in the current run
    for (int j = 0; j < TowerColumns; j++) {
        int k = SysRandInt(1, 6);
        if ((k == 1 && i > 3) || i > 10) {
            int n = m;
            while (n == m) n = SysRandInt(0, 7);
            m = n;
            i = 0;
        }
        i++;
        Cell(TowerBaseRow, j) = m + 9;
    }
    Cell(TowerBaseRow, TowerColumns - 1) = 0;
}

void DeriveRow(int r)
{
    if (r < 0 || r >= TowerBaseRow) return;
    int v = -1;   // type of the run going on in the row beneath
    int w = 0;    // that run's length so far, minus one
    int a = 0;    // variant of the run in this row: 0 ledge, 1 wall
    for (int j = 0; j < TowerColumns; j++) {
        int c = TypeOf(Cell(r + 1, j));
        if (c == v) {
            w++;
        } else {
            // The run of type v covering columns j - w - 1 .. j - 1 has ended. A long one may step in
            // by a cell on each side, leaving two ledges at the foot of the step.
            if (r < FirstSteppedRow && v >= 0 && w >= ShortestSteppedRun - 1 && SysRandInt(1, StepChance) == 1) {
                Cell(r, j - 1) = 0;
                Cell(r, j - w - 1) = 0;
                Cell(r + 1, j - 1) = v + 1;
                Cell(r + 1, j - w - 1) = v + 1;
            }
            w = 0;
            v = c;
            int drawn = SysRandInt(-3, 1);   // a wall four times in five
            a = drawn < 0 ? 1 : drawn;
        }
        if (c >= 0) Cell(r, j) = c + 8 * a + 1;
    }
}

void StartTower()
{
    ClearTower();
    GenerateBaseRow();
    for (int r = TowerBaseRow - 1; r >= TowerBaseRow - RowsBeforePlay; r--) DeriveRow(r);
    GenerationCursor = TowerBaseRow - RowsBeforePlay;
}

void AdvanceTower()
{
    if (GenerationCursor <= 0) return;   // the whole tower is built; nothing more to derive
    GenerationCursor -= RowsPerFrame;
    if (GenerationCursor > 0) {
        DeriveRow(GenerationCursor + 2);
        DeriveRow(GenerationCursor + 1);
        DeriveRow(GenerationCursor);
    }
}

int CellAt(int r, int j)
{
    if (r < 0 || r > TowerBaseRow || j < 0 || j >= TowerColumns) return 0;
    return Cell(r, j);
}

bool IsLedge(int value) { return value >= 1 && value <= 8; }
