// backend_opengl.cpp -- the OpenGL renderer back end: one streamed vertex buffer, one draw call per batch
#include <SDL.h>
#include <SDL_opengl.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "render.h"
#include "render_backend.h"

// GL 2.0+ entry points, fetched through SDL once a context exists.
struct GlFunctions {
    PFNGLCREATESHADERPROC CreateShader;
    PFNGLSHADERSOURCEPROC ShaderSource;
    PFNGLCOMPILESHADERPROC CompileShader;
    PFNGLGETSHADERIVPROC GetShaderiv;
    PFNGLGETSHADERINFOLOGPROC GetShaderInfoLog;
    PFNGLDELETESHADERPROC DeleteShader;
    PFNGLCREATEPROGRAMPROC CreateProgram;
    PFNGLATTACHSHADERPROC AttachShader;
    PFNGLBINDATTRIBLOCATIONPROC BindAttribLocation;
    PFNGLLINKPROGRAMPROC LinkProgram;
    PFNGLGETPROGRAMIVPROC GetProgramiv;
    PFNGLUSEPROGRAMPROC UseProgram;
    PFNGLDELETEPROGRAMPROC DeleteProgram;
    PFNGLGETUNIFORMLOCATIONPROC GetUniformLocation;
    PFNGLUNIFORM1IPROC Uniform1i;
    PFNGLUNIFORM2FPROC Uniform2f;
    PFNGLGENBUFFERSPROC GenBuffers;
    PFNGLBINDBUFFERPROC BindBuffer;
    PFNGLBUFFERDATAPROC BufferData;
    PFNGLBUFFERSUBDATAPROC BufferSubData;
    PFNGLDELETEBUFFERSPROC DeleteBuffers;
    PFNGLENABLEVERTEXATTRIBARRAYPROC EnableVertexAttribArray;
    PFNGLVERTEXATTRIBPOINTERPROC VertexAttribPointer;
    PFNGLACTIVETEXTUREPROC ActiveTexture;
    // 3.0 and later only; used when present (a core-style context needs a vertex array object)
    PFNGLGENVERTEXARRAYSPROC GenVertexArrays;
    PFNGLBINDVERTEXARRAYPROC BindVertexArray;
    PFNGLDELETEVERTEXARRAYSPROC DeleteVertexArrays;
    // 3.2 and later only: streaming into a ring guarded by fences
    PFNGLMAPBUFFERRANGEPROC MapBufferRange;
    PFNGLUNMAPBUFFERPROC UnmapBuffer;
    PFNGLFENCESYNCPROC FenceSync;
    PFNGLCLIENTWAITSYNCPROC ClientWaitSync;
    PFNGLDELETESYNCPROC DeleteSync;
};

// A stretch of the vertex ring that draws may still read, and the fence that tells when they are done.
struct RingFence {
    int firstQuad, endQuad;
    GLsync fence;
};

constexpr GLuint AttribPosition = 0, AttribTexCoord = 1, AttribColour = 2;

// ---- OpenGL back-end state ---------------------------------------------------------------------
static SDL_Window* GlWindow;
static SDL_GLContext GlContext;
static GlFunctions Gl;
static GLuint GlProgram, GlVertexBuffer, GlIndexBuffer, GlVertexArray, GlWhiteTexture;
static GLint GlScaleUniform;
static int GlWidth, GlHeight;
static int GlIndexQuads;                // quads the index buffer covers
static int GlRingQuads;                 // quads the vertex ring holds
static int GlRingHead;                  // next free quad of the ring
static bool GlUseRing;                  // fenced ring; otherwise the whole buffer is orphaned per batch
static std::vector<RingFence> GlRingFences;
static std::vector<GLuint> GlTextures;  // by back-end texture id; entry 0 unused, 0 marks a free id
static int GlBoundTexture = -1, GlBlend = -1, GlSwapInterval = -1;
static int GlDrawCalls, GlDrawCallsLast;

