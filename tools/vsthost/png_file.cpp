#include "png_file.h"

#include <png.h>

bool writePngFile(const std::string& path, const PixelImage& image, std::string& error)
{
    if (image.width <= 0 || image.height <= 0 ||
        image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3)
    {
        error = "no picture to write";
        return false;
    }
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, path.c_str(), 0, image.rgb.data(), 0, nullptr)) return true;
    error = "cannot write '" + path + "': " + png.message;
    png_image_free(&png);
    return false;
}
