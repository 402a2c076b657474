// render.h -- the 2D renderer: draw state, shapes, images, fonts, grabbing and the pixel-exact overlap test
//
// Every coordinate is in virtual units (VidSetVirtualResolution) unless it says pixels.
// Handle 0 (a failed load) is accepted everywhere: it draws nothing, measures 0 and never collides;
// font 0 is the built-in fallback font.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Pixels are 32-bit 0xAARRGGBB values everywhere in the platform layer.
using Pixel = uint32_t;

enum BlendMode { BlendSolid = 0, BlendAlpha = 1, BlendMultiply = 2, BlendAdditive = 3 };

enum ImageFlags { ImageMasked = 1, ImageFiltered = 2 };  // masked: pure black pixels are transparent

struct Pixmap {
    int width = 0, height = 0;
    std::vector<Pixel> pixels;  // row by row, top row first
};

// Draw state
void GfxSetColor(int r, int g, int b);       // 0..255 each
void GfxGetColor(int& r, int& g, int& b);
void GfxSetAlpha(float a);                   // 0..1
float GfxGetAlpha();
void GfxSetBlend(int mode);                  // a BlendMode
int GfxGetBlend();
void GfxSetRotation(float degrees);          // clockwise on screen
float GfxGetRotation();
void GfxSetScale(float sx, float sy);
void GfxGetScale(float& sx, float& sy);
void GfxSetClsColor(int r, int g, int b);
void GfxAutoMidHandle(bool on);              // images loaded from now on get their handle at their centre

// Shapes
void GfxCls();                                          // clears the back buffer to the cls colour
void GfxDrawRect(float x, float y, float w, float h);   // filled; rotated and scaled about (x, y)
void GfxDrawLine(float x1, float y1, float x2, float y2);

// Images: a strip of equal frames in one picture
int GfxLoadImage(const std::string& path, int flags = ImageMasked | ImageFiltered);
int GfxLoadAnimImage(const std::string& path, int cellWidth, int cellHeight, int firstFrame, int frameCount,
                     int flags = ImageMasked | ImageFiltered);
int GfxCreateImage(int width, int height, int frames = 1, int flags = ImageFiltered);
void GfxGrabImage(int image, float x, float y, int frame = 0);  // copies the back buffer at (x, y) into the frame
void GfxFreeImage(int image);
void GfxSetImageHandle(int image, float x, float y);    // the point of the frame placed at the draw position
void GfxMidHandleImage(int image);
int GfxImageWidth(int image);                            // frame size in pixels
int GfxImageHeight(int image);
int GfxImageFrames(int image);
void GfxDrawImage(int image, float x, float y, int frame = 0);  // rotated and scaled about its handle
bool GfxImagePixels(int image, int frame, Pixmap& out);  // a frame's pixels as loaded (after masking)

// Pixel-exact overlap of two placed frames, each placed by its handle with its own rotation and scale,
// computed from the images' own pixels (alpha above 0 counts as solid).
bool GfxImagesCollide(int imageA, float ax, float ay, int frameA, float rotationA, float scaleXA, float scaleYA,
                      int imageB, float bx, float by, int frameB, float rotationB, float scaleXB, float scaleYB);

// Fonts: a TrueType file rendered at a pixel size into a glyph atlas
int GfxLoadFont(const std::string& path, int pixelSize, bool smooth = true);
void GfxSetFont(int font);                     // 0 selects the built-in font
int GfxGetFont();
int GfxTextWidth(const std::string& text);     // unscaled, in virtual units
int GfxTextHeight(const std::string& text);
void GfxDrawText(const std::string& text, float x, float y);  // top-left at (x, y), rotated and scaled about it

// Back buffer
Pixmap GfxGrabPixmap(int x, int y, int width, int height);   // display pixels
bool SavePixmapPNG(const Pixmap& pixmap, const std::string& path, int compression);  // 0..9
bool LoadPixmapPNG(const std::string& path, Pixmap& out);

// Figures of the last presented frame, for the overlay, tests and benchmarks
int GfxLastDrawCalls();    // draw calls the back end issued
int GfxLastQuadCount();    // quads submitted