static const char* const VertexShaderSource =
    "#version 110\n"
    "attribute vec2 aPosition;\n"
    "attribute vec2 aTexCoord;\n"
    "attribute vec4 aColour;\n"
    "uniform vec2 uScale;\n"
    "varying vec2 vTexCoord;\n"
    "varying vec4 vColour;\n"
    "void main() {\n"
    "    vTexCoord = aTexCoord;\n"
    "    vColour = aColour.zyxw;\n"  // the colour's bytes lie in memory as B, G, R, A
    "    gl_Position = vec4(aPosition.x * uScale.x - 1.0, 1.0 - aPosition.y * uScale.y, 0.0, 1.0);\n"
    "}\n";

static const char* const FragmentShaderSource =
    "#version 110\n"
    "uniform sampler2D uTexture;\n"
    "varying vec2 vTexCoord;\n"
    "varying vec4 vColour;\n"
    "void main() {\n"
    "    gl_FragColor = texture2D(uTexture, vTexCoord) * vColour;\n"
    "}\n";

template <typename T>
static bool Load(T& fn, const char* name)
{
    fn = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
    return fn != nullptr;
}

static bool LoadFunctions()
{
    bool ok = Load(Gl.CreateShader, "glCreateShader") && Load(Gl.ShaderSource, "glShaderSource") &&
              Load(Gl.CompileShader, "glCompileShader") && Load(Gl.GetShaderiv, "glGetShaderiv") &&
              Load(Gl.GetShaderInfoLog, "glGetShaderInfoLog") && Load(Gl.DeleteShader, "glDeleteShader") &&
              Load(Gl.CreateProgram, "glCreateProgram") && Load(Gl.AttachShader, "glAttachShader") &&
              Load(Gl.BindAttribLocation, "glBindAttribLocation") && Load(Gl.LinkProgram, "glLinkProgram") &&
              Load(Gl.GetProgramiv, "glGetProgramiv") && Load(Gl.UseProgram, "glUseProgram") &&
              Load(Gl.DeleteProgram, "glDeleteProgram") && Load(Gl.GetUniformLocation, "glGetUniformLocation") &&
              Load(Gl.Uniform1i, "glUniform1i") && Load(Gl.Uniform2f, "glUniform2f") &&
              Load(Gl.GenBuffers, "glGenBuffers") && Load(Gl.BindBuffer, "glBindBuffer") &&
              Load(Gl.BufferData, "glBufferData") &&
              Load(Gl.BufferSubData, "glBufferSubData") && Load(Gl.DeleteBuffers, "glDeleteBuffers") &&
              Load(Gl.EnableVertexAttribArray, "glEnableVertexAttribArray") &&
              Load(Gl.VertexAttribPointer, "glVertexAttribPointer") && Load(Gl.ActiveTexture, "glActiveTexture");
    if (!ok)
        return false;
    int major = 0, minor = 0;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    sscanf(version ? version : "", "%d.%d", &major, &minor);
    bool gl30 = major >= 3, gl32 = major > 3 || (major == 3 && minor >= 2);
    if (!(gl30 && Load(Gl.GenVertexArrays, "glGenVertexArrays") && Load(Gl.BindVertexArray, "glBindVertexArray") &&
          Load(Gl.DeleteVertexArrays, "glDeleteVertexArrays")))
        Gl.GenVertexArrays = nullptr;
    GlUseRing = gl32 && Load(Gl.MapBufferRange, "glMapBufferRange") && Load(Gl.UnmapBuffer, "glUnmapBuffer") &&
                Load(Gl.FenceSync, "glFenceSync") && Load(Gl.ClientWaitSync, "glClientWaitSync") &&
                Load(Gl.DeleteSync, "glDeleteSync");
    return true;
}

static bool VersionAtLeast2()
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    return version && sscanf(version, "%d.%d", &major, &minor) >= 1 && major >= 2;
}

