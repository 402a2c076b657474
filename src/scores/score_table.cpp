// score_table.cpp -- the title screen's chart, ranked list and run details
#include "scores/score_table.h"

#include <cstdint>
#include <string>

#include "frame/draw_helpers.h"
#include "frame/frame_routine.h"
#include "platform/input.h"
#include "platform/render.h"
#include "scores/score_file.h"
#include "scores/timestamp.h"
#include "shell/common_assets.h"
#include "shell/display_setup.h"
#include "shell/startup.h"

Scores* TopScores[TopScoreCount];
int ScoreTableScroll = 0, ScoreTableSelection = 0;
int BadgeCount = 16;
const Scores* ScoreTableShown = nullptr;

const char* const MakerWebAddress = "www.tobrisk.example";

namespace {

constexpr int ChartHeight = 150;
constexpr int ColumnStep = 18;
constexpr int ScrollStep = 8;
constexpr int ScrollLimit = 1000;
constexpr int RankedRowSelection = 1000;   // ScoreTableSelection 1000 + i names ranked row i
constexpr int ThanksRowThreshold = 10;
constexpr int ChartPointIcon = 7;            // icon frame of a chart point
constexpr int MaxBadgeBits = 32;

bool Matches(const Scores& record, int gameMode, int level, int gameFlags)
{
    return record.Level == level && record.GameMode == gameMode && record.GameFlags == gameFlags;
}

// The 25 highest matching scores in descending order; of equal scores the newer run (earlier in the
// list) ranks first. Returns the greatest matching score, at least 1.
int64_t RankScores(int gameMode, int level, int gameFlags)
{
    for (int i = 1; i <= RankedScoreCount; ++i)
        TopScores[i] = nullptr;
    int64_t best = 0;
    for (Scores& record : ScoreList) {
        if (!Matches(record, gameMode, level, gameFlags))
            continue;
        if (record.Score > best)
            best = record.Score;
        for (int p = 1; p <= RankedScoreCount; ++p) {
            if (TopScores[p] == nullptr || TopScores[p]->Score < record.Score) {
                for (int q = RankedScoreCount; q > p; --q)
                    TopScores[q] = TopScores[q - 1];
                TopScores[p] = &record;
                break;
            }
        }
    }
    return best == 0 ? 1 : best;
}

bool IsRanked(const Scores* record)
{
    for (int i = 1; i <= RankedScoreCount; ++i)
        if (TopScores[i] == record)
            return true;
    return false;
}

// Column height Score * 150 div best; scores far below zero (a damaged file) are kept within reach
// of the screen instead of overflowing.
int ColumnHeight(int64_t score, int64_t best)
{
    __int128 h = static_cast<__int128>(score) * ChartHeight / best;
    if (h < -1000000)
        return -1000000;
    return h > ChartHeight ? ChartHeight : static_cast<int>(h);
}

std::string PaddedScore(int64_t score)
{
    std::string text = "000000000000" + std::to_string(score);
    return text.substr(text.size() - 12);
}

void DrawThanks(int S)
{
    const int W = VirtualWidth;
    if (Clock() % 10000 > 5000)
        SetDrawColour(0, 0, 110, 0.7f);
    else
        SetDrawColour(0, 0, 80, 0.6f);
    GfxDrawRect(static_cast<float>(W - 12 - S), 0, 330, 200);
    GfxSetFont(FontTable[1]);
    const int x = W - 10 - (S + 2) / 2;
    struct Line {
        int y, r, g, b;
        std::string text;
    };
    const Line lines[] = {
        {20, 255, 255, 0, "You've been enjoying"},
        {38, 255, 255, 0, GameName},
        {56, 255, 255, 0, GameSubtitle},
        {90, 255, 128, 0, "Why not thank Tobrisk"},
        {108, 255, 128, 0, "for making yet another"},
        {126, 255, 128, 0, "free downloadable game!"},
        {165, 0, 128, 255, MakerWebAddress},
    };
    for (const Line& line : lines) {
        SetDrawColour(static_cast<float>(line.r), static_cast<float>(line.g), static_cast<float>(line.b));
        DrawTextAligned(x, line.y, line.text, 1, 1);
    }
}

void DrawDetails(const Scores& record, int S)
{
    const int W = VirtualWidth, H = VirtualHeight;
    SetDrawColour(255, 255, 255, 0.6f);
    GfxDrawRect(static_cast<float>(W - 12 - S), static_cast<float>(H - 576), 330, 140);
    GfxSetFont(FontTable[1]);
    SetDrawColour(80, 80, 0);
    DrawTextAligned(W - 6 - S, H - 572, record.Name, 0, 0);
    SetDrawColour(0, 0, 80);
    DrawTextAligned(W + 314 - S, H - 551, std::to_string(record.Score), 2, 0);
    GfxSetFont(FontTable[4]);
    SetDrawColour(0, 80, 0);
    if (record.Best[30] == 1)
        DrawTextAligned(W - 6 - S, H - 526, "Complete!", 0, 1);
    SetDrawColour(0, 0, 0);
    GfxSetFont(FontTable[3]);
    DrawTextAligned(W - 6 - S, H - 440, DateText(record.Timestamp) + ", " + TimeText(record.Timestamp), 0, 2);
    SetDrawScale(0.28f);
    SetDrawColour(255, 255, 255, 1);
    const uint32_t badges = static_cast<uint32_t>(record.Badges);
    for (int n = 1; n <= BadgeCount && n <= MaxBadgeBits; ++n)
        if (badges >> (n - 1) & 1u)
            DrawCountedImage(BadgesImage, W - S - 4 + (n - 1) * 20, H - 486, n - 1, 1);
    SetDrawScale(1);
}

}  // namespace

