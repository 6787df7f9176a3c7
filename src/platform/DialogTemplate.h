#pragma once
#include <string_view>
#include <vector>

namespace kvt {

enum class ControlKind {
    Label,          // static text
    Edit,           // one-line edit
    GroupBox,
    CheckBox,       // toggles itself when clicked
    RadioButton,    // checks itself and clears the rest of its group when clicked
    PushButton,
    DefaultButton,  // the push button Enter presses
    ComboBox,       // drop-down list (not editable)
    ListBox,
    Icon,           // the program's icon
};

// Style bits of a control.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kFirstInGroup = 1u << 0,  // a radio button that starts a new radio group
    kCentred = 1u << 1,       // centred text (labels, edits)
    kTextLeft = 1u << 2,      // check box or radio button with its text left of the box
    kNoSelection = 1u << 3,   // list box whose items cannot be selected
    kStartHidden = 1u << 4,
    kStartDisabled = 1u << 5,
    kFixedPitch = 1u << 6,    // labels and list boxes in kFixedPitchFontFamily (tables)
};

// Rectangle in dialog units (or in pixels where said so).
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Controls without their own id use kNoControlId; they cannot be addressed.
constexpr int kNoControlId = -1;

struct ControlTemplate {
    int id;
    ControlKind kind;
    DialogRect place;          // dialog units
    std::string_view caption;  // UTF-8; the initial text of the control
    unsigned style = kStyleNone;
};

// An English caption that replaces the template's (Japanese) one.
struct ControlCaption {
    int id;
    std::string_view text;  // UTF-8
};

// A dialog as laid out at design time: its title (UTF-8), size in dialog
// units and controls in tab order (radio groups follow this order). The
// template carries the Japanese texts; `englishTitle` and
// `englishCaptions` are what the dialog shows instead when the English
// texts are in force (Dialog::applyEnglishCaptions).
struct DialogTemplate {
    int id;
    std::string_view title;
    int width;
    int height;
    std::vector<ControlTemplate> controls;
    std::string_view englishTitle{};
    std::vector<ControlCaption> englishCaptions{};
};

// The dialog font: the 9-point user-interface font at 96 dots per inch,
// that is 12 pixels, in the proportional gothic face.
constexpr const char* kDialogFontFamily = "IPAPGothic";
// The same face with every letter one column wide (two for kanji and kana
// other than the half-width ones), for text laid out in columns.
constexpr const char* kFixedPitchFontFamily = "IPAGothic";
constexpr int kDialogFontPixelSize = 12;

// Dialog units to pixels, one rule for every dialog: a horizontal unit is a
// quarter of the dialog font's average character width, a vertical unit an
// eighth of its height, so every dialog keeps its template's proportions.
// The base units are those of the dialog font at 12 pixels, measured the
// way dialog templates are laid out on the desktop they come from: the
// average width is (width of "A".."Z" "a".."z" / 26 + 1) / 2, the height
// the font's line height (a test checks them against the installed font).
constexpr int kDialogBaseUnitX = 7;
constexpr int kDialogBaseUnitY = 13;
constexpr int dialogUnitsToPixelsX(int units) { return units * kDialogBaseUnitX / 4; }
constexpr int dialogUnitsToPixelsY(int units) { return units * kDialogBaseUnitY / 8; }

}  // namespace kvt