static GLuint CompileShader(GLenum kind, const char* source)
{
    GLuint shader = Gl.CreateShader(kind);
    Gl.ShaderSource(shader, 1, &source, nullptr);
    Gl.CompileShader(shader);
    GLint ok = 0;
    Gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[512] = "";
        Gl.GetShaderInfoLog(shader, sizeof(log), nullptr, log);
        fprintf(stderr, "OpenGL shader failed: %s\n", log);
        Gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

static bool BuildProgram()
{
    GLuint vs = CompileShader(GL_VERTEX_SHADER, VertexShaderSource);
    GLuint fs = vs ? CompileShader(GL_FRAGMENT_SHADER, FragmentShaderSource) : 0;
    if (!fs) {
        if (vs)
            Gl.DeleteShader(vs);
        return false;
    }
    GlProgram = Gl.CreateProgram();
    Gl.AttachShader(GlProgram, vs);
    Gl.AttachShader(GlProgram, fs);
    Gl.BindAttribLocation(GlProgram, AttribPosition, "aPosition");
    Gl.BindAttribLocation(GlProgram, AttribTexCoord, "aTexCoord");
    Gl.BindAttribLocation(GlProgram, AttribColour, "aColour");
    Gl.LinkProgram(GlProgram);
    Gl.DeleteShader(vs);
    Gl.DeleteShader(fs);
    GLint ok = 0;
    Gl.GetProgramiv(GlProgram, GL_LINK_STATUS, &ok);
    if (!ok) {
        Gl.DeleteProgram(GlProgram);
        GlProgram = 0;
        return false;
    }
    Gl.UseProgram(GlProgram);
    Gl.Uniform1i(Gl.GetUniformLocation(GlProgram, "uTexture"), 0);
    GlScaleUniform = Gl.GetUniformLocation(GlProgram, "uScale");
    return true;
}

static GLsizeiptr VertexBytes(int quads)
{
    return GLsizeiptr(size_t(quads) * 4 * sizeof(QuadVertex));
}

// The index buffer never changes: quad q is the triangles (4q, 4q+1, 4q+2) and (4q, 4q+2, 4q+3).
static void GrowIndexBuffer(int quads)
{
    int capacity = GlIndexQuads > 0 ? GlIndexQuads : 16384;
    while (capacity < quads)
        capacity *= 2;
    std::vector<GLuint> indices(size_t(capacity) * 6);
    for (int q = 0; q < capacity; q++) {
        GLuint v = GLuint(q) * 4;
        GLuint* i = &indices[size_t(q) * 6];
        i[0] = v;
        i[1] = v + 1;
        i[2] = v + 2;
        i[3] = v;
        i[4] = v + 2;
        i[5] = v + 3;
    }
    Gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, GlIndexBuffer);
    Gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(GLuint)), indices.data(),
                  GL_STATIC_DRAW);
    GlIndexQuads = capacity;
}

static void DropRingFences()
{
    for (const RingFence& f : GlRingFences)
        Gl.DeleteSync(f.fence);
    GlRingFences.clear();
}

// A new, larger store for the ring; what draws still read of the old one stays the driver's.
static void GrowRing(int quads)
{
    int capacity = GlRingQuads > 0 ? GlRingQuads : 65536;
    while (capacity < quads * 3)
        capacity *= 2;
    if (GlUseRing)
        DropRingFences();
    Gl.BindBuffer(GL_ARRAY_BUFFER, GlVertexBuffer);
    Gl.BufferData(GL_ARRAY_BUFFER, VertexBytes(capacity), nullptr, GL_STREAM_DRAW);
    GlRingQuads = capacity;
    GlRingHead = 0;
}

