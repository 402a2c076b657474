// engine_test.h -- measuring the machine and setting the per-frame sprite budgets
#pragma once

extern int TargetFrameRate;   // 60, or 30 on a slow system

void RunEngineTest(int target, int scale);
void ApplyEngineTestLimits(int best, int target);   // steps that turn a best count into limits and log them
