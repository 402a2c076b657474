// score_file.cpp -- the record of a run, the list of all runs and scores.dat
#include "scores/score_file.h"

#include <climits>
#include <map>
#include <string_view>
#include <vector>

#include "platform/system.h"
#include "scores/timestamp.h"
#include "shell/debug_log.h"

std::list<Scores> ScoreList;
std::string PlayerName = "Player";

namespace {

const std::string ScoreFileName = "scores.dat";
constexpr int Line1FieldCount = 8;

std::string_view TrimSpaces(std::string_view text)
{
    size_t first = 0, last = text.size();
    while (first < last && text[first] == ' ')
        ++first;
    while (last > first && text[last - 1] == ' ')
        --last;
    return text.substr(first, last - first);
}

// The first `count` "|"-separated fields of a trimmed line, numbered from 1; fields that do not
// exist stay empty. Stops after `count` fields, so a hostile line of separators costs nothing.
template <int count>
struct Fields {
    std::string_view field[count + 1];

    explicit Fields(std::string_view line)
    {
        line = TrimSpaces(line);
        size_t start = 0;
        for (int n = 1; n <= count; ++n) {
            size_t bar = line.find('|', start);
            if (bar == std::string_view::npos) {
                field[n] = line.substr(start);
                break;
            }
            field[n] = line.substr(start, bar - start);
            start = bar + 1;
        }
    }
};

// The integer fields other than Score and Timestamp are kept as absolute values.
int AbsoluteInt(int64_t v)
{
    if (v < 0)
        v = v == INT64_MIN ? INT64_MAX : -v;
    return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

// A name as it goes into the file: "|" would split the line into wrong fields and a line break would
// split the record, so they are replaced.
std::string FileSafeName(const std::string& name)
{
    std::string safe = name;
    for (char& c : safe) {
        if (c == '|')
            c = '/';
        else if (c == '\r' || c == '\n')
            c = ' ';
    }
    return safe;
}

// The record as it reads back from the file, as one text: records with equal keys are the same run.
std::string RecordKey(const Scores& record)
{
    Scores copy;
    ReadScoreLine1(ScoreLine1(record), copy);
    ReadScoreLine2(ScoreLine2(record), copy);
    return ScoreLine1(copy) + "\n" + ScoreLine2(copy);
}

}  // namespace

int Scores::Compare(const Scores& other) const
{
    if (Timestamp > other.Timestamp)
        return -1;
    return Timestamp < other.Timestamp ? 1 : 0;
}

void SortScores()
{
    ScoreList.sort([](const Scores& a, const Scores& b) { return a.Compare(b) < 0; });
}

std::string ScoreLine1(const Scores& record)
{
    return std::to_string(record.Score) + "|" + FileSafeName(record.Name) + "|" + std::to_string(record.Badges) +
           "|" + std::to_string(record.Timestamp) + "|" + std::to_string(record.Level) + "|" +
           std::to_string(record.GameMode) + "|" + std::to_string(record.GameFlags) + "|" +
           std::to_string(record.Quit);
}

std::string ScoreLine2(const Scores& record)
{
    std::string line;
    for (int i = 1; i < ScoreBestCount; ++i) {
        if (i > 1)
            line += '|';
        line += std::to_string(record.Best[i]);
    }
    return line;
}

void ReadScoreLine1(const std::string& line, Scores& record)
{
    Fields<Line1FieldCount> f(line);
    record.Score = LeadingInteger(f.field[1]);
    record.Name = std::string(TrimSpaces(f.field[2]));
    record.Badges = AbsoluteInt(LeadingInteger(f.field[3]));
    record.Timestamp = LeadingInteger(f.field[4]);
    record.Level = AbsoluteInt(LeadingInteger(f.field[5]));
    record.GameMode = AbsoluteInt(LeadingInteger(f.field[6]));
    record.GameFlags = AbsoluteInt(LeadingInteger(f.field[7]));
    record.Quit = AbsoluteInt(LeadingInteger(f.field[8]));
}

void ReadScoreLine2(const std::string& line, Scores& record)
{
    Fields<ScoreBestCount - 1> f(line);
    for (int i = 1; i < ScoreBestCount; ++i)
        record.Best[i] = AbsoluteInt(LeadingInteger(f.field[i]));
}

void LoadScores()
{
    if (!SysFileExists(ScoreFileName))
        return;
    std::vector<std::string> lines;
    if (!SysReadLines(ScoreFileName, lines))
        return;   // unreadable: what the list holds stays

    std::list<Scores> loaded;
    for (size_t i = 0; i < lines.size();) {
        const std::string& line = lines[i++];
        if (line.find('|') == std::string::npos)
            continue;   // a blank or broken line is skipped on its own
        Scores record;
        ReadScoreLine1(line, record);
        if (i < lines.size())
            ReadScoreLine2(lines[i++], record);
        loaded.push_back(std::move(record));
    }
    lines.clear();

    if (ScoreList.empty()) {
        if (!loaded.empty())
            PlayerName = loaded.front().Name;
        ScoreList.swap(loaded);
    } else {
        // Runs in memory may not be in the file yet (a failed write): keep them all, and add each run
        // of the file that the list does not hold.
        std::map<std::string, int> held;
        for (const Scores& record : ScoreList)
            ++held[RecordKey(record)];
        for (auto it = loaded.begin(); it != loaded.end();) {
            auto next = std::next(it);
            auto found = held.find(RecordKey(*it));
            if (found != held.end() && found->second > 0)
                --found->second;
            else
                ScoreList.splice(ScoreList.end(), loaded, it);
            it = next;
        }
    }
    SortScores();
}

bool SaveScores()
{
    SortScores();
    std::vector<std::string> lines;
    lines.reserve(ScoreList.size() * 2);
    for (const Scores& record : ScoreList) {
        lines.push_back(ScoreLine1(record));
        lines.push_back(ScoreLine2(record));
    }
    if (SysWriteLinesSafely(ScoreFileName, lines))
        return true;
    LogLine("\tCould not write " + ScoreFileName);
    return false;
}

void AddScoreRecord(const Scores& record)
{
    ScoreList.push_back(record);
    SortScores();
    SaveScores();
}
