// setup_file.cpp -- Setup.ini: reading the settings and bindings at start-up and writing them back
#include "shell/setup_file.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "input/controls.h"
#include "platform/system.h"
#include "shell/debug_log.h"
#include "shell/startup.h"
#include "util/string_helpers.h"

int EngineSettings[EngineSettingCount];

namespace {

const std::string SetupFileName = "Setup.ini";

// Numbers in the file are taken as their size only; the sign is dropped.
int ReadSetupNumber(const std::string& text)
{
    return std::abs(TextToInt(text));   // TextToInt never returns INT_MIN, so this cannot overflow
}

// Applies one line of the file; returns 1 when it was an AudioDriver line.
int ApplySetupLine(const std::string& line)
{
    std::string key = UpperText(TrimText(GetField(line, "=", 1)));
    std::string value = TrimText(GetField(line, "=", 2));

    if (key == "AUDIODRIVER") {
        for (size_t i = 0; i < AudioDriverList.size(); ++i)
            if (AudioDriverList[i] == value)
                EngineSettings[14] = static_cast<int>(i);
        return 1;
    }
    if (key == "FULLSCREEN") {
        std::string upper = UpperText(value);
        if (upper == "TRUE" || upper == "ON") {
            EngineSettings[1] = 1;
            LogLine("\tSetting to Fullscreen");
        }
    } else if (key == "GFX ENGINE" || key == "GFXENGINE") {
        std::string upper = UpperText(value);
        if (upper == "DX9") {
            EngineSettings[3] = 1;
            LogLine("\tDirectX 9 Mode");
        } else if (upper == "DX7") {
            EngineSettings[3] = 2;
            LogLine("\tDirectX 7 Mode");
        }
    } else if (key == "WIDTH") {
        EngineSettings[5] = ReadSetupNumber(value);
    } else if (key == "HEIGHT") {
        EngineSettings[6] = ReadSetupNumber(value);
    } else if (key == "ESS") {
        // Only the presence of the line counts: the value is a comment for the player.
        EngineSettings[7] = 1;
        LogLine("\tAssuming Emergency Slow System values.");
    } else if (key == "KEY") {
        int entry = ReadSetupNumber(TrimText(GetField(value, ",", 1)));
        int code = ReadSetupNumber(TrimText(GetField(value, ",", 2)));
        if (entry >= 0 && entry <= 99)
            ControlBindings[entry] = code;
    } else if (key == "MASTER") {
        EngineSettings[11] = ReadSetupNumber(value);
    } else if (key == "SOUND") {
        EngineSettings[12] = ReadSetupNumber(value);
    } else if (key == "MUSIC") {
        EngineSettings[13] = ReadSetupNumber(value);
    }
    return 0;
}

}  // namespace

int LoadSetup()
{
    int sawDriver = 0;
    if (!SysFileExists(SetupFileName))
        return sawDriver;
    std::vector<std::string> lines;
    if (!SysReadLines(SetupFileName, lines))
        return sawDriver;
    LogLine("\tReading Setup File");
    // An empty file still counts as one empty line, which matches no key.
    if (lines.empty())
        lines.push_back("");
    for (const std::string& line : lines)
        if (ApplySetupLine(line))
            sawDriver = 1;
    return sawDriver;
}

void SaveSetup()
{
    std::vector<std::string> lines;
    lines.push_back("[Graphics]");
    if (EngineSettings[1] == 0)
        lines.push_back("Fullscreen = False");
    else if (EngineSettings[1] == 1)
        lines.push_back("Fullscreen = True");
    if (EngineSettings[3] == 0)
        lines.push_back("GFX Engine = OpenGL");
    else if (EngineSettings[3] == 1)
        lines.push_back("GFX Engine = DX9");
    else if (EngineSettings[3] == 2)
        lines.push_back("GFX Engine = DX7");
    lines.push_back("Width=" + std::to_string(EngineSettings[5]));
    lines.push_back("Height=" + std::to_string(EngineSettings[6]));
    if (EngineSettings[7] == 1)
        lines.push_back("ESS=1 ; This is a slow system, and things must run a wee bit slower for it.  Awww..");
    lines.push_back("");
    lines.push_back("[Audio]");
    lines.push_back("Master = " + std::to_string(EngineSettings[11]));
    lines.push_back("Sound = " + std::to_string(EngineSettings[12]));
    lines.push_back("Music = " + std::to_string(EngineSettings[13]));
    int driver = EngineSettings[14];
    std::string driverName;
    if (driver >= 0 && driver < static_cast<int>(AudioDriverList.size()))
        driverName = AudioDriverList[driver];
    lines.push_back("AudioDriver = " + driverName);
    for (const std::string& name : AudioDriverList)   // tells the player which names the file accepts
        lines.push_back("; AudioDriver = " + name);
    lines.push_back("");
    lines.push_back("[Controls]");
    for (int i = 0; i < 100; ++i)
        if (ControlBindings[i] > 0)
            lines.push_back("Key=" + std::to_string(i) + "," + std::to_string(ControlBindings[i]));

    // Setup.ini lives in the data folder, one above the game folder. The write goes through a
    // temporary file, so a failed write leaves the previous settings in place.
    SysChangeDir("..");
    SysWriteLinesSafely(SetupFileName, lines);
    EnterGameFolder();
}
