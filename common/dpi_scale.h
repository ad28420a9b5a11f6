// Figures laid out at 96 DPI, scaled to another display's DPI.
#pragma once

// The standard DPI at which every layout figure of both programs is given.
constexpr int kBaseDpi = 96;

// value * dpi / 96, rounded as MulDiv rounds (half away from zero), so that
// at 96 DPI every figure stays exactly as it is. A DPI of 0 or below counts
// as 96.
int ScaleForDpi(int value, int dpi);
