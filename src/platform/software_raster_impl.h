// software_raster_impl.h -- the software rasterizer's inner loops (included by backend_software.cpp
// and, compiled for AVX2, by software_raster_avx2.cpp)
//
// Quads are rasterized scanline by scanline: for each row the span between the polygon's left and right
// edges is found directly (pixel centres at +0.5, top-left rule), and the span is shaded four pixels at a
// time with SSE4.1, or eight with AVX2. Texture coordinates are affine in screen space, which is exact
// for the parallelograms the front end produces; any other quad is split into two triangles. Blending
// follows the OpenGL functions the other back ends use, so all of them agree within rounding.
//
// Everything here has internal linkage, so the two builds of it never mix.
#pragma once
#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "render.h"
#include "software_raster.h"

namespace {

// The helpers below make up one loop body; they must not become calls.
#define RASTER_INLINE inline __attribute__((always_inline))

// Exact round(x / 255) for 0 <= x <= 65025, on 16-bit lanes.
RASTER_INLINE __m128i Div255(__m128i x)
{
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

RASTER_INLINE uint32_t Div255(uint32_t x)
{
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// Each pixel's alpha lane copied over its four lanes.
RASTER_INLINE __m128i SpreadAlpha(__m128i x)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(x, 0xFF), 0xFF);
}

// Blends two source pixels (16-bit lanes, already tinted) over two destination pixels.
template <int Blend>
RASTER_INLINE __m128i BlendPair(__m128i src, __m128i dst)
{
    if constexpr (Blend == BlendSolid) {
        return src;
    } else if constexpr (Blend == BlendAlpha) {
        __m128i a = SpreadAlpha(src);
        __m128i inv = _mm_sub_epi16(_mm_set1_epi16(255), a);
        return Div255(_mm_add_epi16(_mm_mullo_epi16(src, a), _mm_mullo_epi16(dst, inv)));
    } else if constexpr (Blend == BlendMultiply) {
        return Div255(_mm_mullo_epi16(src, dst));
    } else {
        __m128i a = SpreadAlpha(src);
        return _mm_add_epi16(dst, Div255(_mm_mullo_epi16(src, a)));  // saturated by the pack
    }
}

// Texels of four pixels on 16-bit lanes: pixels 0 and 1 in lo, 2 and 3 in hi (as unpacking four
// destination pixels gives them).
struct Texels4 {
    __m128i lo, hi;
};

RASTER_INLINE Texels4 Widen(__m128i texels)
{
    return Texels4{_mm_unpacklo_epi8(texels, _mm_setzero_si128()), _mm_unpackhi_epi8(texels, _mm_setzero_si128())};
}

// Four texels (or the plain colour) tinted and blended over four destination pixels.
// An untinted quad (opaque white) leaves texels as they are, so the tint multiply is skipped for it.
template <int Blend, bool Textured, bool Tinted>
RASTER_INLINE __m128i Shade4(Texels4 texels, __m128i dst, __m128i tint)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i srcLo, srcHi;
    if constexpr (Textured && !Tinted) {
        srcLo = texels.lo;
        srcHi = texels.hi;
    } else if constexpr (Textured) {
        srcLo = Div255(_mm_mullo_epi16(texels.lo, tint));
        srcHi = Div255(_mm_mullo_epi16(texels.hi, tint));
    } else {
        srcLo = srcHi = tint;
    }
    __m128i lo = BlendPair<Blend>(srcLo, _mm_unpacklo_epi8(dst, zero));
    __m128i hi = BlendPair<Blend>(srcHi, _mm_unpackhi_epi8(dst, zero));
    return _mm_or_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32((int)0xFF000000));
}

// What a span needs to know about the quad's texture.
struct SpanTexture {
    const uint32_t* texels = nullptr;
    int width = 1, height = 1;
    __m128i maxU, maxV;            // last texel column and row
    __m128i maxFirstU, maxFirstV;  // last first-of-a-pair column and row, for filtering
    __m128i pitchAndOne;           // 16-bit pairs (1, width) for the index multiply-add
};

SpanTexture MakeSpanTexture(const uint32_t* texels, int width, int height)
{
    SpanTexture t;
    t.texels = texels;
    t.width = width;
    t.height = height;
    t.maxU = _mm_set1_epi32(width - 1);
    t.maxV = _mm_set1_epi32(height - 1);
    t.maxFirstU = _mm_set1_epi32(std::max(width - 2, 0));
    t.maxFirstV = _mm_set1_epi32(std::max(height - 2, 0));
    t.pitchAndOne = _mm_set1_epi32((width << 16) | 1);
    return t;
}

// Texel index v * width + u of four pixels, from coordinates already clamped to the texture
// (textures are at most MaxTextureSide wide, so both fit the 16-bit multiply-add).
RASTER_INLINE __m128i TexelIndex(__m128i u, __m128i v, __m128i pitchAndOne)
{
    return _mm_madd_epi16(_mm_or_si128(u, _mm_slli_epi32(v, 16)), pitchAndOne);
}

