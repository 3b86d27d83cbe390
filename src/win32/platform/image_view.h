// An image-display control: shows a JPEG, GIF or BMP file (GDI+), stretched
// to its frame or at its own size. A file that cannot be read leaves the
// picture empty, silently.
#pragma once

#include <windows.h>

#include <string>

namespace vm {

// Creates the view (hidden) at `at`, in the parent's client coordinates.
HWND CreateImageView(HWND parent, int id, const RECT& at = {0, 0, 10, 10});
// Shows the file; the empty text clears the picture. False when the file
// could not be read (the picture is then empty).
bool ImageViewShow(HWND view, const std::string& path);
void ImageViewSetStretch(HWND view, bool stretch);
bool ImageViewHasPicture(HWND view);

}  // namespace vm
