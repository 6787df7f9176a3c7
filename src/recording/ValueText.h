#pragma once

#include "core/ConfigurationRecord.h"

namespace kvt {

constexpr int kValueTextWidth = 12;

// The 12-character text of a pen value, as the CSV rows and the digital
// panel show it (no terminating NUL). Scales the value first unless
// `alreadyScaled` is set.
// - Logarithmic pens: the exponent form " %4.2E", right-aligned in the field.
// - Data kinds 8-11: "%12.0f"; data kind 1: "%11.Nf " with N decimals; every
//   other kind "%12.Nf" (N = decimalPlaces, 0-3). Wider texts are cut to
//   their first 12 characters.
// - A text that reads as zero shows no minus sign.
void formatValueField(char* field, const PenSettings& pen, double value, bool alreadyScaled);

// The non-logarithmic forms for a data kind, of an engineering value.
void formatPlainValue(char* field, int dataKind, int decimalPlaces, double value);

// The same with a terminating NUL, for a pen of the live configuration.
void formatValueText(char (&text)[kValueTextWidth + 1], const PenSettings& pen, double value,
                     bool alreadyScaled);
void formatValueText(char (&text)[kValueTextWidth + 1], int group, int pen, double value,
                     bool alreadyScaled);

}  // namespace kvt
