#pragma once
// Excel's published values for the settings the printed form uses.

namespace kvor::xl {

inline constexpr int xlGeneral = 1;
inline constexpr int xlLeft = -4131;
inline constexpr int xlCenter = -4108;
inline constexpr int xlRight = -4152;
inline constexpr int xlTop = -4160;
inline constexpr int xlBottom = -4107;

inline constexpr int xlPortrait = 1;
inline constexpr int xlLandscape = 2;

inline constexpr int xlEdgeLeft = 7;
inline constexpr int xlEdgeTop = 8;
inline constexpr int xlEdgeBottom = 9;
inline constexpr int xlEdgeRight = 10;
inline constexpr int xlInsideVertical = 11;
inline constexpr int xlInsideHorizontal = 12;

inline constexpr int xlNone = -4142;
inline constexpr int xlContinuous = 1;
inline constexpr int xlDash = -4115;
inline constexpr int xlDot = -4118;
inline constexpr int xlDouble = -4119;

inline constexpr int xlColorIndexNone = -4142;
inline constexpr int kGreyColorIndex = 15;

} // namespace kvor::xl