int DrawScoreTable(int slide, int gameMode, int level, int gameFlags)
{
    const int W = VirtualWidth, H = VirtualHeight, S = slide;
    const int64_t best = RankScores(gameMode, level, gameFlags);
    Scores* selected = nullptr;
    int result = 0;

    // Panel and the chart's base line.
    SetDrawScale(1);
    ResetDrawState();
    SetDrawColour(0, 0, 0, 0.6f);
    GfxDrawRect(static_cast<float>(W - 8 - S), static_cast<float>(H - 432), 322, 422);
    SetDrawColour(0, 0, 80, 1);
    GfxDrawLine(static_cast<float>(W - 8 - S), static_cast<float>(H - 160), static_cast<float>(W - 8),
                static_cast<float>(H - 160));

    // Chart, newest run at the right. Runs older than the 50 newest go unless they are ranked.
    const bool mouseHeld = InMouseDown(1);
    int x = W + 306 - S + ScoreTableScroll;
    int previousX = 0, previousY = 0;
    int k = 0;
    bool pruned = false;
    for (auto it = ScoreList.begin(); it != ScoreList.end();) {
        Scores& record = *it;
        if (!Matches(record, gameMode, level, gameFlags)) {
            ++it;
            continue;
        }
        if (record.Best[30] == 1)
            result = 1;
        ++k;
        if (k == ScoreTableSelection && selected == nullptr)
            selected = &record;
        const bool drop = k > ChartKeptRuns && !IsRanked(&record);
        if (x > W - 14 - S) {
            const int h = ColumnHeight(record.Score, best);
            const int y = H - 10 - h;
            SetDrawColour(static_cast<float>(255 - h), 255, 80, 1);
            DrawCountedImage(IconsImage, x - 8, y - 8, ChartPointIcon, 1);
            SetDrawColour(255, static_cast<float>(80 + h), 80);
            if (previousY != 0)
                GfxDrawLine(static_cast<float>(x), static_cast<float>(y), static_cast<float>(previousX),
                            static_cast<float>(previousY));
            previousX = x;
            previousY = y;
            SetDrawColour(0, 0, 0, 0.3f);
            GfxDrawLine(static_cast<float>(x - 9), static_cast<float>(H - 160), static_cast<float>(x - 9),
                        static_cast<float>(H - 11));
            if (MouseOver(x - 9, H - 160, 19, ChartHeight)) {
                selected = &record;
                if (mouseHeld)
                    ScoreTableSelection = k;
            }
            if (selected == &record) {
                SetDrawColour(255, 255, 255, 0.3f);
                GfxDrawRect(static_cast<float>(x - 9), static_cast<float>(H - 160), 19, ChartHeight);
            }
            x -= ColumnStep;
        }
        if (drop) {
            if (selected == &record)
                selected = nullptr;   // its details would outlive it
            it = ScoreList.erase(it);
            pruned = true;
        } else {
            ++it;
        }
    }
    // The file keeps exactly the runs the table keeps.
    if (pruned)
        SaveScores();

    // Hovering the left end shows older runs; hovering the right end returns.
    if (MouseOver(W - 12 - S, H - 160, 32, ChartHeight) && ScoreTableScroll < ScrollLimit)
        ScoreTableScroll += ScrollStep;
    if (MouseOver(W + 270 - S, H - 160, 62, ChartHeight) && ScoreTableScroll > 0)
        ScoreTableScroll -= ScrollStep;

    // Ranked list.
    GfxSetFont(FontTable[3]);
    int rows = 0;
    for (int i = 1; i <= ListedScoreRows; ++i) {
        Scores* record = TopScores[i];
        if (record == nullptr)
            continue;
        ++rows;
        if (i == ScoreTableSelection - RankedRowSelection && selected == nullptr)
            selected = record;
        SetDrawColour(255, 255, 255, 1);
        const int y = H - 436 + (i - 1) * 17;
        const int left = W - 6 - S, right = W + 314 - S;
        if (MouseOver(left, y, 320, 18)) {
            selected = record;
            if (mouseHeld)
                ScoreTableSelection = RankedRowSelection + i;
        }
        DrawTextAligned(left, y, record->Name.substr(0, 24), 0, 0);
        DrawTextAligned(right, y, PaddedScore(record->Score), 2, 0);
        if (selected == record) {
            SetDrawColour(255, 255, 255, 0.3f);
            GfxDrawRect(static_cast<float>(left), static_cast<float>(y), 320, 17);
        }
    }

    if (rows > ThanksRowThreshold)
        DrawThanks(S);
    if (selected != nullptr)
        DrawDetails(*selected, S);
    ScoreTableShown = selected;
    return result;
}
