#include "acquisition/SampleClock.h"

#include "acquisition/StepTime.h"

namespace kvt {
namespace {

int secondOfHour(const SystemTime& time) { return time.minute * 60 + time.second; }

// A field may grow by at most one, or fall by at least `wrapFall` (its wrap).
bool growsAtMostOneOrWraps(int last, int now, int wrapFall) {
    int growth = now - last;
    return growth <= 1 && (growth >= 0 || -growth >= wrapFall);
}

}  // namespace

bool isPlausibleAdvance(const SystemTime& last, const SystemTime& now) {
    return now.year - last.year <= 1 && growsAtMostOneOrWraps(last.month, now.month, 11) &&
           now.day - last.day <= 1 && growsAtMostOneOrWraps(last.hour, now.hour, 23);
}

void SampleClock::restart(const SystemTime& now, uint32_t ticks) {
    last_ = now;
    last_.milliseconds = 500;
    halfSecondBase_ = ticks;
}

int SampleClock::resynchronise(const SystemTime& now, uint32_t ticks) {
    restart(now, ticks);
    ++restartsByJump_;
    return 0;
}

// The half second the reading lies in becomes the next step, due now; when
// it is a full second, its half second follows 500 ms of ticks after that
// full second began on the local clock.
int SampleClock::followStepBack(const SystemTime& now, uint32_t ticks) {
    SystemTime step = now;
    step.milliseconds = now.milliseconds >= 500 ? 500 : 0;
    last_ = previousStepTime(step);
    halfSecondBase_ = ticks - now.milliseconds;
    ++stepsBack_;
    return 1;
}

int SampleClock::dueSteps(const SystemTime& now, uint32_t ticks) {
    int order = compareToTheSecond(now, last_);
    if (order < 0) return followStepBack(now, ticks);
    if (!isPlausibleAdvance(last_, now)) return resynchronise(now, ticks);

    int nowSecond = secondOfHour(now);
    int lastSecond = secondOfHour(last_);
    if (nowSecond != lastSecond) {
        halfSecondBase_ = ticks;
        int seconds = nowSecond - lastSecond + (nowSecond < lastSecond ? 3600 : 0);
        if (compareToTheSecond(addSeconds(last_, seconds), now) != 0) {
            return resynchronise(now, ticks);
        }
        return last_.milliseconds == 500 ? 2 * seconds - 1 : 2 * seconds;
    }
    if (order != 0) return resynchronise(now, ticks);
    if (last_.milliseconds == 500) return 0;
    return ticks - halfSecondBase_ >= 500 ? 1 : 0;
}

SystemTime SampleClock::nextStep() const { return nextStepTime(last_); }

}  // namespace kvt
