// backdrop.h -- the gradient, drifting stars, falling rocks and the sound effects ring
#pragma once
#include <list>
#include <vector>

struct rs {   // a star
    float x = 0, y = 0, xs = 0, ys = 0, size = 0, rot = 0, rotgo = 0;
    int dark = 0;
};

struct ck {   // a falling rock
    float x = 0, y = 0, rot = 0, rotgo = 0;
    int r = 0, g = 0, b = 0;
    float yspd = 0;
};

// ---- Backdrop state ---------------------------------------------------------------
extern std::vector<rs> StarList;
extern std::list<ck> RockList;      // newest first
extern int EffectsRingPosition;

void CreateStars();
void ScatterStars();
void DrawBackdropGradient();
void UpdateStars();
void DriftStar(rs& star, float dx, float dy);
void SpawnRock();
bool UpdateRocks();
void PlaySoundEffect(int n, float rate, float volume, float pan);
