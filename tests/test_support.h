// test_support.h -- fixtures shared by the test programs
#pragma once
#include <string>

// Starts the headless platform once per test program and creates every global table with its
// start values, as start-up would. Safe to call from every test.
void UseHeadlessPlatform();

// A fresh, empty folder for one test under build/test-scratch/<name>; returns its absolute path.
std::string MakeScratchDir(const std::string& name);

// Lays out <root>/Files/252 (and Common) as the program expects, copying the real data tree, and
// makes <root>/Files/252 the current folder. Returns the root.
std::string MakeGameTree(const std::string& name);

// Thrown by the test platform's exit hook, so a test can run code that ends the program.
struct ProgramExit {
    int code;
};
