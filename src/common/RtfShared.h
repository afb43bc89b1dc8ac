#pragma once
#include <cstdint>

// What the RTF reader and writer agree on.
namespace kadro::rtf {

constexpr int kDefaultHalfPoints = 24; // 12 pt, RTF's size when none is given
constexpr int kMinHalfPoints = 2;      // 1 pt
constexpr int kMaxHalfPoints = 3276;   // 1638 pt, the largest size word processors offer

enum Align : uint8_t { AlignLeftPara, AlignCentrePara, AlignRightPara, AlignJustifyPara };

} // namespace kadro::rtf