// Copies the quads into the vertex buffer and returns the quad index where they start.
//
// With fences, the quads go into the ring behind the last ones, written without the driver's
// synchronisation; only the stretch about to be overwritten is waited for, which in practice has
// long been drawn. This never makes the driver allocate new memory, which matters as much as the
// copy itself: fresh pages cost a fault each. Without fences, the whole buffer is orphaned and
// refilled, which is correct everywhere but slower.
static int StreamQuads(const QuadVertex* vertices, int quadCount)
{
    Gl.BindBuffer(GL_ARRAY_BUFFER, GlVertexBuffer);
    if (!GlUseRing) {
        if (quadCount > GlRingQuads)
            GrowRing(quadCount);
        Gl.BufferData(GL_ARRAY_BUFFER, VertexBytes(GlRingQuads), nullptr, GL_STREAM_DRAW);
        Gl.BufferSubData(GL_ARRAY_BUFFER, 0, VertexBytes(quadCount), vertices);
        return 0;
    }
    if (quadCount * 3 > GlRingQuads)
        GrowRing(quadCount);
    if (GlRingHead + quadCount > GlRingQuads)
        GlRingHead = 0;
    int first = GlRingHead, end = GlRingHead + quadCount;
    for (size_t i = 0; i < GlRingFences.size();) {
        RingFence& f = GlRingFences[i];
        if (f.firstQuad < end && first < f.endQuad) {
            Gl.ClientWaitSync(f.fence, GL_SYNC_FLUSH_COMMANDS_BIT, GLuint64(5000000000));
            Gl.DeleteSync(f.fence);
            f = GlRingFences.back();
            GlRingFences.pop_back();
        } else {
            i++;
        }
    }
    void* dst = Gl.MapBufferRange(GL_ARRAY_BUFFER, VertexBytes(first), VertexBytes(quadCount),
                                  GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
    if (!dst) {  // the driver refused: fall back to a plain, synchronised copy
        Gl.BufferSubData(GL_ARRAY_BUFFER, VertexBytes(first), VertexBytes(quadCount), vertices);
    } else {
        memcpy(dst, vertices, size_t(VertexBytes(quadCount)));
        Gl.UnmapBuffer(GL_ARRAY_BUFFER);
    }
    GlRingHead = end;
    return first;
}

// Marks the stretch just drawn from; StreamQuads waits on it before writing there again.
static void FenceQuads(int firstQuad, int quadCount)
{
    if (!GlUseRing)
        return;
    GLsync fence = Gl.FenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (fence)
        GlRingFences.push_back({firstQuad, firstQuad + quadCount, fence});
}

// Points the attributes at the vertex buffer, starting at quad baseQuad.
static void SetUpVertexLayout(int baseQuad)
{
    size_t base = size_t(baseQuad) * 4 * sizeof(QuadVertex);
    Gl.BindBuffer(GL_ARRAY_BUFFER, GlVertexBuffer);
    Gl.EnableVertexAttribArray(AttribPosition);
    Gl.EnableVertexAttribArray(AttribTexCoord);
    Gl.EnableVertexAttribArray(AttribColour);
    Gl.VertexAttribPointer(AttribPosition, 2, GL_FLOAT, GL_FALSE, sizeof(QuadVertex),
                           reinterpret_cast<void*>(base + offsetof(QuadVertex, x)));
    Gl.VertexAttribPointer(AttribTexCoord, 2, GL_FLOAT, GL_FALSE, sizeof(QuadVertex),
                           reinterpret_cast<void*>(base + offsetof(QuadVertex, u)));
    Gl.VertexAttribPointer(AttribColour, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(QuadVertex),
                           reinterpret_cast<void*>(base + offsetof(QuadVertex, colour)));
}

static GLuint MakeTexture(int width, int height, const uint32_t* pixels, bool filtered)
{
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    GLint filter = filtered ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // 0xAARRGGBB words are exactly BGRA with the 8_8_8_8_REV packing, on any byte order.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
    GlBoundTexture = -1;
    return tex;
}

static void GlShutdown();

static bool GlInit(SDL_Window* window, int width, int height)
{
    if (!window)
        return false;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, 0);
    GlContext = SDL_GL_CreateContext(window);
    if (!GlContext) {
        fprintf(stderr, "OpenGL context failed: %s\n", SDL_GetError());
        return false;
    }
    GlWindow = window;
    if (SDL_GL_MakeCurrent(window, GlContext) != 0 || !VersionAtLeast2() || !LoadFunctions() || !BuildProgram()) {
        fprintf(stderr, "OpenGL 2.0 or later is needed\n");
        GlShutdown();
        return false;
    }
    SDL_GL_GetDrawableSize(window, &width, &height);
    GlWidth = width;
    GlHeight = height;
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    Gl.Uniform2f(GlScaleUniform, 2.0f / float(width), 2.0f / float(height));

    if (Gl.GenVertexArrays) {
        Gl.GenVertexArrays(1, &GlVertexArray);
        Gl.BindVertexArray(GlVertexArray);
    }
    Gl.GenBuffers(1, &GlVertexBuffer);
    Gl.GenBuffers(1, &GlIndexBuffer);
    GlIndexQuads = GlRingQuads = GlRingHead = 0;
    GlRingFences.clear();
    GrowIndexBuffer(16384);
    GrowRing(16384);
    SetUpVertexLayout(0);
    Gl.ActiveTexture(GL_TEXTURE0);
    const uint32_t white = 0xFFFFFFFF;
    GlWhiteTexture = MakeTexture(1, 1, &white, false);
    GlTextures.assign(1, 0);
    GlBoundTexture = GlBlend = -1;
    GlSwapInterval = -1;
    GlDrawCalls = GlDrawCallsLast = 0;
    if (glGetError() != GL_NO_ERROR) {
        GlShutdown();
        return false;
    }
    return true;
}

