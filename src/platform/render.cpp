// render.cpp -- the renderer front end: draw state, images, atlases and the quad queue the back ends replay
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform_internal.h"
#include "render_front.h"

// ---- Renderer front end state ----
const RenderBackend* RenderBack = nullptr;
int RenderDisplayWidth = 0, RenderDisplayHeight = 0;
int RenderVirtualWidth = 0, RenderVirtualHeight = 0;
int RenderGeneration = 0;
int RenderFirstImage = 1;
std::vector<ImageRecord> Images;
int RenderFirstFont = 1;
std::vector<FontRecord> Fonts;
std::vector<AtlasPage> AtlasPages;
int RenderCurrentFont = 0;

// Draw state: survives display changes, like the game's own idea of it.
static int StateRed = 255, StateGreen = 255, StateBlue = 255;
static float StateAlpha = 1;
static int StateBlend = BlendAlpha;
static float StateRotation = 0, StateCos = 1, StateSin = 0;
static float StateScaleX = 1, StateScaleY = 1;
static float UnitsX = 1, UnitsY = 1;    // display pixels per virtual unit
static float StateM00 = 1, StateM01 = 0, StateM10 = 0, StateM11 = 1;  // rotation and scale, in display pixels
static Pixel ClsColour = 0xFF000000;
static bool AutoMidHandle = false;
static Pixel StateColour = 0xFFFFFFFF;  // the tint every quad carries: alpha byte and colour

// The one quad queue of the frame, cut into batches wherever texture or blend changes. Fixed arrays:
// a quad is four plain stores, and a batch at most one per quad.
static QuadVertex QueueVertices[QuadQueueSize * 4];
static QuadBatch QueueBatches[QuadQueueSize];
static int QueuedBatches = 0;
static int QueuedQuads = 0;
static int FrameQuads = 0, LastFrameQuads = 0;
static std::vector<int> OwnTextures;  // textures of big frames, deleted with the display
// ---- end of renderer front end state ----

static void UpdateStateColour()
{
    int a = (int)std::lround(std::clamp(StateAlpha, 0.0f, 1.0f) * 255.0f);
    StateColour = ((Pixel)a << 24) | ((Pixel)StateRed << 16) | ((Pixel)StateGreen << 8) | (Pixel)StateBlue;
}

// Draw state

void GfxSetColor(int r, int g, int b)
{
    StateRed = std::clamp(r, 0, 255);
    StateGreen = std::clamp(g, 0, 255);
    StateBlue = std::clamp(b, 0, 255);
    UpdateStateColour();
}

void GfxGetColor(int& r, int& g, int& b)
{
    r = StateRed;
    g = StateGreen;
    b = StateBlue;
}

void GfxSetAlpha(float a)
{
    StateAlpha = std::isnan(a) ? 0.0f : std::clamp(a, 0.0f, 1.0f);
    UpdateStateColour();
}

float GfxGetAlpha() { return StateAlpha; }

void GfxSetBlend(int mode)
{
    if (mode >= BlendSolid && mode <= BlendAdditive) StateBlend = mode;
}

int GfxGetBlend() { return StateBlend; }

// The placement matrix every draw starts from; changes only with rotation, scale and display size.
static inline void UpdatePlacement()
{
    StateM00 = UnitsX * StateCos * StateScaleX;
    StateM01 = -UnitsX * StateSin * StateScaleY;
    StateM10 = UnitsY * StateSin * StateScaleX;
    StateM11 = UnitsY * StateCos * StateScaleY;
}

// Sine and cosine of an angle in degrees. Sprites usually turn by a new angle each, so this is on
// the path of every draw: the angle is brought to within 45 degrees of a right angle and the rest
// goes through short series (accurate to well below float precision there), instead of libm's
// general functions. Right angles come out exact.
static void SinCosDegrees(float degrees, float& sine, float& cosine)
{
    double d = degrees;
    if (!std::isfinite(d)) {
        sine = cosine = std::numeric_limits<float>::quiet_NaN();
        return;
    }
    if (std::fabs(d) > 1e6) d = std::fmod(d, 360.0);  // exact, and keeps the reduction below exact too
    double quadrants = std::nearbyint(d * (1.0 / 90.0));
    int quadrant = (int)quadrants & 3;
    double x = (d - quadrants * 90.0) * (3.14159265358979323846 / 180.0), x2 = x * x, x4 = x2 * x2;
    double s = x + x * x2 * ((-1.0 / 6 + x2 * (1.0 / 120)) + x4 * (-1.0 / 5040 + x2 * (1.0 / 362880)));
    double c = 1 + x2 * (-1.0 / 2 + x2 * (1.0 / 24)) +
               x4 * x2 * ((-1.0 / 720 + x2 * (1.0 / 40320)) + x4 * (-1.0 / 3628800));
    // Turning by whole right angles swaps the two and flips signs; done by table, as the quadrant of
    // one sprite says nothing about the next one's.
    static const float SineSign[4] = {1, 1, -1, -1}, CosineSign[4] = {1, -1, -1, 1};
    const float both[2] = {(float)s, (float)c};
    sine = both[quadrant & 1] * SineSign[quadrant];
    cosine = both[(quadrant & 1) ^ 1] * CosineSign[quadrant];
}

