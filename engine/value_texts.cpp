#include "value_texts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

// Prints with the fixed number of decimals; a number too long for the display (only values far
// outside 0..1 produce one) is printed in the shortest exponent form that fits instead.
void printNumber(char* text, double number, int decimals)
{
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, number);
    for (int precision = 6;
         std::strlen(buffer) >= static_cast<size_t>(kDisplayTextSize) && precision > 0; --precision)
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, number);
    std::memcpy(text, buffer, kDisplayTextSize - 1);
    text[kDisplayTextSize - 1] = 0;
}

void printMinusInfinity(char* text)
{
    std::strcpy(text, "-oo");
}

// The leading number of a typed text as a float. "nan" is not a number a user means: it reads
// as 0 like any other text without a number, so a typed text never stores NaN.
float readNumber(const char* text)
{
    float t = static_cast<float>(std::atof(text));
    return std::isnan(t) ? 0.0f : t;
}

} // namespace

void asymmetryToText(float value, char* text)
{
    printNumber(text, 100.0 * value - 50.0, 0);
}

float textToAsymmetry(const char* text)
{
    float t = readNumber(text);
    if (t < -50.0f) return 0.0f;
    if (t > 50.0f) return 1.0f;
    return static_cast<float>((t + 50.0) / 100.0);
}

void thresholdToText(float value, char* text)
{
    if (value == 0.0f) return printMinusInfinity(text);
    printNumber(text, 20.0 * std::log10(static_cast<double>(value)), 1);
}

float textToThreshold(const char* text)
{
    float t = readNumber(text);
    if (t > 0.0f) t = 0.0f;
    return static_cast<float>(std::pow(10.0, t / 20.0));
}

void driveToText(float value, char* text)
{
    printNumber(text, 100.0 * value, 0);
}

float textToDrive(const char* text)
{
    float t = readNumber(text);
    if (t < 0.0f) return 0.0f;
    if (t > 100.0f) return 1.0f;
    return static_cast<float>(t / 100.0);
}

void timeToText(float value, char* text)
{
    printNumber(text, value, 2);
}

float textToTime(const char* text)
{
    float t = readNumber(text);
    if (t < 0.0f) return 0.0f;
    if (t > 1.0f) return 1.0f;
    return t;
}

void gainToText(float value, char* text)
{
    if (value == 0.0f) return printMinusInfinity(text);
    printNumber(text, 20.0 * std::log10(2.0 * value), 1);
}

float textToGain(const char* text)
{
    float t = readNumber(text);
    if (t > 6.0f) t = 6.0f;
    return static_cast<float>(0.5 * std::pow(10.0, t / 20.0));
}
