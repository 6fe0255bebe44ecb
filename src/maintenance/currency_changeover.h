// The changeover of the main currency from DM to Euro: the currency settings
// of the parameter file and every stored money amount of articles, addresses
// and orders, divided by 1.95583 and truncated towards zero.
//
// The converted files are written whole under temporary names and replaced
// together with the parameter file in one step, so that a crash never leaves
// some amounts converted and others not.
#ifndef BELVON_MAINTENANCE_CURRENCY_CHANGEOVER_H
#define BELVON_MAINTENANCE_CURRENCY_CHANGEOVER_H

#include <cstdint>

#include "store/app_state.h"

namespace maintenance {

inline constexpr double kDeutscheMarkPerEuro = 1.95583;

// An amount in hundredths of a mark in hundredths of a euro.
std::int32_t MarkToEuro(std::int32_t amount);

// The new currency settings: names 1 and 4 exchanged, the rates of 2 and 3
// times 1.95583, the rate of 4 its reciprocal (single precision).
void ChangeCurrencySettings(store::ParameterRecord& parameters);

// The menu command: asks, checks that the first currency is DM, converts.
// 1 when the new files were committed.
int CurrencyChangeover(frame::AppState& app);

}  // namespace maintenance

#endif  // BELVON_MAINTENANCE_CURRENCY_CHANGEOVER_H