void GfxSetRotation(float degrees)
{
    if (degrees == StateRotation) return;
    StateRotation = degrees;
    SinCosDegrees(degrees, StateSin, StateCos);
    UpdatePlacement();
}

float GfxGetRotation() { return StateRotation; }

void GfxSetScale(float sx, float sy)
{
    StateScaleX = sx;
    StateScaleY = sy;
    UpdatePlacement();
}

void GfxGetScale(float& sx, float& sy)
{
    sx = StateScaleX;
    sy = StateScaleY;
}

void GfxSetClsColor(int r, int g, int b)
{
    ClsColour = 0xFF000000 | ((Pixel)std::clamp(r, 0, 255) << 16) | ((Pixel)std::clamp(g, 0, 255) << 8) |
                (Pixel)std::clamp(b, 0, 255);
}

void GfxAutoMidHandle(bool on) { AutoMidHandle = on; }

// The quad queue

void FlushQuads()
{
    if (RenderBack && QueuedQuads > 0) RenderBack->Submit(QueueVertices, QueuedQuads, QueueBatches, QueuedBatches);
    QueuedQuads = 0;
    QueuedBatches = 0;
}

// Room for one more quad in the queue, in the batch of this texture and the current blend.
static inline QuadVertex* NextQuad(int texture)
{
    if (QueuedQuads >= QuadQueueSize) FlushQuads();
    if (QueuedBatches == 0 || QueueBatches[QueuedBatches - 1].texture != texture ||
        QueueBatches[QueuedBatches - 1].blend != StateBlend)
        QueueBatches[QueuedBatches++] = QuadBatch{texture, StateBlend, QueuedQuads, 0};
    QueueBatches[QueuedBatches - 1].quadCount++;
    FrameQuads++;
    return QueueVertices + (size_t)4 * QueuedQuads++;
}

// Appends one quad given by its four display-space corners (top-left, top-right, bottom-right, bottom-left
// of the source rectangle) and its texture rectangle.
static void PushQuad(int texture, const float xs[4], const float ys[4], float u0, float v0, float u1, float v1)
{
    if (!RenderBack) return;
    QuadVertex* q = NextQuad(texture);
    Pixel c = StateColour;
    q[0] = QuadVertex{xs[0], ys[0], u0, v0, c};
    q[1] = QuadVertex{xs[1], ys[1], u1, v0, c};
    q[2] = QuadVertex{xs[2], ys[2], u1, v1, c};
    q[3] = QuadVertex{xs[3], ys[3], u0, v1, c};
}

Placement CurrentPlacement(float x, float y)
{
    return Placement{StateM00, StateM01, StateM10, StateM11, UnitsX * x, UnitsY * y};
}

static inline void PushPlacedQuad(const Placement& p, float x0, float y0, float x1, float y1,
                                  const TexturePlace& place)
{
    // The corners of the local rectangle (x0, y0) - (x1, y1), in the order top-left, top-right,
    // bottom-right, bottom-left.
    float ax0 = p.m00 * x0, ax1 = p.m00 * x1, bx0 = p.m01 * y0, bx1 = p.m01 * y1;
    float ay0 = p.m10 * x0, ay1 = p.m10 * x1, by0 = p.m11 * y0, by1 = p.m11 * y1;
    QuadVertex* q = NextQuad(place.texture);
    Pixel c = StateColour;
    q[0] = QuadVertex{ax0 + bx0 + p.tx, ay0 + by0 + p.ty, place.u0, place.v0, c};
    q[1] = QuadVertex{ax1 + bx0 + p.tx, ay1 + by0 + p.ty, place.u1, place.v0, c};
    q[2] = QuadVertex{ax1 + bx1 + p.tx, ay1 + by1 + p.ty, place.u1, place.v1, c};
    q[3] = QuadVertex{ax0 + bx1 + p.tx, ay0 + by1 + p.ty, place.u0, place.v1, c};
}

