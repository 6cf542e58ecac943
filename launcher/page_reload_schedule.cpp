#include "launcher/page_reload_schedule.h"

bool PageReloadSchedule::Tick() {
    if (countdown_ <= 0) return false;
    if (--countdown_ > 0) return false;
    ++pause_;
    countdown_ = pause_;
    return true;
}
