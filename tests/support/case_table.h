// One rule, many examples: fn(input) against the expected result for each row
// of a case table, the input named in the failure.
#ifndef BELVON_TESTS_SUPPORT_CASE_TABLE_H
#define BELVON_TESTS_SUPPORT_CASE_TABLE_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <type_traits>
#include <utility>

namespace testsupport {

template <typename In, typename Out, typename Fn>
void ExpectEach(Fn&& fn, std::initializer_list<std::pair<In, Out>> cases) {
  for (const auto& [input, expected] : cases) {
    SCOPED_TRACE(testing::Message() << "input \"" << input << '"');
    if constexpr (std::is_same_v<Out, float>)
      EXPECT_FLOAT_EQ(fn(input), expected);
    else if constexpr (std::is_same_v<Out, double>)
      EXPECT_DOUBLE_EQ(fn(input), expected);
    else
      EXPECT_EQ(fn(input), expected);
  }
}

}  // namespace testsupport

#endif  // BELVON_TESTS_SUPPORT_CASE_TABLE_H