// Four nearest texels for pixel centres at U, V (texel units). Truncation instead of floor only
// differs below 0, where the clamp decides anyway.
RASTER_INLINE __m128i FetchNearest(__m128 u, __m128 v, const SpanTexture& t)
{
    __m128i iu = _mm_cvttps_epi32(u);
    __m128i iv = _mm_cvttps_epi32(v);
    iu = _mm_min_epi32(_mm_max_epi32(iu, _mm_setzero_si128()), t.maxU);
    iv = _mm_min_epi32(_mm_max_epi32(iv, _mm_setzero_si128()), t.maxV);
    __m128i index = TexelIndex(iu, iv, t.pitchAndOne);
    const uint32_t* tx = t.texels;
    __m128i r = _mm_cvtsi32_si128((int)tx[_mm_cvtsi128_si32(index)]);
    r = _mm_insert_epi32(r, (int)tx[_mm_extract_epi32(index, 1)], 1);
    r = _mm_insert_epi32(r, (int)tx[_mm_extract_epi32(index, 2)], 2);
    return _mm_insert_epi32(r, (int)tx[_mm_extract_epi32(index, 3)], 3);
}

// Two texel pairs blended by 7-bit weights: (a * (128 - w) + b * w) / 128, rounded, on 16-bit lanes.
// Worked as a + ((b - a) * w + 64) / 128 with the division rounding down, which is the same number:
// one multiply instead of two, and (b - a) * w still fits 16 bits.
RASTER_INLINE __m128i Lerp7(__m128i a, __m128i b, __m128i w)
{
    __m128i step = _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(b, a), w), _mm_set1_epi16(64));
    return _mm_add_epi16(a, _mm_srai_epi16(step, 7));
}

// Splits a coordinate in 1/128 texels into the first of two neighbouring texels and the weight of the
// second, clamped to the edge: before the first texel the weight is 0, past the last it is 128.
RASTER_INLINE void SplitFiltered(__m128i fixed, __m128i maxFirst, __m128i& first, __m128i& weight)
{
    first = _mm_srai_epi32(fixed, 7);
    weight = _mm_and_si128(fixed, _mm_set1_epi32(127));
    __m128i before = _mm_cmplt_epi32(first, _mm_setzero_si128());
    __m128i past = _mm_cmpgt_epi32(first, maxFirst);
    weight = _mm_andnot_si128(before, weight);
    weight = _mm_blendv_epi8(weight, _mm_set1_epi32(128), past);
    first = _mm_min_epi32(_mm_max_epi32(first, _mm_setzero_si128()), maxFirst);
}

// Each pixel's 32-bit weight spread over the four 16-bit lanes of its channels: pixels 0 and 1 in lo,
// 2 and 3 in hi.
RASTER_INLINE void SpreadWeights(__m128i w, __m128i& lo, __m128i& hi)
{
    __m128i w16 = _mm_packs_epi32(w, w);          // w0 w1 w2 w3 w0 w1 w2 w3
    __m128i pairs = _mm_unpacklo_epi16(w16, w16); // w0 w0 w1 w1 w2 w2 w3 w3
    lo = _mm_unpacklo_epi32(pairs, pairs);
    hi = _mm_unpackhi_epi32(pairs, pairs);
}

// Left and right texel of two pixels' horizontal pairs, on 16-bit lanes.
RASTER_INLINE void SplitPairs(const uint32_t* a, const uint32_t* b, __m128i& left, __m128i& right)
{
    __m128i both = _mm_unpacklo_epi64(_mm_loadl_epi64((const __m128i*)a), _mm_loadl_epi64((const __m128i*)b));
    both = _mm_shuffle_epi32(both, _MM_SHUFFLE(3, 1, 2, 0));  // left a, left b, right a, right b
    left = _mm_unpacklo_epi8(both, _mm_setzero_si128());
    right = _mm_unpackhi_epi8(both, _mm_setzero_si128());
}

