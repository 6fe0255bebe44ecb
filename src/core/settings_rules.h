// How the settings dialogs turn their fields into parameter values and back.
// Kept apart from the widgets so that the rules are tested without a screen.
#ifndef BELVON_CORE_SETTINGS_RULES_H
#define BELVON_CORE_SETTINGS_RULES_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/figures.h"

namespace frame {

// The number fields below are read by the rule of frame::ReadNumber; empty
// when the text is no number (the dialog refuses it, naming the field).

// The texts below are written in `style`; in the German style they read back
// to the same value ("2,5", "19,0", "1,95583").

// "Skonto": tenths of a percent shown as (value + 0.05) / 10 with one
// decimal; read to the nearest whole tenth.
std::string CashDiscountText(std::int16_t tenths, FigureStyle style = FigureStyle::Point);
std::optional<std::int16_t> ParseCashDiscount(std::string_view text);

// "UmSt": value / 10 with one decimal; read to the nearest tenth, clamped to
// 0 .. 1000.
std::string TaxRateText(std::int16_t tenths, FigureStyle style = FigureStyle::Point);
std::optional<std::int16_t> ParseTaxRate(std::string_view text);

// "Kurs": five decimals, shown as at least 0.001; read clamped to 0.001 .. 100.
std::string ExchangeRateText(float rate, FigureStyle style = FigureStyle::Point);
std::optional<float> ParseExchangeRate(std::string_view text);

// Whole numbers of the printer settings, clamped silently.
std::int16_t ClampedWhole(std::string_view text, int low, int high);

// "1. Rechnungsnummer": at most 9 characters as a whole number.
std::uint32_t ParseOrderNumber(std::string_view text);

// Periods ("Skontofrist", "Zahlfrist"): at most 4 characters, whole number.
std::int16_t ParsePeriod(std::string_view text);

}  // namespace frame

#endif  // BELVON_CORE_SETTINGS_RULES_H
