#include "platform/Dialog.h"

#include "platform/EditLimit.h"
#include "platform/Utf8.h"

namespace kvt {
namespace {

DialogHost* installedHost = nullptr;

bool isRadio(const Control& control) { return control.kind == ControlKind::RadioButton; }

bool hasItems(const Control* control) {
    return control != nullptr &&
           (control->kind == ControlKind::ComboBox || control->kind == ControlKind::ListBox);
}

}  // namespace

DialogHost* installDialogHost(DialogHost* host) {
    DialogHost* previous = installedHost;
    installedHost = host;
    return previous;
}

Dialog::Dialog(const DialogTemplate& dialogTemplate) : template_(dialogTemplate) {}

int Dialog::doModal() {
    if (installedHost == nullptr) {
        initialise();
        endDialog(IDCANCEL);
        return IDCANCEL;
    }
    return installedHost->runModal(*this);
}

void Dialog::initialise() {
    controls_.clear();
    controls_.reserve(template_.controls.size());
    for (const ControlTemplate& source : template_.controls) {
        Control control;
        control.id = source.id;
        control.kind = source.kind;
        control.style = source.style;
        control.place = source.place;
        control.text = std::string(source.caption);
        control.visible = (source.style & kStartHidden) == 0;
        control.enabled = (source.style & kStartDisabled) == 0;
        controls_.push_back(std::move(control));
    }
    title_ = std::string(template_.title);
    ended_ = false;
    result_ = IDCANCEL;
    onInitDialog();
}

Control* Dialog::control(int id) {
    if (id == kNoControlId) return nullptr;
    for (Control& candidate : controls_) {
        if (candidate.id == id) return &candidate;
    }
    return nullptr;
}

const Control* Dialog::control(int id) const { return const_cast<Dialog*>(this)->control(id); }

bool Dialog::actionable(const Control* control) const {
    return !ended_ && control != nullptr && control->enabled && control->visible;
}

void Dialog::checkRadio(size_t index) {
    size_t start = index;
    while (start > 0 && (controls_[start].style & kFirstInGroup) == 0 &&
           isRadio(controls_[start - 1])) {
        --start;
    }
    for (size_t at = start; at < controls_.size() && isRadio(controls_[at]); ++at) {
        if (at != start && (controls_[at].style & kFirstInGroup) != 0) break;
        controls_[at].checked = at == index ? 1 : 0;
    }
}

void Dialog::click(int id) {
    Control* target = control(id);
    if (!actionable(target)) return;
    switch (target->kind) {
    case ControlKind::CheckBox:
        target->checked = target->checked ? 0 : 1;
        break;
    case ControlKind::RadioButton:
        checkRadio(static_cast<size_t>(target - controls_.data()));
        break;
    case ControlKind::PushButton:
    case ControlKind::DefaultButton:
        break;
    default:
        return;
    }
    onCommand(id);
}

void Dialog::typeText(int id, std::string_view utf8) {
    Control* target = control(id);
    if (!actionable(target) || target->kind != ControlKind::Edit) return;
    target->text = limitInsertedText(target->text, utf8, target->textLimit);
    onTextChanged(id);
}

void Dialog::typeCharacters(int id, std::string_view utf8) {
    for (size_t at = 0; at < utf8.size();) {
        size_t length = utf8CharLength(static_cast<unsigned char>(utf8[at]));
        const Control* target = control(id);
        if (!actionable(target) || target->kind != ControlKind::Edit) return;
        typeText(id, target->text + std::string(utf8.substr(at, length)));
        at += length;
    }
}

void Dialog::pasteText(int id, std::string_view utf8) {
    const Control* target = control(id);
    if (!actionable(target) || target->kind != ControlKind::Edit) return;
    typeText(id, target->text + std::string(utf8));
}

void Dialog::chooseItem(int id, int index) {
    Control* target = control(id);
    if (!actionable(target) || !hasItems(target) || (target->style & kNoSelection) != 0) return;
    if (index < 0 || index >= static_cast<int>(target->items.size())) return;
    target->selection = index;
    onSelectionChanged(id);
}

void Dialog::pressEnter() {
    if (ended_) return;
    for (const Control& candidate : controls_) {
        if (candidate.kind == ControlKind::DefaultButton) {
            click(candidate.id);
            return;
        }
    }
    onCommand(IDOK);
}

void Dialog::pressEscape() {
    if (!ended_) onCancel();
}

void Dialog::endDialog(int result) {
    ended_ = true;
    result_ = result;
}

void Dialog::onCommand(int id) {
    if (id == IDOK) {
        onOk();
    } else if (id == IDCANCEL) {
        onCancel();
    }
}

std::string Dialog::text(int id) const {
    const Control* target = control(id);
    return target != nullptr ? target->text : std::string();
}

void Dialog::setText(int id, std::string_view utf8) {
    Control* target = control(id);
    if (target == nullptr || target->text == utf8) return;
    target->text = std::string(utf8);
}

int Dialog::checked(int id) const {
    const Control* target = control(id);
    return target != nullptr ? target->checked : 0;
}

void Dialog::setChecked(int id, int checked) {
    Control* target = control(id);
    if (target == nullptr) return;
    target->checked = checked ? 1 : 0;
}

bool Dialog::isEnabled(int id) const {
    const Control* target = control(id);
    return target != nullptr && target->enabled;
}

void Dialog::enable(int id, bool enabled) {
    Control* target = control(id);
    if (target == nullptr) return;
    target->enabled = enabled;
}

bool Dialog::isVisible(int id) const {
    const Control* target = control(id);
    return target != nullptr && target->visible;
}

void Dialog::show(int id, bool visible) {
    Control* target = control(id);
    if (target == nullptr) return;
    target->visible = visible;
}

int Dialog::radioIndex(int firstId) const {
    const Control* first = control(firstId);
    if (first == nullptr || !isRadio(*first)) return -1;
    size_t start = static_cast<size_t>(first - controls_.data());
    for (size_t at = start; at < controls_.size() && isRadio(controls_[at]); ++at) {
        if (at != start && (controls_[at].style & kFirstInGroup) != 0) break;
        if (controls_[at].checked) return static_cast<int>(at - start);
    }
    return -1;
}

void Dialog::setRadioIndex(int firstId, int index) {
    Control* first = control(firstId);
    if (first == nullptr || !isRadio(*first)) return;
    size_t start = static_cast<size_t>(first - controls_.data());
    for (size_t at = start; at < controls_.size() && isRadio(controls_[at]); ++at) {
        if (at != start && (controls_[at].style & kFirstInGroup) != 0) break;
        controls_[at].checked = static_cast<int>(at - start) == index ? 1 : 0;
    }
}

void Dialog::clearItems(int id) {
    Control* target = control(id);
    if (!hasItems(target)) return;
    target->items.clear();
    target->selection = -1;
    ++target->itemsRevision;
}

int Dialog::addItem(int id, std::string_view utf8) {
    Control* target = control(id);
    if (!hasItems(target)) return -1;
    target->items.emplace_back(utf8);
    ++target->itemsRevision;
    return static_cast<int>(target->items.size()) - 1;
}

int Dialog::itemCount(int id) const {
    const Control* target = control(id);
    return hasItems(target) ? static_cast<int>(target->items.size()) : 0;
}

std::string Dialog::item(int id, int index) const {
    const Control* target = control(id);
    if (!hasItems(target) || index < 0 || index >= static_cast<int>(target->items.size())) {
        return {};
    }
    return target->items[static_cast<size_t>(index)];
}

int Dialog::selection(int id) const {
    const Control* target = control(id);
    return hasItems(target) ? target->selection : -1;
}

void Dialog::setSelection(int id, int index) {
    Control* target = control(id);
    if (!hasItems(target) || index < -1 || index >= static_cast<int>(target->items.size())) return;
    target->selection = index;
}

void Dialog::setTextLimit(int id, int bytes) {
    Control* target = control(id);
    if (target == nullptr || target->kind != ControlKind::Edit) return;
    target->textLimit = bytes > 0 ? bytes : 0;
}

int Dialog::textLimit(int id) const {
    const Control* target = control(id);
    return target != nullptr ? target->textLimit : 0;
}

void Dialog::setTitle(std::string_view utf8) { title_ = std::string(utf8); }

void Dialog::applyEnglishCaptions() {
    if (!template_.englishTitle.empty()) setTitle(template_.englishTitle);
    for (const ControlCaption& caption : template_.englishCaptions) setText(caption.id, caption.text);
}

void Dialog::setPixelPlace(int id, DialogRect pixels) {
    Control* target = control(id);
    if (target == nullptr) return;
    target->place = pixels;
    target->placeInPixels = true;
}

void Dialog::setPixelSize(int width, int height) {
    pixelWidth_ = width;
    pixelHeight_ = height;
}

DialogRect pixelRectOf(const Control& control) {
    if (control.placeInPixels) return control.place;
    return {dialogUnitsToPixelsX(control.place.x), dialogUnitsToPixelsY(control.place.y),
            dialogUnitsToPixelsX(control.place.width), dialogUnitsToPixelsY(control.place.height)};
}

DialogRect Dialog::pixelPlace(int id) const {
    const Control* target = control(id);
    return target != nullptr ? pixelRectOf(*target) : DialogRect{};
}

int Dialog::pixelWidth() const {
    return pixelWidth_ > 0 ? pixelWidth_ : dialogUnitsToPixelsX(template_.width);
}

int Dialog::pixelHeight() const {
    return pixelHeight_ > 0 ? pixelHeight_ : dialogUnitsToPixelsY(template_.height);
}

}  // namespace kvt
