#pragma once
// How a dialog class is written
// -----------------------------
// One class per dialog template, derived from Dialog:
//
//   class StorageDialog final : public Dialog {
//   public:
//       StorageDialog() : Dialog(layout()) {}
//       static const DialogTemplate& layout();   // one static template
//   protected:
//       bool onInitDialog() override;           // fill the controls
//       void onCommand(int id) override;        // clicks; call Dialog::onCommand last
//       void onTextChanged(int id) override;    // the edit filters
//       void onOk() override;                   // validate, then endDialog(IDOK)
//   };
//
// - Template: the controls in tab order with their ids, kinds, places in
//   dialog units and Japanese captions; radio groups are runs of radio
//   buttons in template order, each started by kFirstInGroup. The English
//   title and captions go into the template's englishTitle and
//   englishCaptions; onInitDialog calls applyEnglishCaptions() when the
//   language flag says English. Captions that change with the dialog's
//   state are set with setText in both languages.
// - Ids: every control a handler touches has its own id, named by an enum
//   in the dialog's .cpp; IDOK (1) and IDCANCEL (2) end the dialog through
//   onOk and onCancel. Controls without an id use kNoControlId.
// - Handlers: click(id) runs onCommand(id) for buttons, check boxes and
//   radio buttons; typing runs onTextChanged(id) after every change of an
//   edit's text, keystroke or paste alike; choosing a list entry runs
//   onSelectionChanged(id). Only enabled, visible controls take input.
//   What a handler changes (texts, checks, selections, enable and visible
//   states) is shown by the host afterwards; the program's own changes
//   never run a handler.
// - Filters: onTextChanged reads the edit's text, keeps what is allowed and
//   puts the result back with setText; the host keeps the caret in place.
//   setTextLimit caps an edit's text in Shift-JIS bytes (the size of the
//   stored field) as the user types or pastes.
// - Members: keep the dialog's values in members and copy them from and to
//   the controls in two functions (read the controls / write the
//   controls), as the handlers need them.
// - Messages: validation failures use messageBox() with the text in the
//   language in force, and leave the dialog open.
// - Running: doModal() shows the dialog through the installed host and
//   returns IDOK or IDCANCEL; tests install a scripted host and act by id.
#include <string>
#include <string_view>
#include <vector>

#include "platform/Colour.h"
#include "platform/DialogTemplate.h"
#include "platform/MessageBox.h"

namespace kvt {

// The live state of one control, kept by the dialog and shown by the host.
// `text` is the control's window text: the caption of labels, buttons,
// check boxes, radio buttons and group boxes, the contents of an edit.
struct Control {
    int id = kNoControlId;
    ControlKind kind = ControlKind::Label;
    unsigned style = kStyleNone;
    DialogRect place;            // dialog units, or pixels when placeInPixels
    bool placeInPixels = false;
    std::string text;
    int checked = 0;
    bool enabled = true;
    bool visible = true;
    std::vector<std::string> items;  // combo and list boxes
    int selection = -1;
    unsigned itemsRevision = 0;      // moves whenever `items` change
    int textLimit = 0;               // edits: most Shift-JIS bytes, 0 = no limit
};

// A control's rectangle in client pixels.
DialogRect pixelRectOf(const Control& control);

// Extra drawing a dialog asks for on every paint, in client pixels.
struct FilledRect {
    int x;
    int y;
    int width;
    int height;
    Colour colour;
};

class DialogCanvas {
public:
    void fillRect(int x, int y, int width, int height, Colour colour) {
        rects_.push_back({x, y, width, height, colour});
    }
    const std::vector<FilledRect>& rects() const { return rects_; }

private:
    std::vector<FilledRect> rects_;
};

// A modal dialog built from a template. It keeps every control by id and
// runs its handlers when the user (or a test acting as one) clicks, types
// or chooses; a host shows it and forwards the user's actions. Handlers
// that change controls by id are shown by the host afterwards; changes made
// by the program never call the handlers back.
class Dialog {
public:
    explicit Dialog(const DialogTemplate& dialogTemplate);
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog through the installed host until it ends; returns
    // the value given to endDialog (IDOK, IDCANCEL, ...). Without a host
    // the dialog is initialised and IDCANCEL returned.
    int doModal();

