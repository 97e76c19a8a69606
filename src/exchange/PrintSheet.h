#pragma once
// The print window's default button sheet: one row of three frames (normal, hover,
// pressed) per button, top to bottom in this order.
struct TPrintSheetLayout {
  static constexpr int SquareSide = 28;  // page, folder and set-up buttons
  static constexpr int WideWidth = 58;   // print and cancel
  static constexpr int Height = 28;
  static constexpr int PageTop(int layout) { return (layout - 1) * Height; }
  static constexpr int ChangeDirTop = 4 * Height;
  static constexpr int SetupTop = 5 * Height;
  static constexpr int PrintTop = 6 * Height;
  static constexpr int CancelTop = 7 * Height;
  static constexpr int SheetWidth = 3 * WideWidth;
  static constexpr int SheetHeight = 8 * Height;
};
