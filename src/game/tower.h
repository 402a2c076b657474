// tower.h -- the tower of blocks, generated anew for every run
#pragma once

constexpr int TowerColumns = 256;
constexpr int TowerStride = 260;
constexpr int TowerBaseRow = 2550;
constexpr int TowerFloorRow = 2551;
constexpr int TowerGridSize = 700000;

// ---- Tower state ---------------------------------------------------------------------
extern int TowerGrid[TowerGridSize];   // cell (r, j) at r * 260 + j
extern int GenerationCursor;

void StartTower();
void AdvanceTower();
void ClearTower();
void GenerateBaseRow();
void DeriveRow(int r);
int CellAt(int r, int j);
bool IsLedge(int value);
