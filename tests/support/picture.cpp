#include "support/picture.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

Picture LoadPicture(const std::string& path) {
  Picture picture;
  unsigned char* data =
      stbi_load(path.c_str(), &picture.width, &picture.height, &picture.channels, 3);
  if (data != nullptr) {
    picture.rgb.assign(data, data + static_cast<std::size_t>(picture.width) * picture.height * 3);
    stbi_image_free(data);
  }
  return picture;
}
