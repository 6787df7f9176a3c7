#pragma once
#include "core/ConfigurationRecord.h"
#include "platform/Colour.h"

namespace kvt {

// The three ways the trend runs across the screen.
enum class GraphLayout : int {
    Perpendicular = 0,  // time downwards, values across
    Leftward = 1,       // "Horizontal( <- )": newest sample at the right
    Rightward = 2,      // "Horizontal( -> )": newest sample at the left
};

// The display fields of a settings file are read through these, so a
// hand-edited file draws a sane screen and never indexes outside a table.

// graphDirection 1 and 2 are the horizontal layouts; anything else is
// drawn perpendicular.
GraphLayout graphLayout(const ConfigurationRecord& config);
inline bool isHorizontal(GraphLayout layout) { return layout != GraphLayout::Perpendicular; }

// graphDrawMode 1 draws only the recorded samples; anything else draws all.
bool drawsRecordedSamplesOnly(const ConfigurationRecord& config);

// The group drawn: the current group, or group 1 when it lies outside 0-10.
int shownGroup();

// Storing cycle index 0-5 of a group; 0 (0.5 s) for an index outside the
// table. The high-speed group has none and gives 0.
int storingCycleOf(const ConfigurationRecord& config, int group);

// scalePen and selectedPen of a group as the display uses them: a pen
// number 1 to the group's pen count, or 0 (percent scale, all pens) for
// any other value.
int scalePenOf(const ConfigurationRecord& config, int group);
int selectedPenOf(const ConfigurationRecord& config, int group);

// A stored colour as RGB: the high byte (palette flags) is ignored.
constexpr Colour rgbOf(Colour stored) { return stored & 0x00FFFFFFu; }

// Decades of a logarithmic pen: 10, 5, 4, 2, 1 by logDecadesIndex 0-4;
// 10 for an index outside the table.
int logDecadesOf(const PenSettings& pen);

// logLowExponent held to -999..999 so exponent arithmetic cannot overflow.
int lowExponentOf(const PenSettings& pen);

// Line width of a trace: 3 for thickLine 1, else 1.
inline int traceWidthOf(const PenSettings& pen) { return pen.thickLine == 1 ? 3 : 1; }

// Power-factor pens (analog type "PF" on channel 11, 71, 73 or 75) run
// from -1 through 1 back to -1 in live displays.
bool isPowerFactorPen(const PenSettings& pen);

}  // namespace kvt