void EmitQuad(const Placement& p, float x0, float y0, float x1, float y1, const TexturePlace& place)
{
    if (RenderBack) PushPlacedQuad(p, x0, y0, x1, y1, place);
}

// Textures and atlases

// The cell with its gutter: edge texels repeated outwards.
static std::vector<Pixel> WithGutter(int width, int height, const Pixel* pixels)
{
    int gw = width + 2 * AtlasGutter, gh = height + 2 * AtlasGutter;
    std::vector<Pixel> out((size_t)gw * gh);
    for (int y = 0; y < gh; y++) {
        int sy = std::clamp(y - AtlasGutter, 0, height - 1);
        for (int x = 0; x < gw; x++) {
            int sx = std::clamp(x - AtlasGutter, 0, width - 1);
            out[(size_t)y * gw + x] = pixels[(size_t)sy * width + sx];
        }
    }
    return out;
}

// Finds room for a cell of w x h (gutter included) on the newest page of the wanted kind.
static bool AllocateAtlasCell(int w, int h, bool filtered, int& texture, int& x, int& y)
{
    AtlasPage* page = nullptr;
    for (auto it = AtlasPages.rbegin(); it != AtlasPages.rend(); ++it)
        if (it->filtered == filtered) {
            page = &*it;
            break;
        }
    for (int attempt = 0; attempt < 2; attempt++) {
        if (page) {
            if (page->shelfX + w > AtlasPageSize) {  // shelf full: open the next one below
                page->shelfY += page->shelfHeight;
                page->shelfX = 0;
                page->shelfHeight = 0;
            }
            if (page->shelfY + h <= AtlasPageSize) {
                texture = page->texture;
                x = page->shelfX;
                y = page->shelfY;
                page->shelfX += w;
                page->shelfHeight = std::max(page->shelfHeight, h);
                return true;
            }
            page->shelfX = AtlasPageSize;  // the page is full for good
        }
        if ((int)AtlasPages.size() >= AtlasPageLimit) return false;
        std::vector<Pixel> blank((size_t)AtlasPageSize * AtlasPageSize, 0);
        int t = RenderBack->CreateTexture(AtlasPageSize, AtlasPageSize, blank.data(), filtered);
        if (t <= 0) return false;
        AtlasPage fresh;
        fresh.texture = t;
        fresh.filtered = filtered;
        AtlasPages.push_back(fresh);
        page = &AtlasPages.back();
    }
    return false;
}

bool PlaceInTextures(int width, int height, bool filtered, const Pixel* pixels, TexturePlace& place)
{
    place = TexturePlace{};
    if (!RenderBack || width <= 0 || height <= 0) return false;
    FlushQuads();  // queued quads must still see the old texture contents
    int tw = width + 2 * AtlasGutter, th = height + 2 * AtlasGutter;
    int texture = 0, x = 0, y = 0;
    if (width <= AtlasMaxCell && height <= AtlasMaxCell && AllocateAtlasCell(tw, th, filtered, texture, x, y)) {
        std::vector<Pixel> cell = WithGutter(width, height, pixels);
        RenderBack->UpdateTexture(texture, x, y, tw, th, cell.data());
        place.texture = texture;
        place.x = x + AtlasGutter;
        place.y = y + AtlasGutter;
        place.width = width;
        place.height = height;
        place.u0 = (float)place.x / AtlasPageSize;
        place.v0 = (float)place.y / AtlasPageSize;
        place.u1 = (float)(place.x + width) / AtlasPageSize;
        place.v1 = (float)(place.y + height) / AtlasPageSize;
        return true;
    }
    int t = RenderBack->CreateTexture(width, height, pixels, filtered);
    if (t <= 0) return false;
    OwnTextures.push_back(t);
    place.texture = t;
    place.width = width;
    place.height = height;
    place.u0 = place.v0 = 0;
    place.u1 = place.v1 = 1;
    return true;
}

static bool IsOwnTexture(int texture)
{
    return std::find(OwnTextures.begin(), OwnTextures.end(), texture) != OwnTextures.end();
}