// Four bilinear samples for pixel centres at U, V: texel centres sit at +0.5, edges clamp. Each pixel
// reads two neighbouring texels of two rows as two 8-byte loads (textures are at least 2 x 2 here).
template <bool Clamp>
RASTER_INLINE Texels4 FetchBilinear(__m128 u, __m128 v, const SpanTexture& t)
{
    const __m128 scale = _mm_set1_ps(128.0f), half = _mm_set1_ps(64.0f);
    __m128i fu = _mm_cvttps_epi32(_mm_sub_ps(_mm_mul_ps(u, scale), half));
    __m128i fv = _mm_cvttps_epi32(_mm_sub_ps(_mm_mul_ps(v, scale), half));
    __m128i u0, wu, v0, wv;
    if constexpr (Clamp) {
        SplitFiltered(fu, t.maxFirstU, u0, wu);
        SplitFiltered(fv, t.maxFirstV, v0, wv);
    } else {
        u0 = _mm_srai_epi32(fu, 7);
        wu = _mm_and_si128(fu, _mm_set1_epi32(127));
        v0 = _mm_srai_epi32(fv, 7);
        wv = _mm_and_si128(fv, _mm_set1_epi32(127));
    }
    alignas(16) int at[4];
    _mm_store_si128((__m128i*)at, TexelIndex(u0, v0, t.pitchAndOne));
    const uint32_t* tx = t.texels;
    const int pitch = t.width;
    __m128i topL01, topR01, botL01, botR01, topL23, topR23, botL23, botR23;
    SplitPairs(tx + at[0], tx + at[1], topL01, topR01);
    SplitPairs(tx + at[0] + pitch, tx + at[1] + pitch, botL01, botR01);
    SplitPairs(tx + at[2], tx + at[3], topL23, topR23);
    SplitPairs(tx + at[2] + pitch, tx + at[3] + pitch, botL23, botR23);
    __m128i wuLo, wuHi, wvLo, wvHi;
    SpreadWeights(wu, wuLo, wuHi);
    SpreadWeights(wv, wvLo, wvHi);
    __m128i lo = Lerp7(Lerp7(topL01, topR01, wuLo), Lerp7(botL01, botR01, wuLo), wvLo);
    __m128i hi = Lerp7(Lerp7(topL23, topR23, wuHi), Lerp7(botL23, botR23, wuHi), wvHi);
    return Texels4{lo, hi};
}

// SampleInside is bilinear filtering for a quad whose texture coordinates all lie at least a texel
// inside the texture: no sample there can reach past an edge, so the clamping is left out (except in
// a span's last, partial block, whose unused lanes lie beyond the quad).
enum { SampleNone = 0, SampleNearest = 1, SampleBilinear = 2, SampleInside = 3 };

#if defined(SOFTWARE_RASTER_WIDE)
// The same work eight pixels at a time, for processors that have AVX2. Every step is the same
// arithmetic as the four-pixel code, so both draw exactly the same picture.

RASTER_INLINE __m256i Div255(__m256i x)
{
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

RASTER_INLINE __m256i SpreadAlpha(__m256i x)
{
    return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(x, 0xFF), 0xFF);
}

template <int Blend>
RASTER_INLINE __m256i BlendPair(__m256i src, __m256i dst)
{
    if constexpr (Blend == BlendSolid) {
        return src;
    } else if constexpr (Blend == BlendAlpha) {
        __m256i a = SpreadAlpha(src);
        __m256i inv = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
        return Div255(_mm256_add_epi16(_mm256_mullo_epi16(src, a), _mm256_mullo_epi16(dst, inv)));
    } else if constexpr (Blend == BlendMultiply) {
        return Div255(_mm256_mullo_epi16(src, dst));
    } else {
        __m256i a = SpreadAlpha(src);
        return _mm256_add_epi16(dst, Div255(_mm256_mullo_epi16(src, a)));
    }
}

// Texels of eight pixels on 16-bit lanes, in the order unpacking eight destination pixels gives:
// pixels 0, 1 | 4, 5 in lo and 2, 3 | 6, 7 in hi.
struct Texels8 {
    __m256i lo, hi;
};

RASTER_INLINE Texels8 Widen(__m256i texels)
{
    return Texels8{_mm256_unpacklo_epi8(texels, _mm256_setzero_si256()),
                   _mm256_unpackhi_epi8(texels, _mm256_setzero_si256())};
}

template <int Blend, bool Textured, bool Tinted>
RASTER_INLINE __m256i Shade8(Texels8 texels, __m256i dst, __m256i tint)
{
    const __m256i zero = _mm256_setzero_si256();
    __m256i srcLo, srcHi;
    if constexpr (Textured && !Tinted) {
        srcLo = texels.lo;
        srcHi = texels.hi;
    } else if constexpr (Textured) {
        srcLo = Div255(_mm256_mullo_epi16(texels.lo, tint));
        srcHi = Div255(_mm256_mullo_epi16(texels.hi, tint));
    } else {
        srcLo = srcHi = tint;
    }
    __m256i lo = BlendPair<Blend>(srcLo, _mm256_unpacklo_epi8(dst, zero));
    __m256i hi = BlendPair<Blend>(srcHi, _mm256_unpackhi_epi8(dst, zero));
    return _mm256_or_si256(_mm256_packus_epi16(lo, hi), _mm256_set1_epi32((int)0xFF000000));
}

// What the eight-pixel fetches need, widened once per span.
struct WideTexture {
    const uint32_t* texels;
    int width;
    __m256i maxU, maxV, maxFirstU, maxFirstV, pitchAndOne;
};

RASTER_INLINE __m256i TexelIndex(__m256i u, __m256i v, __m256i pitchAndOne)
{
    return _mm256_madd_epi16(_mm256_or_si256(u, _mm256_slli_epi32(v, 16)), pitchAndOne);
}