    // --- What hosts call (and tests, acting as the user) ---------------
    // Builds the controls from the template and runs onInitDialog.
    void initialise();
    // A click on an enabled, visible control: check boxes toggle, radio
    // buttons check themselves, then onCommand(id). Others are ignored.
    void click(int id);
    // Replaces an enabled, visible edit's text, then onTextChanged(id).
    void typeText(int id, std::string_view utf8);
    // Types UTF-8 characters one by one at the end of the edit, running
    // onTextChanged after each, as keystrokes do.
    void typeCharacters(int id, std::string_view utf8);
    // Pastes UTF-8 text at the end of the edit in one change, as Ctrl+V does.
    void pasteText(int id, std::string_view utf8);
    // Selects item `index` of a combo or list box, then onSelectionChanged(id).
    void chooseItem(int id, int index);
    void pressEnter();   // clicks the default button
    void pressEscape();  // onCancel(); also the window's close button

    bool ended() const { return ended_; }
    int result() const { return result_; }
    void endDialog(int result);

    // --- Controls by id -------------------------------------------------
    const std::vector<Control>& controls() const { return controls_; }
    Control* control(int id);
    const Control* control(int id) const;

    std::string text(int id) const;
    void setText(int id, std::string_view utf8);
    int checked(int id) const;
    void setChecked(int id, int checked);
    bool isEnabled(int id) const;
    void enable(int id, bool enabled = true);
    bool isVisible(int id) const;
    void show(int id, bool visible = true);

    // The radio group starting at `firstId`: index of the checked button
    // in template order, -1 when none is checked; setting -1 clears all.
    int radioIndex(int firstId) const;
    void setRadioIndex(int firstId, int index);

    void clearItems(int id);
    int addItem(int id, std::string_view utf8);  // index of the new item, -1 on failure
    int itemCount(int id) const;
    std::string item(int id, int index) const;
    int selection(int id) const;
    void setSelection(int id, int index);  // -1 clears; out of range is ignored

    // Caps an edit's text at `bytes` Shift-JIS bytes (0: no limit). Input
    // that would pass the limit is cut where it was inserted, as a
    // limited edit does; the program's own setText is not cut.
    void setTextLimit(int id, int bytes);
    int textLimit(int id) const;

    const std::string& title() const { return title_; }
    void setTitle(std::string_view utf8);

    // Puts the template's English title and captions in place of the
    // Japanese ones; dialogs call it when the English texts are in force.
    void applyEnglishCaptions();

    // Pixel layout for small screens: place a control or size the dialog
    // in client pixels instead of dialog units.
    void setPixelPlace(int id, DialogRect pixels);
    void setPixelSize(int width, int height);
    DialogRect pixelPlace(int id) const;  // the control's rectangle in pixels
    int pixelWidth() const;
    int pixelHeight() const;

    // Asks the host to paint again (onPaint runs on every paint).
    void invalidate() { ++paintRevision_; }

    // A dialog that shows changing figures asks (in onInitDialog) for a
    // tick every `milliseconds`; the host then calls tick() that often
    // while the dialog is open and shows what onTick changed.
    void setTickInterval(int milliseconds) { tickIntervalMs_ = milliseconds; }
    int tickInterval() const { return tickIntervalMs_; }
    void tick() { onTick(); }
    unsigned paintRevision() const { return paintRevision_; }

    const DialogTemplate& dialogTemplate() const { return template_; }

    virtual void onPaint(DialogCanvas& canvas) { (void)canvas; }

protected:
    virtual bool onInitDialog() { return true; }
    // Button and check/radio clicks; the base ends the dialog for IDOK and
    // IDCANCEL through onOk and onCancel.
    virtual void onCommand(int id);
    virtual void onTextChanged(int id) { (void)id; }
    virtual void onSelectionChanged(int id) { (void)id; }
    virtual void onTick() {}
    virtual void onOk() { endDialog(IDOK); }
    virtual void onCancel() { endDialog(IDCANCEL); }

private:
    bool actionable(const Control* control) const;
    void checkRadio(size_t index);

    const DialogTemplate& template_;
    std::vector<Control> controls_;
    std::string title_;
    int pixelWidth_ = 0;   // 0: from the template's dialog units
    int pixelHeight_ = 0;
    bool ended_ = false;
    int result_ = IDCANCEL;
    unsigned paintRevision_ = 0;
    int tickIntervalMs_ = 0;
};

// Shows dialogs: the toolkit in the program, a script in tests.
class DialogHost {
public:
    virtual ~DialogHost() = default;
    // Must call dialog.initialise() first and return dialog.result() once
    // the dialog has ended.
    virtual int runModal(Dialog& dialog) = 0;
};

// Installs the host in force; nullptr removes it. Returns the previous one.
DialogHost* installDialogHost(DialogHost* host);

}  // namespace kvt
