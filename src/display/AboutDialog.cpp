#include "display/AboutDialog.h"

namespace kvt {

const DialogTemplate& AboutDialog::layout() {
    static const DialogTemplate dialogTemplate{
        100,
        "KVT936Pのﾊﾞｰｼﾞｮﾝ情報",
        170,
        55,
        {
            {kNoControlId, ControlKind::Icon, {11, 14, 20, 20}, ""},
            {kNoControlId, ControlKind::Label, {40, 10, 119, 8}, "KVT936P Version 1.0"},
            {1, ControlKind::DefaultButton, {112, 34, 50, 14}, "OK"},
        },
    };
    return dialogTemplate;
}

AboutDialog::AboutDialog() : Dialog(layout()) {}

}  // namespace kvt
