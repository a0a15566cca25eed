// Display texts of the parameter values and the conversions of typed texts back to values.
#pragma once

// Every text written here, whatever the value (1e30, -7, infinity, NaN), takes at most this many
// bytes including the terminator: the display-text size of the plug-in interface.
constexpr int kDisplayTextSize = 8;

void asymmetryToText(float value, char* text);
float textToAsymmetry(const char* text);
void thresholdToText(float value, char* text);
float textToThreshold(const char* text);
void driveToText(float value, char* text);
float textToDrive(const char* text);
void timeToText(float value, char* text);
float textToTime(const char* text);
void gainToText(float value, char* text);
float textToGain(const char* text);