void UpdatePlacedPixels(const TexturePlace& place, const Pixel* pixels)
{
    if (!RenderBack || place.texture == 0) return;
    FlushQuads();
    if (IsOwnTexture(place.texture)) {
        RenderBack->UpdateTexture(place.texture, 0, 0, place.width, place.height, pixels);
        return;
    }
    std::vector<Pixel> cell = WithGutter(place.width, place.height, pixels);
    RenderBack->UpdateTexture(place.texture, place.x - AtlasGutter, place.y - AtlasGutter,
                              place.width + 2 * AtlasGutter, place.height + 2 * AtlasGutter, cell.data());
}

// Display life cycle, driven by display.cpp

void RenderBegin(const RenderBackend* backend, int displayWidth, int displayHeight)
{
    RenderBack = backend;
    RenderDisplayWidth = displayWidth;
    RenderDisplayHeight = displayHeight;
    RenderVirtualWidth = displayWidth;
    RenderVirtualHeight = displayHeight;
    RenderGeneration++;
    QueuedQuads = 0;
    QueuedBatches = 0;
    FrameQuads = LastFrameQuads = 0;
    UnitsX = UnitsY = 1;
    UpdatePlacement();
}

void RenderEnd()
{
    QueuedQuads = 0;
    QueuedBatches = 0;
    if (RenderBack) {
        for (const AtlasPage& page : AtlasPages) RenderBack->DeleteTexture(page.texture);
        for (int t : OwnTextures) RenderBack->DeleteTexture(t);
    }
    AtlasPages.clear();
    OwnTextures.clear();
    // Every handle of this display dies; the next display's handles start past them.
    RenderFirstImage += (int)Images.size();
    Images.clear();
    RenderFirstFont += (int)Fonts.size();
    Fonts.clear();
    RenderBack = nullptr;
    RenderGeneration++;
}

void RenderSetVirtual(int virtualWidth, int virtualHeight)
{
    if (virtualWidth > 0 && virtualHeight > 0) {
        RenderVirtualWidth = virtualWidth;
        RenderVirtualHeight = virtualHeight;
        UnitsX = (float)RenderDisplayWidth / (float)RenderVirtualWidth;
        UnitsY = (float)RenderDisplayHeight / (float)RenderVirtualHeight;
        UpdatePlacement();
    }
}

void RenderFlush()
{
    FlushQuads();
    LastFrameQuads = FrameQuads;
    FrameQuads = 0;
}

const RenderBackend* RenderCurrentBackend() { return RenderBack; }

int GfxLastDrawCalls() { return RenderBack ? RenderBack->DrawCallsLastFrame() : 0; }

int GfxLastQuadCount() { return LastFrameQuads; }

// Shapes

void GfxCls()
{
    if (!RenderBack) return;
    FlushQuads();
    RenderBack->Clear(ClsColour);
}

void GfxDrawRect(float x, float y, float w, float h)
{
    if (!RenderBack) return;
    EmitQuad(CurrentPlacement(x, y), 0, 0, w, h, TexturePlace{});
}

// A line one display pixel thick whose ends are the centres of the first and last pixel, so a
// horizontal line from (10, 10) to (20, 10) on an unscaled display lights pixels 10 to 20 of row 10.
void GfxDrawLine(float x1, float y1, float x2, float y2)
{
    if (!RenderBack) return;
    Placement p = CurrentPlacement(x1, y1);
    float dx = x2 - x1, dy = y2 - y1;
    float ax = p.tx + 0.5f, ay = p.ty + 0.5f;
    float bx = ax + p.m00 * dx + p.m01 * dy, by = ay + p.m10 * dx + p.m11 * dy;
    float ex = bx - ax, ey = by - ay;
    float length = std::sqrt(ex * ex + ey * ey);
    float ux = 1, uy = 0;
    if (length > 1e-6f) {
        ux = ex / length;
        uy = ey / length;
    }
    float nx = -uy * 0.5f, ny = ux * 0.5f;
    ax -= ux * 0.5f;
    ay -= uy * 0.5f;
    bx += ux * 0.5f;
    by += uy * 0.5f;
    const float xs[4] = {ax - nx, bx - nx, bx + nx, ax + nx};
    const float ys[4] = {ay - ny, by - ny, by + ny, ay + ny};
    PushQuad(0, xs, ys, 0, 0, 0, 0);
}

