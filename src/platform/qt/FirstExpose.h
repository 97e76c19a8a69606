#pragma once
// Work that waits until a window is on the screen: the first picture of a window
// must not wait for what can come after it.
#include <functional>

class QWidget;

// Calls `then` once, from the event loop, after `window` (a top-level widget) has
// first been exposed and painted; at once (from the event loop) when it already is.
void AfterFirstExpose(QWidget& window, std::function<void()> then);

// With the environment variable TRESSARY_EXIT_ON_FIRST_SHOW set, ends the process
// as soon as `window` has first been painted: start-up measurements stop there.
// With TRESSARY_FIRST_SHOW_MAPS naming a file, the process's memory map is
// copied there first: which libraries the first window brought in.
void ExitOnFirstShowWhenAsked(QWidget& window);