RASTER_INLINE __m256i FetchNearest(__m256 u, __m256 v, const WideTexture& t)
{
    const __m256i zero = _mm256_setzero_si256();
    __m256i iu = _mm256_min_epi32(_mm256_max_epi32(_mm256_cvttps_epi32(u), zero), t.maxU);
    __m256i iv = _mm256_min_epi32(_mm256_max_epi32(_mm256_cvttps_epi32(v), zero), t.maxV);
    return _mm256_i32gather_epi32((const int*)t.texels, TexelIndex(iu, iv, t.pitchAndOne), 4);
}

RASTER_INLINE __m256i Lerp7(__m256i a, __m256i b, __m256i w)
{
    __m256i step = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_sub_epi16(b, a), w), _mm256_set1_epi16(64));
    return _mm256_add_epi16(a, _mm256_srai_epi16(step, 7));
}

RASTER_INLINE void SplitFiltered(__m256i fixed, __m256i maxFirst, __m256i& first, __m256i& weight)
{
    const __m256i zero = _mm256_setzero_si256();
    first = _mm256_srai_epi32(fixed, 7);
    weight = _mm256_and_si256(fixed, _mm256_set1_epi32(127));
    __m256i before = _mm256_cmpgt_epi32(zero, first);
    __m256i past = _mm256_cmpgt_epi32(first, maxFirst);
    weight = _mm256_andnot_si256(before, weight);
    weight = _mm256_blendv_epi8(weight, _mm256_set1_epi32(128), past);
    first = _mm256_min_epi32(_mm256_max_epi32(first, zero), maxFirst);
}

// Four pixels' texel pairs (one 8-byte gather each) into left and right texels on 16-bit lanes,
// pixels (0, 1 | 2, 3) of the four.
RASTER_INLINE void SplitPairs(__m256i pairs, __m256i& left, __m256i& right)
{
    __m256i sorted = _mm256_shuffle_epi32(pairs, _MM_SHUFFLE(3, 1, 2, 0));
    left = _mm256_unpacklo_epi8(sorted, _mm256_setzero_si256());
    right = _mm256_unpackhi_epi8(sorted, _mm256_setzero_si256());
}

// A weight per pixel of four (lanes picked by order) spread over each pixel's four 16-bit lanes.
RASTER_INLINE __m256i SpreadWeights(__m256i w, __m256i order)
{
    __m256i spread = _mm256_permutevar8x32_epi32(w, order);
    return _mm256_or_si256(spread, _mm256_slli_epi32(spread, 16));
}

// Four 8-byte texel pairs, of pixels a0, a1 in the low half and b0, b1 in the high half.
RASTER_INLINE __m256i LoadPairs(const uint32_t* base, int a0, int a1, int b0, int b1)
{
    __m128i a = _mm_loadl_epi64((const __m128i*)(base + a0));
    __m128i b = _mm_loadl_epi64((const __m128i*)(base + b0));
    a = _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(a), (const double*)(base + a1)));
    b = _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(b), (const double*)(base + b1)));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(a), b, 1);
}

template <bool Clamp>
RASTER_INLINE Texels8 FetchBilinear(__m256 u, __m256 v, const WideTexture& t)
{
    const __m256 scale = _mm256_set1_ps(128.0f), half = _mm256_set1_ps(64.0f);
    __m256i fu = _mm256_cvttps_epi32(_mm256_sub_ps(_mm256_mul_ps(u, scale), half));
    __m256i fv = _mm256_cvttps_epi32(_mm256_sub_ps(_mm256_mul_ps(v, scale), half));
    __m256i u0, wu, v0, wv;
    if constexpr (Clamp) {
        SplitFiltered(fu, t.maxFirstU, u0, wu);
        SplitFiltered(fv, t.maxFirstV, v0, wv);
    } else {
        u0 = _mm256_srai_epi32(fu, 7);
        wu = _mm256_and_si256(fu, _mm256_set1_epi32(127));
        v0 = _mm256_srai_epi32(fv, 7);
        wv = _mm256_and_si256(fv, _mm256_set1_epi32(127));
    }
    __m256i index = TexelIndex(u0, v0, t.pitchAndOne);
    // Plain loads beat the gather instructions here: each pixel wants one 8-byte pair from each row.
    alignas(32) int at[8];
    _mm256_store_si256((__m256i*)at, index);
    const uint32_t* top = t.texels;
    const uint32_t* bottom = t.texels + t.width;
    // Pixels 0, 1 | 4, 5 make one half of the result and 2, 3 | 6, 7 the other, the order Shade8 takes.
    const __m256i firstPixels = _mm256_setr_epi32(0, 0, 1, 1, 4, 4, 5, 5);
    const __m256i lastPixels = _mm256_setr_epi32(2, 2, 3, 3, 6, 6, 7, 7);
    __m256i topL, topR, botL, botR;
    SplitPairs(LoadPairs(top, at[0], at[1], at[4], at[5]), topL, topR);
    SplitPairs(LoadPairs(bottom, at[0], at[1], at[4], at[5]), botL, botR);
    __m256i wuSpread = SpreadWeights(wu, firstPixels), wvSpread = SpreadWeights(wv, firstPixels);
    __m256i first = Lerp7(Lerp7(topL, topR, wuSpread), Lerp7(botL, botR, wuSpread), wvSpread);
    SplitPairs(LoadPairs(top, at[2], at[3], at[6], at[7]), topL, topR);
    SplitPairs(LoadPairs(bottom, at[2], at[3], at[6], at[7]), botL, botR);
    wuSpread = SpreadWeights(wu, lastPixels);
    wvSpread = SpreadWeights(wv, lastPixels);
    __m256i last = Lerp7(Lerp7(topL, topR, wuSpread), Lerp7(botL, botR, wuSpread), wvSpread);
    return Texels8{first, last};
}

