// image_png.cpp -- reading and writing PNG pictures (libpng, zlib) as 0xAARRGGBB pixels
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "render_front.h"

// Reads any PNG (palette, grey, 16-bit, with or without transparency) as 0xAARRGGBB pixels.
// Damaged files, files that are not PNG and absurd sizes give false and touch nothing.
bool ReadPngFile(const std::string& path, int& width, int& height, std::vector<Pixel>& pixels)
{
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    if (image.width == 0 || image.height == 0 || image.width > (png_uint_32)MaxImageSide ||
        image.height > (png_uint_32)MaxImageSide ||
        (uint64_t)image.width * image.height > (uint64_t)MaxImageSide * MaxImageSide / 4) {
        png_image_free(&image);
        return false;
    }
    // BGRA bytes in memory are 0xAARRGGBB words on a little-endian machine.
    image.format = PNG_FORMAT_BGRA;
    std::vector<Pixel> buffer((size_t)image.width * image.height);
    if (!png_image_finish_read(&image, nullptr, buffer.data(), (png_int_32)(image.width * 4), nullptr)) {
        png_image_free(&image);
        return false;
    }
    width = (int)image.width;
    height = (int)image.height;
    pixels = std::move(buffer);
    return true;
}

bool LoadPixmapPNG(const std::string& path, Pixmap& out)
{
    int width = 0, height = 0;
    std::vector<Pixel> pixels;
    if (!ReadPngFile(path, width, height, pixels)) return false;
    out.width = width;
    out.height = height;
    out.pixels = std::move(pixels);
    return true;
}

// The libpng part of saving: kept apart because libpng reports errors by longjmp, which must not
// cross objects with destructors.
static bool WritePng(FILE* file, const Pixmap& pixmap, int compression, bool withAlpha, png_bytep row)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, compression);
    png_set_IHDR(png, info, (png_uint_32)pixmap.width, (png_uint_32)pixmap.height, 8,
                 withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    int channels = withAlpha ? 4 : 3;
    for (int y = 0; y < pixmap.height; y++) {
        const Pixel* src = pixmap.pixels.data() + (size_t)y * pixmap.width;
        for (int x = 0; x < pixmap.width; x++) {
            Pixel p = src[x];
            png_bytep dst = row + (size_t)x * channels;
            dst[0] = (png_byte)(p >> 16);
            dst[1] = (png_byte)(p >> 8);
            dst[2] = (png_byte)p;
            if (withAlpha) dst[3] = (png_byte)(p >> 24);
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Saves with the alpha channel only when some pixel is not opaque (screenshots are plain RGB).
// A failed save removes the partial file.
bool SavePixmapPNG(const Pixmap& pixmap, const std::string& path, int compression)
{
    if (pixmap.width <= 0 || pixmap.height <= 0 || pixmap.width > MaxImageSide || pixmap.height > MaxImageSide ||
        pixmap.pixels.size() != (size_t)pixmap.width * pixmap.height)
        return false;
    if (compression < 0) compression = 0;
    if (compression > 9) compression = 9;
    bool withAlpha = false;
    for (Pixel p : pixmap.pixels)
        if ((p >> 24) != 0xFF) {
            withAlpha = true;
            break;
        }
    std::vector<png_byte> row((size_t)pixmap.width * 4);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = WritePng(file, pixmap, compression, withAlpha, row.data());
    if (std::fflush(file) != 0) ok = false;
    if (std::fclose(file) != 0) ok = false;
    if (!ok) std::remove(path.c_str());
    return ok;
}
