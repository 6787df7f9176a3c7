#pragma once
#include <map>
#include <string>

#include "platform/Dialog.h"

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

// Opens `dialog` in the toolkit host (off-screen platform unless a display
// is set), reads every control with an id as shown, then cancels it.
ShownDialog showInToolkit(Dialog& dialog);

}  // namespace kvt::test
