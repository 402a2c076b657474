// software_raster.h -- what the software back end shares with its rasterizer builds
#pragma once
#include <cstdint>
#include <vector>

#include "render_backend.h"

struct SoftTexture {
    bool used = false;
    bool filtered = false;
    int width = 0, height = 0;
    std::vector<uint32_t> texels;
};

struct RasterTarget {
    uint32_t* pixels;
    int width;       // visible pixels of a row
    int stride;      // pixels from one row to the next
};

// Replays every batch into rows [top, bottom) of the target; texture id n is textures[n - 1].
void DrawBandPortable(const RasterTarget& target, const std::vector<SoftTexture>& textures,
                      const QuadVertex* vertices, const QuadBatch* batches, int batchCount, int top, int bottom);
void DrawBandAvx2(const RasterTarget& target, const std::vector<SoftTexture>& textures, const QuadVertex* vertices,
                  const QuadBatch* batches, int batchCount, int top, int bottom);

// Which build the software back end draws with: the AVX2 one wherever the processor has it. Tests
// switch to check that both draw the same picture.
bool SoftwareRasterWideAvailable();
void SoftwareRasterUseWide(bool on);   // ignored when unavailable
