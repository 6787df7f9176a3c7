#pragma once
#include <functional>
#include <map>
#include <span>
#include <string>

#include "platform/Dialog.h"

class QWidget;

namespace kvt::test {

// A control as the toolkit shows it.
struct ShownControl {
    std::string kind;  // the widget's class, e.g. "QRadioButton"
    std::string text;  // caption, title or contents, UTF-8
    bool enabled = false;
    bool visible = false;
    bool checked = false;
    int itemCount = 0;
    DialogRect pixels;  // in the dialog's client area
};

struct ShownDialog {
    std::string title;
    int width = 0;
    int height = 0;
    std::map<int, ShownControl> controls;  // by control id
};

// A control as a dialog's layout table has it: its caption in each
// language, and whether it is shown and usable.
struct ExpectedControl {
    int id;
    const char* japanese;
    const char* english;
    bool visible = true;
    bool enabled = true;
};

// A dialog's window as the toolkit should show it: its title in each
// language and its client size in dialog units.
struct ExpectedWindow {
    const char* japaneseTitle;
    const char* englishTitle;
    int widthUnits;
    int heightUnits;
};

// Checks (as test expectations) that every expected control is shown with
// its caption in `language` (1 English, 0 Japanese) and its states.
void expectControls(const ShownDialog& shown, int language,
                    std::span<const ExpectedControl> expected);

// Runs `dialog` in the toolkit host (off-screen platform unless a display
// is set); `whileOpen` acts on its window once it is shown and must end the
// run (close the window or press a button). Returns the dialog's result.
int runInToolkit(Dialog& dialog, const std::function<void(QWidget*)>& whileOpen);

// Opens `dialog` in the toolkit host, reads every control with an id as
// shown, then cancels it.
ShownDialog showInToolkit(Dialog& dialog);

// Sets the language to Japanese, then English, and each time checks the
// dialog `show` opens (with showInToolkit) against `window` and `rows`;
// `alsoCheck` then sees the shown dialog for what the rows do not cover.
void expectShownInBothLanguages(
    const std::function<ShownDialog()>& show, const ExpectedWindow& window,
    std::span<const ExpectedControl> rows,
    const std::function<void(ShownDialog& shown, int language)>& alsoCheck = {});

}  // namespace kvt::test
