#include "settings/PenSettingDialog.h"

#include "core/LanguageText.h"
#include "core/RunFlags.h"
#include "platform/ColourPicker.h"
#include "platform/DesktopSize.h"
#include "settings/PenDialogSmallScreen.h"
#include "settings/PenEditFilters.h"
#include "settings/SettingsCommit.h"

namespace kvt {

using namespace pen_ids;

namespace {

constexpr int kHighestGroup = 10;
constexpr int kSwatchGap = 5;        // between a swatch and its button
constexpr int kPenSwatchWidth = 42;  // frame width; the colour is 2 pixels narrower
constexpr int kDetailSwatchWidth = 22;

// Items of the drop-down lists, index 0 first.
constexpr const char* kLogDecadesItems[] = {"10", "5", "4", "2", "1"};
constexpr const char* kDecimalPlacesItems[] = {"0", "1", "2", "3"};
constexpr int kMovingAverageItems = 16;  // off, then 2 to 16 samples

void fillList(Dialog& dialog, int listId, std::span<const char* const> items) {
    dialog.clearItems(listId);
    for (const char* item : items) dialog.addItem(listId, item);
}

void fillMovingAverageList(Dialog& dialog, int listId, const char* offText) {
    dialog.clearItems(listId);
    dialog.addItem(listId, offText);
    for (int samples = 2; samples <= kMovingAverageItems; ++samples) {
        dialog.addItem(listId, std::to_string(samples));
    }
}


// The colour field of the pen that a colour button changes.
Colour* colourFieldOf(PenSettings& pen, int buttonId) {
    switch (buttonId) {
    case kPenColourButton: return &pen.penColour;
    case kLowNormalButton:
    case kOffNormalButton: return &pen.lowNormalColour;
    case kHighNormalButton:
    case kOnNormalButton: return &pen.highNormalColour;
    case kLowAlarmButton:
    case kOffAlarmButton: return &pen.lowAlarmColour;
    case kHighAlarmButton:
    case kOnAlarmButton: return &pen.highAlarmColour;
    default: return nullptr;
    }
}

}  // namespace

int PenSettingDialog::lastPenOf(int group) {
    return pensOfGroup(group) - 1;
}

PenSettingDialog::PenSettingDialog(int group)
    : Dialog(layout()),
      currentGroup_(group < 0 ? 0 : (group > kHighestGroup ? kHighestGroup : group)) {}

PenSettings& PenSettingDialog::penOnScreen() const {
    return workingConfiguration.pen(currentGroup_, currentPen_);
}

bool PenSettingDialog::onInitDialog() {
    fillList(*this, kLogDecadesList, kLogDecadesItems);
    fillList(*this, kDecimalPlacesList, kDecimalPlacesItems);
    fillMovingAverageList(*this, kMovingAverageJapanese, "無効");
    fillMovingAverageList(*this, kMovingAverageEnglish, "No");
    beginSettingsEdit();
    currentPen_ = 0;
    // English captions go in before the pen is shown, since showing it
    // names the input and scale rows after the pen's analog type.
    if (languageFlag != 0) {
        if (desktopWidth() <= kSmallDesktopWidth) layOutPenDialogForSmallScreen(*this);
        applyEnglishCaptions();
    }
    LoadPen();
    return true;
}

void PenSettingDialog::onCommand(int id) {
    switch (id) {
    case kPreviousGroup:
    case kNextGroup:
    case kPreviousPen:
    case kNextPen:
        navigate(id);
        return;
    case kApply:
        apply();
        return;
    case kAnalogRadio:
    case kDiscreteRadio:
        SwitchKind();
        return;
    case kNormalRadio:
    case kLogRadio:
        switchLogScale();
        return;
    default:
        break;
    }
    if (colourFieldOf(penOnScreen(), id) != nullptr) {
        chooseColourFor(id);
        return;
    }
    Dialog::onCommand(id);
}

void PenSettingDialog::onTextChanged(int id) {
    if (const PenEditFilter* filter = penEditFilterForEdit(id)) FilterPenEdit(filter->code);
}

void PenSettingDialog::onSelectionChanged(int id) {
    if (id == kAnalogTypeList) changeAnalogType();
}

void PenSettingDialog::onOk() {
    if (StorePen(-1, 1) != 0) return;
    commitSettingsEdit();
    endDialog(IDOK);
}

void PenSettingDialog::apply() {
    if (StorePen(-1, 1) == 0) commitSettingsEdit();
}

void PenSettingDialog::navigate(int buttonId) {
    int group = currentGroup_;
    int pen = currentPen_;
    switch (buttonId) {
    case kPreviousGroup: if (group <= 0) return; --group; pen = 0; break;
    case kNextGroup: if (group >= kHighestGroup) return; ++group; pen = 0; break;
    case kPreviousPen: if (pen <= 0) return; --pen; break;
    default: if (pen >= lastPenOf(group)) return; ++pen; break;
    }
    if (StorePen(-1, 1) != 0) return;
    currentGroup_ = group;
    currentPen_ = pen;
    LoadPen();
    invalidate();
}

void PenSettingDialog::SwitchKind() {
    int previousKind = kindIndex_;
    readControls();
    writeControls();
    if (kindIndex_ == previousKind) return;
    if (StorePen(previousKind, 0) != 0) {
        kindIndex_ = previousKind;
        writeControls();
        return;
    }
    LoadPen();
    invalidate();
}

void PenSettingDialog::chooseColourFor(int buttonId) {
    Colour* field = colourFieldOf(penOnScreen(), buttonId);
    Colour chosen = *field;
    if (!chooseColour(*field, chosen)) return;
    *field = chosen;
    invalidate();
}

int PenSettingDialog::reject(const PenMessage& message) {
    bilingualMessageBox(message.english, message.japanese);
    writeControls();
    return 1;
}

void PenSettingDialog::paintSwatch(DialogCanvas& canvas, int buttonId, int width,
                                   Colour colour) const {
    DialogRect button = pixelPlace(buttonId);
    int left = button.x - kSwatchGap - width;
    canvas.fillRect(left, button.y, width, button.height - 1, rgb(0, 0, 0));
    canvas.fillRect(left + 1, button.y + 1, width - 2, button.height - 3, colour);
}

void PenSettingDialog::onPaint(DialogCanvas& canvas) {
    const PenSettings& pen = penOnScreen();
    paintSwatch(canvas, kPenColourButton, kPenSwatchWidth, pen.penColour);
    if (currentGroup_ == 0) return;
    const Colour colours[] = {pen.lowNormalColour, pen.highNormalColour, pen.lowAlarmColour,
                              pen.highAlarmColour};
    const int analogButtons[] = {kLowNormalButton, kHighNormalButton, kLowAlarmButton,
                                 kHighAlarmButton};
    const int discreteButtons[] = {kOffNormalButton, kOnNormalButton, kOffAlarmButton,
                                   kOnAlarmButton};
    const int* buttons = kindIndex_ == 1 ? discreteButtons : analogButtons;
    for (int at = 0; at < 4; ++at) {
        paintSwatch(canvas, buttons[at], kDetailSwatchWidth, colours[at]);
    }
}

}  // namespace kvt
