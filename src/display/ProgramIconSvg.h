#pragma once
#include <string>

namespace kvt {

// The program's icon as an SVG document, for the scalable size of the
// desktop icon theme: the face of programIconImage() as it is drawn at the
// larger sizes, where a pen is a square centred on its point, so that a
// frame line runs through its coordinate and a trace segment is the sweep
// of that square from one point to the next.
std::string programIconSvg();

}  // namespace kvt
