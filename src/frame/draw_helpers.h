// draw_helpers.h -- the drawing conventions every screen follows, and the per-frame sprite budget
#pragma once
#include <string>

// ---- Budget --------------------------------------------------------------------
constexpr int DrawKindCount = 20;
extern int DrawLimits[DrawKindCount];   // 1 main images, 2 glow, 3 particles
extern int DrawCounts[DrawKindCount];

constexpr float AlphaUnchanged = 37171648.0f;
constexpr float ScaleSameAsX = -37171648.0f;

void BeginFrame(int clear);                       // clears (when 1) and zeroes the counts
void ResetDrawState();                            // no rotation, scale 1, white, alpha 1, alpha blending
void SetBlendCode(int code);                      // 0 solid, 1 alpha, 2 multiply, 3 additive
void SetDrawColour(float r, float g, float b, float a = AlphaUnchanged);
void SetDrawScale(float sx, float sy = ScaleSameAsX);
void SetDrawRotation(float degrees);
void DrawTextAligned(int x, int y, const std::string& text, int alignX, int alignY);
void DrawCountedImage(int image, int x, int y, int frame, int kind);
void DrawGlowImage(int image, int x, int y, int frame, int glowImage, float glowScale, float glowAlpha);
float ClampReal(float v, float lo, float hi);
int MouseOver(int x, int y, int w, int h);
void DrawLoadingBands();                          // the diagonal blue bands behind the splash and the engine test
