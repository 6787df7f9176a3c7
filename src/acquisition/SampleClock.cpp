#include "acquisition/SampleClock.h"

#include "acquisition/StepTime.h"

namespace kvt {
namespace {

int secondOfHour(const SystemTime& time) { return time.minute * 60 + time.second; }

bool sameStep(const SystemTime& a, const SystemTime& b) {
    return compareToTheSecond(a, b) == 0 && a.milliseconds == b.milliseconds;
}

// At most this many steps owed at a set-back are stamped: a minute.
constexpr int kMostStepsOwedAtStepBack = 120;

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
    steppingBack_ = false;
    last_ = now;
    last_.milliseconds = 500;
    halfSecondBase_ = ticks;
}

int SampleClock::resynchronise(const SystemTime& now, uint32_t ticks) {
    restart(now, ticks);
    ++restartsByJump_;
    return 0;
}

// Steps after the last sample whose half second of ticks had ended before
// the reading's half second began: due before the clock goes back. The
// step after a full second falls 500 ms of ticks after that second was
// seen, the one after a half second 1000 ms after it.
int SampleClock::stepsOwedAtStepBack(const SystemTime& now, uint32_t ticks) const {
    uint32_t firstDue = halfSecondBase_ + (last_.milliseconds == 500 ? 1000u : 500u);
    uint32_t readingHalfBegan = ticks - static_cast<uint32_t>(now.milliseconds % 500);
    auto room = static_cast<int32_t>(readingHalfBegan - firstDue);
    if (room < 500) return 0;
    return room / 500 < kMostStepsOwedAtStepBack ? room / 500 : kMostStepsOwedAtStepBack;
}

int SampleClock::stepsLeftBeforeStepBack() const {
    int left = 0;
    for (SystemTime step = last_; !sameStep(step, owedLast_) && left <= kMostStepsOwedAtStepBack;
         step = nextStepTime(step)) {
        ++left;
    }
    return left;
}

// The half second the reading lies in becomes the next step, due now (after
// the steps still owed of the old time); when it is a full second, its half
// second follows 500 ms of ticks after that full second began on the local
// clock.
int SampleClock::followStepBack(const SystemTime& now, uint32_t ticks) {
    if (steppingBack_) return stepsLeftBeforeStepBack() + 1;
    int owed = stepsOwedAtStepBack(now, ticks);
    SystemTime step = now;
    step.milliseconds = now.milliseconds >= 500 ? 500 : 0;
    halfSecondBase_ = ticks - now.milliseconds;
    ++stepsBack_;
    if (owed == 0) {
        last_ = previousStepTime(step);
        return 1;
    }
    owedLast_ = last_;
    for (int owedStep = 0; owedStep < owed; ++owedStep) owedLast_ = nextStepTime(owedLast_);
    stepBackTo_ = step;
    steppingBack_ = true;
    return owed + 1;
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

SystemTime SampleClock::nextStep() const {
    if (steppingBack_ && sameStep(last_, owedLast_)) return stepBackTo_;
    return nextStepTime(last_);
}

void SampleClock::stepWritten(const SystemTime& step) {
    last_ = step;
    if (steppingBack_ && sameStep(step, stepBackTo_)) steppingBack_ = false;
}

}  // namespace kvt