static void GlShutdown()
{
    if (!GlContext)
        return;
    if (GlProgram) {
        for (GLuint tex : GlTextures)
            if (tex)
                glDeleteTextures(1, &tex);
        if (GlWhiteTexture)
            glDeleteTextures(1, &GlWhiteTexture);
        if (GlUseRing)
            DropRingFences();
        if (GlVertexBuffer)
            Gl.DeleteBuffers(1, &GlVertexBuffer);
        if (GlIndexBuffer)
            Gl.DeleteBuffers(1, &GlIndexBuffer);
        if (GlVertexArray && Gl.DeleteVertexArrays)
            Gl.DeleteVertexArrays(1, &GlVertexArray);
        Gl.DeleteProgram(GlProgram);
    }
    GlTextures.clear();
    GlProgram = GlVertexBuffer = GlIndexBuffer = GlVertexArray = GlWhiteTexture = 0;
    SDL_GL_MakeCurrent(GlWindow, nullptr);
    SDL_GL_DeleteContext(GlContext);
    GlContext = nullptr;
    GlWindow = nullptr;
}

static int GlCreateTexture(int width, int height, const uint32_t* pixels, bool filtered)
{
    if (!GlContext || width <= 0 || height <= 0)
        return 0;
    GLuint tex = MakeTexture(width, height, pixels, filtered);
    if (!tex)
        return 0;
    for (size_t id = 1; id < GlTextures.size(); id++) {
        if (GlTextures[id] == 0) {
            GlTextures[id] = tex;
            return int(id);
        }
    }
    GlTextures.push_back(tex);
    return int(GlTextures.size() - 1);
}

static void GlUpdateTexture(int texture, int x, int y, int width, int height, const uint32_t* pixels)
{
    if (texture <= 0 || texture >= int(GlTextures.size()) || !GlTextures[texture] || width <= 0 || height <= 0)
        return;
    glBindTexture(GL_TEXTURE_2D, GlTextures[texture]);
    GlBoundTexture = -1;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pixels);
}

static void GlDeleteTexture(int texture)
{
    if (texture <= 0 || texture >= int(GlTextures.size()) || !GlTextures[texture])
        return;
    glDeleteTextures(1, &GlTextures[texture]);
    GlTextures[texture] = 0;
    GlBoundTexture = -1;
}

