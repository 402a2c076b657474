// farewell.h -- the thank-you window and the only way the program ends
#pragma once

[[noreturn]] void Farewell();
