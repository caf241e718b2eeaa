#include "ui/OsLoad.h"

#include <sys/resource.h>

namespace ui {

int niceValueFor(OsLoad load)
{
    switch (load) {
    case OsLoad::Low: return 19;
    case OsLoad::High: return -5;
    case OsLoad::Default: break;
    }
    return 0;
}

void applyNiceToCurrentThread(int nice)
{
    // Who 0 is the calling thread on Linux. Errors (EACCES for a higher priority) are ignored.
    (void)setpriority(PRIO_PROCESS, 0, nice);
}

}  // namespace ui
