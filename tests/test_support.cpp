// test_support.cpp -- fixtures shared by the test programs
#include "test_support.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/system.h"
#include "platform/test_platform.h"
#include "shell/startup.h"

namespace fs = std::filesystem;

// Scratch folders live under the folder the test program started in, whatever folder a test has
// entered since.
static const fs::path StartFolder = fs::current_path();

void UseHeadlessPlatform()
{
    static bool started = false;
    if (!started) {
        started = true;
        TestPlatformStart();
        TestSetExitHook([](int code) { throw ProgramExit{code}; });
    }
    CreateTables();
}

std::string MakeScratchDir(const std::string& name)
{
    // ctest runs test cases as parallel processes: each case gets folders of its own.
    fs::path dir = StartFolder / "test-scratch";
    if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info())
        dir /= std::string(test->test_suite_name()) + "." + test->name();
    dir /= name;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    return dir.string();
}

std::string MakeGameTree(const std::string& name)
{
    std::string root = MakeScratchDir(name);
    fs::copy(fs::path(SOURCE_DIR) / "data" / "Files", fs::path(root) / "Files", fs::copy_options::recursive);
    SysChangeDir(root + "/Files/252");
    return root;
}
