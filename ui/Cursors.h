#pragma once

#include <QCursor>

namespace ui {

// The program's own cursors, by their numbers.
enum class CursorId : int { XCross = 1, RCross = 2, ZoomIn = 3, ZoomOut = 4, ZMove = 5 };

// The cursor, drawn once on first use (needs a running QGuiApplication).
const QCursor& vorexCursor(CursorId id);
// Draws every cursor; false when one came out empty.
bool loadCursors();

}  // namespace ui