static void GlClear(uint32_t colour)
{
    glClearColor(float((colour >> 16) & 255) / 255.0f, float((colour >> 8) & 255) / 255.0f,
                 float(colour & 255) / 255.0f, float(colour >> 24) / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

static void SetBlend(int blend)
{
    if (blend == GlBlend)
        return;
    GlBlend = blend;
    switch (blend) {
    case BlendAlpha:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case BlendMultiply:
        glEnable(GL_BLEND);
        glBlendFunc(GL_DST_COLOR, GL_ZERO);
        break;
    case BlendAdditive:
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    default:
        glDisable(GL_BLEND);
        break;
    }
}

static void GlSubmit(const QuadVertex* vertices, int quadCount, const QuadBatch* batches, int batchCount)
{
    if (!GlContext || quadCount <= 0)
        return;
    if (quadCount > GlIndexQuads)
        GrowIndexBuffer(quadCount);
    int base = StreamQuads(vertices, quadCount);
    SetUpVertexLayout(base);
    Gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, GlIndexBuffer);
    for (int b = 0; b < batchCount; b++) {
        const QuadBatch& batch = batches[b];
        if (batch.quadCount <= 0 || batch.firstQuad < 0 || batch.firstQuad + batch.quadCount > quadCount)
            continue;
        if (batch.texture != GlBoundTexture) {
            GLuint tex = GlWhiteTexture;
            if (batch.texture != 0) {
                if (batch.texture < 0 || batch.texture >= int(GlTextures.size()) || !GlTextures[batch.texture])
                    continue;  // a deleted texture draws nothing
                tex = GlTextures[batch.texture];
            }
            glBindTexture(GL_TEXTURE_2D, tex);
            GlBoundTexture = batch.texture;
        }
        SetBlend(batch.blend);
        glDrawElements(GL_TRIANGLES, batch.quadCount * 6, GL_UNSIGNED_INT,
                       reinterpret_cast<void*>(size_t(batch.firstQuad) * 6 * sizeof(GLuint)));
        GlDrawCalls++;
    }
    FenceQuads(base, quadCount);
}

static void GlPresent(bool vsync)
{
    if (!GlContext)
        return;
    int interval = vsync ? 1 : 0;
    if (interval != GlSwapInterval) {
        SDL_GL_SetSwapInterval(interval);
        GlSwapInterval = interval;
    }
    SDL_GL_SwapWindow(GlWindow);
    GlDrawCallsLast = GlDrawCalls;
    GlDrawCalls = 0;
}

static void GlGrabPixels(int x, int y, int width, int height, uint32_t* out)
{
    if (width <= 0 || height <= 0)
        return;
    for (size_t i = 0; i < size_t(width) * size_t(height); i++)
        out[i] = 0xFF000000;
    if (!GlContext)
        return;
    // Only the part inside the display is read; the rest stays black.
    int x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
    int x1 = x + width > GlWidth ? GlWidth : x + width;
    int y1 = y + height > GlHeight ? GlHeight : y + height;
    if (x0 >= x1 || y0 >= y1)
        return;
    int w = x1 - x0, h = y1 - y0;
    std::vector<uint32_t> rows(size_t(w) * size_t(h));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadBuffer(GL_BACK);
    glReadPixels(x0, GlHeight - y1, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, rows.data());
    // GL rows run bottom-up.
    for (int r = 0; r < h; r++) {
        const uint32_t* src = &rows[size_t(h - 1 - r) * size_t(w)];
        uint32_t* dst = out + size_t(y0 - y + r) * size_t(width) + size_t(x0 - x);
        for (int c = 0; c < w; c++)
            dst[c] = src[c] | 0xFF000000;  // the screen is opaque whatever the buffer's alpha says
    }
}

static int GlDrawCallsLastFrame()
{
    return GlDrawCallsLast;
}

static void GlFinish()
{
    if (GlContext)
        glFinish();
}

const RenderBackend OpenGLBackend = {
    "OpenGL",         SDL_WINDOW_OPENGL, GlInit,  GlShutdown,   GlCreateTexture,     GlUpdateTexture,
    GlDeleteTexture,  GlClear,           GlSubmit, GlPresent,   GlGrabPixels,        GlDrawCallsLastFrame, GlFinish,
};