// Images

// Hot: every image draw starts here.
static inline ImageRecord* FindImageInline(int image)
{
    int index = image - RenderFirstImage;
    if (image <= 0 || index < 0 || index >= (int)Images.size() || !Images[index].alive) return nullptr;
    return &Images[index];
}

ImageRecord* FindImage(int image) { return FindImageInline(image); }

static int AddImage(ImageRecord&& record)
{
    record.alive = true;
    record.places.assign(record.frames, TexturePlace{});
    size_t frameSize = (size_t)record.width * record.height;
    for (int f = 0; f < record.frames; f++)
        PlaceInTextures(record.width, record.height, (record.flags & ImageFiltered) != 0,
                        record.pixels.data() + frameSize * f, record.places[f]);
    if (AutoMidHandle) {
        record.handleX = record.width * 0.5f;
        record.handleY = record.height * 0.5f;
    }
    Images.push_back(std::move(record));
    return RenderFirstImage + (int)Images.size() - 1;
}

static void ApplyMask(std::vector<Pixel>& pixels)
{
    for (Pixel& p : pixels)
        if ((p & 0x00FFFFFF) == 0) p = 0;
}

int GfxLoadAnimImage(const std::string& path, int cellWidth, int cellHeight, int firstFrame, int frameCount,
                     int flags)
{
    if (!RenderBack || cellWidth <= 0 || cellHeight <= 0 || firstFrame < 0 || frameCount <= 0) return 0;
    int width = 0, height = 0;
    std::vector<Pixel> picture;
    if (!ReadPngFile(path, width, height, picture)) return 0;
    if (cellWidth > width || cellHeight > height) return 0;
    if ((int64_t)cellWidth * cellHeight * frameCount > (int64_t)MaxImageSide * MaxImageSide / 4) return 0;
    if (flags & ImageMasked) ApplyMask(picture);

    // Frames run left to right, then top to bottom, as many to a row as fit the picture's width;
    // parts of a cell beyond the picture stay transparent.
    ImageRecord record;
    record.width = cellWidth;
    record.height = cellHeight;
    record.frames = frameCount;
    record.flags = flags;
    record.pixels.assign((size_t)cellWidth * cellHeight * frameCount, 0);
    int perRow = width / cellWidth;
    for (int f = 0; f < frameCount; f++) {
        int64_t cell = (int64_t)firstFrame + f;
        int64_t cx = (cell % perRow) * cellWidth, cy = (cell / perRow) * cellHeight;
        Pixel* dst = record.pixels.data() + (size_t)cellWidth * cellHeight * f;
        for (int y = 0; y < cellHeight && cy + y < height; y++)
            for (int x = 0; x < cellWidth && cx + x < width; x++)
                dst[(size_t)y * cellWidth + x] = picture[(size_t)(cy + y) * width + (size_t)(cx + x)];
    }
    return AddImage(std::move(record));
}

int GfxLoadImage(const std::string& path, int flags)
{
    if (!RenderBack) return 0;
    int width = 0, height = 0;
    std::vector<Pixel> picture;
    if (!ReadPngFile(path, width, height, picture)) return 0;
    if (flags & ImageMasked) ApplyMask(picture);
    ImageRecord record;
    record.width = width;
    record.height = height;
    record.frames = 1;
    record.flags = flags;
    record.pixels = std::move(picture);
    return AddImage(std::move(record));
}

int GfxCreateImage(int width, int height, int frames, int flags)
{
    if (!RenderBack || width <= 0 || height <= 0 || frames <= 0 || width > MaxImageSide || height > MaxImageSide)
        return 0;
    if ((int64_t)width * height * frames > (int64_t)MaxImageSide * MaxImageSide / 4) return 0;
    ImageRecord record;
    record.width = width;
    record.height = height;
    record.frames = frames;
    record.flags = flags;
    record.pixels.assign((size_t)width * height * frames, 0);
    return AddImage(std::move(record));
}

