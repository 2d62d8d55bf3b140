#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

// The skinned frame of the player's container windows and its channel window: a title piece
// across the top, a piece down each side and one across the bottom, around the place of the
// pages. The windows lay their pages and title-bar buttons out by these constants.
namespace kivo::skin::frame {

inline constexpr int kTopHeight = 27;
inline constexpr int kBottomHeight = 20;
inline constexpr int kSideWidth = 15;
// The title-bar buttons, right-aligned on the top piece.
inline constexpr QSize kButtonSize{16, 16};
inline constexpr int kButtonTop = 4;

// Where the pages go in a window of the given size.
QRect pageRect(QSize window);

// The whole frame for a window of the given size; the page place is left at the transparent
// key (the pages cover it).
QImage frame(QSize window);

// The title-bar buttons: next page, previous page and close, each with the four looks of a
// hover button (normal, under the mouse, pressed, disabled).
enum class TitleButton { kNextPage, kPreviousPage, kClose };
enum Look { kNormal, kHover, kPressed, kDisabled };
QImage titleButton(TitleButton which, Look look);

}  // namespace kivo::skin::frame
