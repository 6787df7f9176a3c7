// The discrete details of the pen on screen: display names of the OFF and
// ON states and, per state, the alarm, its delay and its output.
#include "core/FieldText.h"
#include "settings/SettingsCommit.h"
#include "settings/EditFilters.h"
#include "settings/PenFieldTexts.h"
#include "settings/PenSettingDialog.h"

namespace kvt {

using namespace pen_ids;

namespace {

constexpr int kMaxDelaySeconds = 60;
constexpr int kDelayEditLength = 2;
constexpr int kNodeEditLength = 2;
constexpr int kChannelEditLength = 1;

}  // namespace

void PenSettingDialog::loadDiscreteDetails(const PenSettings& pen) {
    displayNames_[0] = fieldText(pen.offText);
    displayNames_[1] = fieldText(pen.onText);
    for (int slot = 0; slot < 2; ++slot) {
        discreteAlarmFlags_[slot] = pen.discreteAlarm[slot] != 0 ? 1 : 0;
        delayTexts_[slot] =
            fittingNumberText(pen.discreteAlarmDelay[slot], false, kDelayEditLength);
        discreteNodeTexts_[slot] =
            fittingNumberText(pen.discreteOutputNode[slot], true, kNodeEditLength);
        discreteChannelTexts_[slot] =
            fittingNumberText(pen.discreteOutputChannel[slot], false, kChannelEditLength);
    }
    bool stopped = !measurementRunning();
    for (int id : {kDisplayNameLabel, kOffNameEdit, kOnNameEdit}) enable(id, stopped);
    for (int id = kOffHeading; id <= kOnChannelEdit; ++id) {
        if (id != kDisplayNameLabel && id != kOffNameEdit && id != kOnNameEdit) enable(id, true);
    }
}

int PenSettingDialog::validateDiscrete() {
    for (int slot = 0; slot < 2; ++slot) {
        int delay = integerFromText(delayTexts_[slot]);
        if (delay < 0 || delay > kMaxDelaySeconds) return reject(kDelayMessage);
    }
    for (int slot = 0; slot < 2; ++slot) {
        int node = nodeNumberFromText(discreteNodeTexts_[slot]);
        if (node < 1 || node > kNodeCount) return reject(kNodeMessage);
    }
    for (int slot = 0; slot < 2; ++slot) {
        int channel = integerFromText(discreteChannelTexts_[slot]);
        if (channel < 1 || channel > kAlarmOutputsPerNode) return reject(kOutputChannelMessage);
    }
    return 0;
}

void PenSettingDialog::storeDiscrete(PenSettings& pen) const {
    setFieldText(pen.offText, displayNames_[0].c_str());
    setFieldText(pen.onText, displayNames_[1].c_str());
    for (int slot = 0; slot < 2; ++slot) {
        pen.discreteAlarm[slot] = discreteAlarmFlags_[slot] != 0 ? 1 : 0;
        pen.discreteAlarmDelay[slot] = integerFromText(delayTexts_[slot]);
        pen.discreteOutputNode[slot] = nodeNumberFromText(discreteNodeTexts_[slot]);
        pen.discreteOutputChannel[slot] = integerFromText(discreteChannelTexts_[slot]);
    }
}

}  // namespace kvt