void GfxGrabImage(int image, float x, float y, int frame)
{
    ImageRecord* rec = FindImage(image);
    if (!rec || frame < 0 || frame >= rec->frames || !RenderBack) return;
    float kx = (float)RenderDisplayWidth / (float)RenderVirtualWidth;
    float ky = (float)RenderDisplayHeight / (float)RenderVirtualHeight;
    int left = (int)std::floor(x * kx), top = (int)std::floor(y * ky);
    int right = (int)std::ceil((x + rec->width) * kx), bottom = (int)std::ceil((y + rec->height) * ky);
    Pixmap shot = GfxGrabPixmap(left, top, std::max(right - left, 1), std::max(bottom - top, 1));
    // One image pixel per virtual unit: each takes the display pixel under its centre.
    Pixel* dst = rec->pixels.data() + (size_t)rec->width * rec->height * frame;
    for (int j = 0; j < rec->height; j++) {
        int py = std::clamp((int)std::floor((y + j + 0.5f) * ky) - top, 0, shot.height - 1);
        for (int i = 0; i < rec->width; i++) {
            int px = std::clamp((int)std::floor((x + i + 0.5f) * kx) - left, 0, shot.width - 1);
            Pixel p = shot.pixels[(size_t)py * shot.width + px] | 0xFF000000;
            if ((rec->flags & ImageMasked) && (p & 0x00FFFFFF) == 0) p = 0;
            dst[(size_t)j * rec->width + i] = p;
        }
    }
    UpdatePlacedPixels(rec->places[frame], dst);
}

void GfxFreeImage(int image)
{
    ImageRecord* rec = FindImage(image);
    if (!rec) return;
    // Atlas cells are not reused; a texture of its own goes back at once.
    for (const TexturePlace& place : rec->places)
        if (place.texture != 0 && IsOwnTexture(place.texture)) {
            FlushQuads();
            RenderBack->DeleteTexture(place.texture);
            OwnTextures.erase(std::find(OwnTextures.begin(), OwnTextures.end(), place.texture));
        }
    *rec = ImageRecord{};
}

void GfxSetImageHandle(int image, float x, float y)
{
    if (ImageRecord* rec = FindImage(image)) {
        rec->handleX = x;
        rec->handleY = y;
    }
}

void GfxMidHandleImage(int image)
{
    if (ImageRecord* rec = FindImage(image)) {
        rec->handleX = rec->width * 0.5f;
        rec->handleY = rec->height * 0.5f;
    }
}

int GfxImageWidth(int image)
{
    ImageRecord* rec = FindImage(image);
    return rec ? rec->width : 0;
}

int GfxImageHeight(int image)
{
    ImageRecord* rec = FindImage(image);
    return rec ? rec->height : 0;
}

int GfxImageFrames(int image)
{
    ImageRecord* rec = FindImage(image);
    return rec ? rec->frames : 0;
}

void GfxDrawImage(int image, float x, float y, int frame)
{
    ImageRecord* rec = FindImageInline(image);
    if (!rec || frame < 0 || frame >= rec->frames) return;
    const TexturePlace& place = rec->places[frame];
    if (place.texture == 0 || !RenderBack) return;
    PushPlacedQuad(CurrentPlacement(x, y), -rec->handleX, -rec->handleY, rec->width - rec->handleX,
                   rec->height - rec->handleY, place);
}

bool GfxImagePixels(int image, int frame, Pixmap& out)
{
    ImageRecord* rec = FindImage(image);
    if (!rec || frame < 0 || frame >= rec->frames) return false;
    size_t frameSize = (size_t)rec->width * rec->height;
    out.width = rec->width;
    out.height = rec->height;
    out.pixels.assign(rec->pixels.begin() + frameSize * frame, rec->pixels.begin() + frameSize * (frame + 1));
    return true;
}

// Back buffer

Pixmap GfxGrabPixmap(int x, int y, int width, int height)
{
    Pixmap out;
    if (!RenderBack || width <= 0 || height <= 0 || width > MaxImageSide || height > MaxImageSide) return out;
    out.width = width;
    out.height = height;
    out.pixels.assign((size_t)width * height, 0);
    FlushQuads();
    int left = std::max(x, 0), top = std::max(y, 0);
    int right = std::min(x + width, RenderDisplayWidth), bottom = std::min(y + height, RenderDisplayHeight);
    if (right <= left || bottom <= top) return out;
    std::vector<Pixel> part((size_t)(right - left) * (bottom - top));
    RenderBack->GrabPixels(left, top, right - left, bottom - top, part.data());
    for (int row = top; row < bottom; row++)
        std::memcpy(&out.pixels[(size_t)(row - y) * width + (left - x)], &part[(size_t)(row - top) * (right - left)],
                    sizeof(Pixel) * (right - left));
    return out;
}
