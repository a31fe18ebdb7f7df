#pragma once
// Layout rules are written in twips: 1440 per logical inch, 15 per pixel at 96 dpi.

// Twips per pixel of the primary screen (15 without a screen).
double TwipsPerPixelX();
double TwipsPerPixelY();

int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
double PixelsToTwipsX(int pixels);
double PixelsToTwipsY(int pixels);
