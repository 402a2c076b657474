// collision.cpp -- pixel-exact overlap of two placed image frames, worked out from the images' own pixels
#include <algorithm>
#include <cmath>

#include "render_front.h"

namespace {

constexpr double SmallestScale = 1e-4;  // a frame squeezed below this has no area and touches nothing
constexpr double FinestStep = 1.0 / 64;
constexpr double MaxSamples = 4.0e6;

// A frame placed in the world: world = position + R(rotation) S(scale) (local - handle).
struct PlacedFrame {
    const ImageRecord* image;
    const Pixel* pixels;
    double x, y;
    double inv00, inv01, inv10, inv11;  // world offset -> local, before adding the handle
    double left, top, right, bottom;    // world bounding box
};

bool PlaceFrame(int image, float x, float y, int frame, float rotation, float scaleX, float scaleY, PlacedFrame& out)
{
    const ImageRecord* rec = FindImage(image);
    if (!rec || frame < 0 || frame >= rec->frames || rec->width <= 0 || rec->height <= 0) return false;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(rotation) || !std::isfinite(scaleX) ||
        !std::isfinite(scaleY))
        return false;
    if (std::fabs(scaleX) < SmallestScale || std::fabs(scaleY) < SmallestScale) return false;
    double radians = (double)rotation * 3.14159265358979323846 / 180.0;
    double c = std::cos(radians), s = std::sin(radians);
    out.image = rec;
    out.pixels = rec->pixels.data() + (size_t)rec->width * rec->height * frame;
    out.x = x;
    out.y = y;
    out.inv00 = c / scaleX;
    out.inv01 = s / scaleX;
    out.inv10 = -s / scaleY;
    out.inv11 = c / scaleY;
    const double lx[4] = {0, (double)rec->width, (double)rec->width, 0};
    const double ly[4] = {0, 0, (double)rec->height, (double)rec->height};
    out.left = out.top = 1e300;
    out.right = out.bottom = -1e300;
    for (int i = 0; i < 4; i++) {
        double px = (lx[i] - rec->handleX) * scaleX, py = (ly[i] - rec->handleY) * scaleY;
        double wx = x + c * px - s * py, wy = y + s * px + c * py;
        out.left = std::min(out.left, wx);
        out.right = std::max(out.right, wx);
        out.top = std::min(out.top, wy);
        out.bottom = std::max(out.bottom, wy);
    }
    return true;
}

// True when the texel under world point (wx, wy) is there and not fully transparent.
inline bool SolidAt(const PlacedFrame& f, double wx, double wy)
{
    double dx = wx - f.x, dy = wy - f.y;
    double lx = f.inv00 * dx + f.inv01 * dy + f.image->handleX;
    double ly = f.inv10 * dx + f.inv11 * dy + f.image->handleY;
    if (!(lx >= 0 && ly >= 0 && lx < f.image->width && ly < f.image->height)) return false;
    return (f.pixels[(size_t)ly * f.image->width + (size_t)lx] >> 24) != 0;
}

// World units per texel along the frame's narrower axis.
double TexelSize(float scaleX, float scaleY)
{
    return std::min(std::fabs((double)scaleX), std::fabs((double)scaleY));
}

}  // namespace

bool GfxImagesCollide(int imageA, float ax, float ay, int frameA, float rotationA, float scaleXA, float scaleYA,
                      int imageB, float bx, float by, int frameB, float rotationB, float scaleXB, float scaleYB)
{
    PlacedFrame a, b;
    if (!PlaceFrame(imageA, ax, ay, frameA, rotationA, scaleXA, scaleYA, a)) return false;
    if (!PlaceFrame(imageB, bx, by, frameB, rotationB, scaleXB, scaleYB, b)) return false;
    double left = std::max(a.left, b.left), right = std::min(a.right, b.right);
    double top = std::max(a.top, b.top), bottom = std::min(a.bottom, b.bottom);
    if (!(left < right && top < bottom)) return false;

    // Sample the shared box on a grid no coarser than either frame's texels (nor than a world unit),
    // at the centres of its cells; the grid is anchored to the world so unscaled frames at whole
    // positions sample each texel at its centre.
    double step = std::clamp(std::min(TexelSize(scaleXA, scaleYA), TexelSize(scaleXB, scaleYB)), FinestStep, 1.0);
    // Two huge frames overlapping widely: a coarser grid keeps the test bounded.
    double cells = (right - left) * (bottom - top) / (step * step);
    if (cells > MaxSamples) step *= std::sqrt(cells / MaxSamples);
    long long colFirst = (long long)std::floor(left / step), colEnd = (long long)std::ceil(right / step);
    long long rowFirst = (long long)std::floor(top / step), rowEnd = (long long)std::ceil(bottom / step);
    for (long long row = rowFirst; row < rowEnd; row++) {
        double wy = (row + 0.5) * step;
        for (long long col = colFirst; col < colEnd; col++) {
            double wx = (col + 0.5) * step;
            if (SolidAt(a, wx, wy) && SolidAt(b, wx, wy)) return true;
        }
    }
    return false;
}
