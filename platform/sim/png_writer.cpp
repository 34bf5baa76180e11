#include "platform/sim/png_writer.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace nx::sim {

bool writePng(const std::string& path, const Bitmap& bitmap) {
  if (bitmap.width() <= 0 || bitmap.height() <= 0) return false;
  std::vector<unsigned char> rgb(static_cast<std::size_t>(bitmap.width()) *
                                 static_cast<std::size_t>(bitmap.height()) * 3);
  std::size_t i = 0;
  for (std::int32_t y = 0; y < bitmap.height(); ++y) {
    for (std::int32_t x = 0; x < bitmap.width(); ++x) {
      Rgb c = bitmap.at(x, y);
      rgb[i++] = redOf(c);
      rgb[i++] = greenOf(c);
      rgb[i++] = blueOf(c);
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(bitmap.width());
  image.height = static_cast<png_uint_32>(bitmap.height());
  image.format = PNG_FORMAT_RGB;
  int ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
  png_image_free(&image);
  return ok != 0;
}

}  // namespace nx::sim
