#pragma once

namespace ui {

// The preference "OS Load": how much of the machine the program takes.
enum class OsLoad : int { Low = 0, Default = 1, High = 2 };

// Nice value of a load: Low 19, Default 0, High -5.
int niceValueFor(OsLoad load);

// Sets the nice value of the calling thread (on Linux each thread has its own; threads started
// later inherit it). Raising the priority needs a privilege: failure is silent.
void applyNiceToCurrentThread(int nice);

}  // namespace ui
