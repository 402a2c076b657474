// main.cpp -- the program's entry: everything happens inside StartUp
#include "shell/startup.h"

int main()
{
    StartUp();
}