// Eight pixels of a span from pixel k on (k holds the eight pixel numbers within the span), of which
// the first inside are drawn. A masked block neither reads nor writes pixels past the span: the row may
// end there, and the next row may belong to another thread.
template <int Blend, int Sample, bool Tinted, bool Masked>
RASTER_INLINE void Block8(uint32_t* dst, __m256 k, __m256 u0, __m256 v0, __m256 du, __m256 dv, const WideTexture& tex,
                          __m256i tint, int inside)
{
    constexpr bool Textured = Sample != SampleNone;
    Texels8 texels{_mm256_setzero_si256(), _mm256_setzero_si256()};
    if constexpr (Sample == SampleNearest)
        texels = Widen(FetchNearest(_mm256_add_ps(u0, _mm256_mul_ps(du, k)), _mm256_add_ps(v0, _mm256_mul_ps(dv, k)), tex));
    else if constexpr (Sample == SampleBilinear || Sample == SampleInside)
        texels = FetchBilinear<Sample == SampleBilinear || Masked>(_mm256_add_ps(u0, _mm256_mul_ps(du, k)),
                                                         _mm256_add_ps(v0, _mm256_mul_ps(dv, k)), tex);
    if constexpr (Masked) {
        __m256i keep = _mm256_cmpgt_epi32(_mm256_set1_epi32(inside), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
        __m256i d = _mm256_maskload_epi32((const int*)dst, keep);
        _mm256_maskstore_epi32((int*)dst, keep, Shade8<Blend, Textured, Tinted>(texels, d, tint));
    } else {
        __m256i d = _mm256_loadu_si256((__m256i*)dst);
        _mm256_storeu_si256((__m256i*)dst, Shade8<Blend, Textured, Tinted>(texels, d, tint));
    }
}

WideTexture MakeWideTexture(const SpanTexture& t)
{
    return WideTexture{t.texels,
                       t.width,
                       _mm256_broadcastsi128_si256(t.maxU),
                       _mm256_broadcastsi128_si256(t.maxV),
                       _mm256_broadcastsi128_si256(t.maxFirstU),
                       _mm256_broadcastsi128_si256(t.maxFirstV),
                       _mm256_broadcastsi128_si256(t.pitchAndOne)};
}
#endif

// Four pixels of a span, as Block8 (and exactly the same arithmetic, pixel for pixel).
template <int Blend, int Sample, bool Tinted, bool Masked>
RASTER_INLINE void Block4(uint32_t* dst, __m128 k, __m128 u0, __m128 v0, __m128 du, __m128 dv, const SpanTexture& tex,
                          __m128i tint, int inside)
{
    constexpr bool Textured = Sample != SampleNone;
    Texels4 texels{_mm_setzero_si128(), _mm_setzero_si128()};
    if constexpr (Sample == SampleNearest)
        texels = Widen(FetchNearest(_mm_add_ps(u0, _mm_mul_ps(du, k)), _mm_add_ps(v0, _mm_mul_ps(dv, k)), tex));
    else if constexpr (Sample == SampleBilinear || Sample == SampleInside)
        texels = FetchBilinear<Sample == SampleBilinear || Masked>(_mm_add_ps(u0, _mm_mul_ps(du, k)),
                                                         _mm_add_ps(v0, _mm_mul_ps(dv, k)), tex);
    if constexpr (!Masked) {
        __m128i d = _mm_loadu_si128((__m128i*)dst);
        _mm_storeu_si128((__m128i*)dst, Shade4<Blend, Textured, Tinted>(texels, d, tint));
    } else {
#if defined(SOFTWARE_RASTER_WIDE)
        __m128i keep = _mm_cmplt_epi32(_mm_setr_epi32(0, 1, 2, 3), _mm_set1_epi32(inside));
        __m128i d = _mm_maskload_epi32((const int*)dst, keep);
        _mm_maskstore_epi32((int*)dst, keep, Shade4<Blend, Textured, Tinted>(texels, d, tint));
#else
        alignas(16) uint32_t part[4] = {0, 0, 0, 0};
        for (int i = 0; i < inside; i++) part[i] = dst[i];
        __m128i d = _mm_load_si128((const __m128i*)part);
        _mm_store_si128((__m128i*)part, Shade4<Blend, Textured, Tinted>(texels, d, tint));
        for (int i = 0; i < inside; i++) dst[i] = part[i];
#endif
    }
}

// What every span of a batch shares: the texture in the forms the fetches want.
struct BatchTexture {
    SpanTexture narrow;
#if defined(SOFTWARE_RASTER_WIDE)
    WideTexture wide;
#endif
};

// Shades count pixels of one row from dst on, U and V given at the first pixel's centre. Whole blocks
// go eight pixels at a time where the processor has AVX2, and a short end four at a time; no pixel
// outside the span is touched, so rows need no spare room and may be the window's own pixels.
template <int Blend, int Sample, bool Tinted>
void DrawSpan(uint32_t* dst, int count, float u, float du, float v, float dv, const BatchTexture& tex, __m128i tint)
{
    int i = 0;
#if defined(SOFTWARE_RASTER_WIDE)
    {
        const __m256i tint8 = _mm256_broadcastsi128_si256(tint);
        const __m256 du8 = _mm256_set1_ps(du), dv8 = _mm256_set1_ps(dv);
        const __m256 u8 = _mm256_set1_ps(u), v8 = _mm256_set1_ps(v);
        __m256 k = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
        const __m256 eight = _mm256_set1_ps(8);
        for (; i + 8 <= count; i += 8) {
            Block8<Blend, Sample, Tinted, false>(dst + i, k, u8, v8, du8, dv8, tex.wide, tint8, 8);
            k = _mm256_add_ps(k, eight);
        }
        if (count - i > 4) {
            Block8<Blend, Sample, Tinted, true>(dst + i, k, u8, v8, du8, dv8, tex.wide, tint8, count - i);
            return;
        }
    }
#endif
    const __m128 du4 = _mm_set1_ps(du), dv4 = _mm_set1_ps(dv);
    const __m128 u4 = _mm_set1_ps(u), v4 = _mm_set1_ps(v);
    __m128 k = _mm_add_ps(_mm_setr_ps(0, 1, 2, 3), _mm_set1_ps((float)i));
    const __m128 four = _mm_set1_ps(4);
    for (; i + 4 <= count; i += 4) {
        Block4<Blend, Sample, Tinted, false>(dst + i, k, u4, v4, du4, dv4, tex.narrow, tint, 4);
        k = _mm_add_ps(k, four);
    }
    if (i < count) Block4<Blend, Sample, Tinted, true>(dst + i, k, u4, v4, du4, dv4, tex.narrow, tint, count - i);
}

// A convex polygon of 3 or 4 corners with its affine texture mapping U = au x + bu y + cu (texel units).
struct Polygon {
    int count;
    double x[4], y[4];
    double au, bu, cu, av, bv, cv;
};

// The mapping through three corners and their texel coordinates; false when they are in a line.
bool SolveMapping(Polygon& p, const double* px, const double* py, const double* tu, const double* tv)
{
    double e1x = px[1] - px[0], e1y = py[1] - py[0], e2x = px[2] - px[0], e2y = py[2] - py[0];
    double det = e1x * e2y - e1y * e2x;
    if (std::fabs(det) < 1e-12) return false;
    double du1 = tu[1] - tu[0], du2 = tu[2] - tu[0], dv1 = tv[1] - tv[0], dv2 = tv[2] - tv[0];
    p.au = (du1 * e2y - du2 * e1y) / det;
    p.bu = (du2 * e1x - du1 * e2x) / det;
    p.cu = tu[0] - p.au * px[0] - p.bu * py[0];
    p.av = (dv1 * e2y - dv2 * e1y) / det;
    p.bv = (dv2 * e1x - dv1 * e2x) / det;
    p.cv = tv[0] - p.av * px[0] - p.bv * py[0];
    return true;
}

// Rasterizes one convex polygon into rows [bandTop, bandBottom).
template <int Blend, int Sample, bool Tinted>
void DrawPolygon(const RasterTarget& target, const Polygon& p, int bandTop, int bandBottom, const BatchTexture& tex,
                 __m128i tint)
{
    double area = 0;
    double top = p.y[0], bottom = p.y[0];
    for (int i = 0; i < p.count; i++) {
        int j = (i + 1) % p.count;
        area += p.x[i] * p.y[j] - p.x[j] * p.y[i];
        top = std::min(top, p.y[i]);
        bottom = std::max(bottom, p.y[i]);
    }
    if (area == 0) return;
    // Each slanted edge bounds the rows on one side. Its x at a row is always worked out from its upper
    // end, so two quads sharing an edge agree exactly on which pixels are whose. A convex polygon has
    // one or two edges on each side; a lone edge is taken twice, so every row does the same work.
    struct Edge {
        double x, y, slope;
    } left[4], right[4];
    int lefts = 0, rights = 0;
    for (int i = 0; i < p.count; i++) {
        int j = (i + 1) % p.count;
        if (p.y[i] == p.y[j]) continue;
        bool down = p.y[j] > p.y[i];
        int a = down ? i : j, b = down ? j : i;
        Edge e{p.x[a], p.y[a], (p.x[b] - p.x[a]) / (p.y[b] - p.y[a])};
        // Clockwise on screen (positive area with y down), edges going down are on the right.
        if (down == (area > 0))
            right[rights++] = e;
        else
            left[lefts++] = e;
    }
    if (lefts == 0 || rights == 0 || lefts > 2 || rights > 2) return;
    if (lefts == 1) left[1] = left[0];
    if (rights == 1) right[1] = right[0];
    int rowFirst = (int)std::clamp(std::ceil(top - 0.5), (double)bandTop, (double)bandBottom);
    int rowEnd = (int)std::clamp(std::ceil(bottom - 0.5), (double)bandTop, (double)bandBottom);
    const double width = target.width;
    for (int row = rowFirst; row < rowEnd; row++) {
        double yc = row + 0.5;
        double l = std::max(left[0].x + (yc - left[0].y) * left[0].slope, left[1].x + (yc - left[1].y) * left[1].slope);
        double r =
            std::min(right[0].x + (yc - right[0].y) * right[0].slope, right[1].x + (yc - right[1].y) * right[1].slope);
        // A centre on a left edge is inside, on a right edge outside.
        int xs = (int)std::clamp(std::ceil(l - 0.5), 0.0, width);
        int xe = (int)std::clamp(std::ceil(r - 0.5), 0.0, width);
        if (xs >= xe) continue;
        double xc = xs + 0.5;
        float u = 0, v = 0;
        if constexpr (Sample != SampleNone) {
            u = (float)(p.au * xc + p.bu * yc + p.cu);
            v = (float)(p.av * xc + p.bv * yc + p.cv);
        }
        DrawSpan<Blend, Sample, Tinted>(target.pixels + (size_t)row * target.stride + xs, xe - xs, u, (float)p.au, v,
                                (float)p.av, tex, tint);
    }
}

// Vertices snap to 1/256 pixel, as hardware rasterizers do, so edges land where theirs do.
RASTER_INLINE double Snap(float v)
{
    return std::nearbyint((double)v * 256.0) / 256.0;
}

// One polygon of a quad, through the shading for its tint.
template <int Blend, int Sample>
RASTER_INLINE void DrawTintedPolygon(const RasterTarget& target, const Polygon& p, int bandTop, int bandBottom,
                                     const BatchTexture& tex, uint32_t colour)
{
    // The tint on 16-bit lanes for two pixels; an untextured quad is just this colour.
    __m128i tint = _mm_unpacklo_epi8(_mm_set1_epi32((int)colour), _mm_setzero_si128());
    if (Sample != SampleNone && colour != 0xFFFFFFFF)
        DrawPolygon<Blend, Sample, true>(target, p, bandTop, bandBottom, tex, tint);
    else
        DrawPolygon<Blend, Sample, false>(target, p, bandTop, bandBottom, tex, tint);
}

// One polygon of a quad; filtered ones lose the edge clamping where no sample can reach an edge.
template <int Blend, int Sample>
RASTER_INLINE void DrawQuadPolygon(const RasterTarget& target, const Polygon& p, int bandTop, int bandBottom,
                                   const BatchTexture& tex, uint32_t colour, bool inside)
{
    if (Sample == SampleBilinear && inside)
        DrawTintedPolygon<Blend, SampleInside>(target, p, bandTop, bandBottom, tex, colour);
    else
        DrawTintedPolygon<Blend, Sample>(target, p, bandTop, bandBottom, tex, colour);
}

template <int Blend, int Sample>
void DrawQuads(const RasterTarget& target, const QuadVertex* vertices, int firstQuad, int quadCount, int bandTop,
               int bandBottom, const BatchTexture& tex)
{
    for (int q = firstQuad; q < firstQuad + quadCount; q++) {
        const QuadVertex* v = vertices + (size_t)q * 4;
        float minY = std::min(std::min(v[0].y, v[1].y), std::min(v[2].y, v[3].y));
        float maxY = std::max(std::max(v[0].y, v[1].y), std::max(v[2].y, v[3].y));
        if (!(maxY > bandTop - 1.0f && minY < bandBottom + 1.0f)) continue;  // also drops NaN corners

        if (!std::isfinite(minY) || !std::isfinite(maxY) || !std::isfinite(v[0].x) || !std::isfinite(v[1].x) ||
            !std::isfinite(v[2].x) || !std::isfinite(v[3].x))
            continue;
        const uint32_t colour = v[0].colour;  // the tint of the whole quad

        double x[4], y[4], tu[4], tv[4];
        for (int i = 0; i < 4; i++) {
            x[i] = Snap(v[i].x);
            y[i] = Snap(v[i].y);
            tu[i] = (double)v[i].u * tex.narrow.width;
            tv[i] = (double)v[i].v * tex.narrow.height;
        }
        // Every pixel inside the quad samples within the hull of its corners' texture coordinates. A
        // texel of margin from each edge leaves far more room than rounding can take: the first texel
        // of every filtered pair then lies in 0 .. size - 2, where the clamping changes nothing.
        bool inside = false;
        if constexpr (Sample == SampleBilinear) {
            double lowU = std::min(std::min(tu[0], tu[1]), std::min(tu[2], tu[3]));
            double highU = std::max(std::max(tu[0], tu[1]), std::max(tu[2], tu[3]));
            double lowV = std::min(std::min(tv[0], tv[1]), std::min(tv[2], tv[3]));
            double highV = std::max(std::max(tv[0], tv[1]), std::max(tv[2], tv[3]));
            inside = lowU >= 1 && highU <= tex.narrow.width - 1 && lowV >= 1 && highV <= tex.narrow.height - 1;
        }
        // A parallelogram (every quad the front end makes) is one polygon with one mapping.
        bool parallelogram = std::fabs(x[0] + x[2] - x[1] - x[3]) < 1.0 / 256 &&
                             std::fabs(y[0] + y[2] - y[1] - y[3]) < 1.0 / 256 &&
                             std::fabs(tu[0] + tu[2] - tu[1] - tu[3]) < 1e-3 &&
                             std::fabs(tv[0] + tv[2] - tv[1] - tv[3]) < 1e-3;
        if (parallelogram) {
            Polygon p;
            p.count = 4;
            for (int i = 0; i < 4; i++) {
                p.x[i] = x[i];
                p.y[i] = y[i];
            }
            const int pick[3] = {0, 1, 3};
            double px[3], py[3], pu[3], pv[3];
            for (int i = 0; i < 3; i++) {
                px[i] = x[pick[i]];
                py[i] = y[pick[i]];
                pu[i] = tu[pick[i]];
                pv[i] = tv[pick[i]];
            }
            if (SolveMapping(p, px, py, pu, pv))
                DrawQuadPolygon<Blend, Sample>(target, p, bandTop, bandBottom, tex, colour, inside);
            continue;
        }
        const int tris[2][3] = {{0, 1, 2}, {0, 2, 3}};
        for (const auto& tri : tris) {
            Polygon p;
            p.count = 3;
            double pu[3], pv[3];
            for (int i = 0; i < 3; i++) {
                p.x[i] = x[tri[i]];
                p.y[i] = y[tri[i]];
                pu[i] = tu[tri[i]];
                pv[i] = tv[tri[i]];
            }
            if (SolveMapping(p, p.x, p.y, pu, pv))
                DrawQuadPolygon<Blend, Sample>(target, p, bandTop, bandBottom, tex, colour, inside);
        }
    }
}

using DrawQuadsFn = void (*)(const RasterTarget&, const QuadVertex*, int, int, int, int, const BatchTexture&);

template <int Blend>
DrawQuadsFn PickForBlend(int sample)
{
    if (sample == SampleNearest) return DrawQuads<Blend, SampleNearest>;
    if (sample == SampleBilinear) return DrawQuads<Blend, SampleBilinear>;
    return DrawQuads<Blend, SampleNone>;
}

DrawQuadsFn PickDrawQuads(int blend, int sample)
{
    switch (blend) {
    case BlendSolid: return PickForBlend<BlendSolid>(sample);
    case BlendMultiply: return PickForBlend<BlendMultiply>(sample);
    case BlendAdditive: return PickForBlend<BlendAdditive>(sample);
    default: return PickForBlend<BlendAlpha>(sample);
    }
}

// Replays every batch into rows [top, bottom).
void DrawBandWith(const RasterTarget& target, const std::vector<SoftTexture>& textures, const QuadVertex* vertices,
                  const QuadBatch* batches, int batchCount, int top, int bottom)
{
    for (int b = 0; b < batchCount; b++) {
        const QuadBatch& batch = batches[b];
        BatchTexture tex;
        tex.narrow = MakeSpanTexture(nullptr, 1, 1);
        int sample = SampleNone;
        if (batch.texture != 0) {
            if (batch.texture <= 0 || batch.texture > (int)textures.size() || !textures[batch.texture - 1].used)
                continue;  // a texture that is gone draws nothing
            const SoftTexture* t = &textures[batch.texture - 1];
            tex.narrow = MakeSpanTexture(t->texels.data(), t->width, t->height);
            // A texture one texel thin has nothing to blend across; it is sampled as it is.
            sample = t->filtered && t->width > 1 && t->height > 1 ? SampleBilinear : SampleNearest;
        }
#if defined(SOFTWARE_RASTER_WIDE)
        tex.wide = MakeWideTexture(tex.narrow);
#endif
        PickDrawQuads(batch.blend, sample)(target, vertices, batch.firstQuad, batch.quadCount, top, bottom, tex);
    }
}


}  // namespace
