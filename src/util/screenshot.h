// screenshot.h -- F11 screenshots as PNG files in the data folder
#pragma once

void TakeScreenshot();
