#include "store/leitweg_ids.h"

#include "platform/cp1252.h"
#include "store/settings_lines.h"

namespace store {

namespace {

constexpr std::uint64_t kLargestFile = 1024 * 1024;
constexpr std::string_view kSection = "Leitweg-IDs";

}  // namespace

std::string LeitwegIdOf(const frame::AppState& app, std::string_view customerNumber) {
  if (customerNumber.empty()) return {};
  const KeyedValues ids = LoadKeyedValues(app, kLeitwegIdsFileName, kLargestFile);
  const auto found = ids.find(platform::Cp1252ToUtf8(customerNumber));
  return found == ids.end() ? std::string() : found->second;
}

bool StoreLeitwegId(frame::AppState& app, std::string_view oldNumber, std::string_view number,
                    const std::string& id) {
  KeyedValues ids = LoadKeyedValues(app, kLeitwegIdsFileName, kLargestFile);
  const KeyedValues before = ids;
  ids.erase(platform::Cp1252ToUtf8(oldNumber));
  if (!number.empty() && !id.empty()) ids[platform::Cp1252ToUtf8(number)] = id;
  return ids == before || SaveKeyedValues(app, kLeitwegIdsFileName, kSection, ids);
}

}  // namespace store
