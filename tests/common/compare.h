// Messages about long texts that should be equal, such as a whole log.
#pragma once

#include <string>

// Sizes and where the two texts first differ, with a few bytes of each.
std::string DescribeDifference(const std::string& expected, const std::string& actual);
