// software_raster_avx2.cpp -- the software rasterizer built for processors with AVX2
//
// Standard headers come first, before the target switch, so nothing shared with other files is built
// with instructions an older processor lacks; all of the rasterizer itself has internal linkage.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "render.h"
#include "software_raster.h"

#if defined(__x86_64__) || defined(__i386__)
#pragma GCC target("avx2")
#define SOFTWARE_RASTER_WIDE 1  // the target switch does not announce itself to C++ code
#include "software_raster_impl.h"

void DrawBandAvx2(const RasterTarget& target, const std::vector<SoftTexture>& textures, const QuadVertex* vertices,
                  const QuadBatch* batches, int batchCount, int top, int bottom)
{
    DrawBandWith(target, textures, vertices, batches, batchCount, top, bottom);
}
#else
void DrawBandAvx2(const RasterTarget& target, const std::vector<SoftTexture>& textures, const QuadVertex* vertices,
                  const QuadBatch* batches, int batchCount, int top, int bottom)
{
    DrawBandPortable(target, textures, vertices, batches, batchCount, top, bottom);
}
#endif
