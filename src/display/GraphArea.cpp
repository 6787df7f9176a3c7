#include "display/GraphArea.h"

namespace kvt {

// The trend display is not drawn yet: the area stays white.
void drawGraphArea(DeviceContext& image) { (void)image; }

}  // namespace kvt
