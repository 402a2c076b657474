// startup.h -- the program's entry, its identity and the tables start-up creates
#pragma once
#include <string>
#include <vector>

// ---- Identity ----------------------------------------------------------------
constexpr int WeekNumber = 252;
extern const std::string GameName;          // "Vodod Pilko"
extern const std::string GameSubtitle;      // "devuze the Vornspires"
extern std::string GameTitleText;           // "#252 : Vodod Pilko devuze the Vornspires"
extern const std::string GameFolder;        // "252/"

// ---- Start-up state ------------------------------------------------------------
constexpr int CreditLineCount = 100;
extern std::string CreditLines[CreditLineCount];  // from 1
extern int CreditCount;                            // next free entry
extern float BackdropPhases[3];                    // shared by the title screen and the name entry
extern int PointerMode;                            // always 0 in this game
extern int ControlsPagePlayers;                    // players shown on the controls page
extern std::vector<std::string> AudioDriverList;   // the platform's back-end names, fixed after start-up

[[noreturn]] void StartUp();      // the whole program; never returns
[[noreturn]] void StartUpFromProgramFolder();   // the rest of it, once the platform runs beside Files/
void CreateTables();              // steps that create and default every table (also used by tests)
void ChooseAudioDriver(int setupHadDriverLine);
void EnterGameFolder();           // from the data folder into 252/
