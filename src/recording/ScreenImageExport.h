#pragma once
#include <cstddef>

#include "platform/DeviceContext.h"
#include "platform/SystemTime.h"

namespace kvt {

constexpr int kImagePathCapacity = 1300;

// "<data folder>/%04d%02d%02d_%02d%02d%02d_G%d.bmp" for a moment and a group.
void screenImagePath(char (&path)[kImagePathCapacity], const char* folder, const SystemTime& time,
                     int group);

// Writes `image` as an uncompressed bottom-up 32-bit BMP file at `path`,
// replacing what is there only once the whole picture is on the disk.
// Returns 1 when the file was written, 0 when the image is empty or the file
// could not be written (nothing of it is left behind then).
int writeBitmapFile(const DeviceContext& image, const char* path);

// Saves the main window's picture in the data folder, named from the
// validated local time and the group shown. Returns 1 or 0 as above.
int exportScreenImage(const DeviceContext& image);

}  // namespace kvt
