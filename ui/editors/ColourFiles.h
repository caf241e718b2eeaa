#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "colour/ColorTable24.h"
#include "colour/Palette.h"

class QMimeData;
class QWidget;

namespace ui {

class UiServices;

// The file dialogs of the colour editors. Tests put answers of their own in place of the platform's.
class ColourFileDialogs {
public:
    virtual ~ColourFileDialogs() = default;
    // A file to open, or empty when cancelled; `filter` is the index of the chosen filter in `filters`.
    virtual QString openPath(QWidget* parent, const QString& directory, const QString& proposedName,
                             const QStringList& filters, int& filter) = 0;
    // A file to write (the dialog confirms replacing one), or empty when cancelled.
    virtual QString savePath(QWidget* parent, const QString& directory, const QString& proposedName,
                             const QStringList& filters, int& filter) = 0;
};

// The dialogs in use: the platform's unless setColourFileDialogs gave others (null: the platform's again).
ColourFileDialogs& colourFileDialogs();
void setColourFileDialogs(ColourFileDialogs* dialogs);

// The directory the palette and table dialogs start in: the program's directory at first, then the directory
// of the last palette or table file chosen through a dialog.
QString paletteDirectory();
void setPaletteDirectory(const QString& directory);

// The loaders and savers as the editors call them. `caption` is the name the editor shows for its palette or
// table; it becomes the file's name. `droppedFile`: a file dropped on the editor, read without a dialog as
// ".p8" (palette) or ".p24" (table) whatever its name; empty: the open dialog. A failure beeps (loads) and
// shows "Error accessing to disk"; the palette or table is then unchanged. A cancelled dialog changes
// nothing and counts as success.
bool loadPalette8(QWidget* parent, UiServices& services, colour::Palette& palette, QString& caption,
                  const QString& droppedFile = {});
bool savePalette8(QWidget* parent, UiServices& services, const colour::Palette& palette, QString& caption);
bool loadTable24(QWidget* parent, UiServices& services, colour::ColorTable24& table, QString& caption,
                 const QString& droppedFile = {});
bool saveTable24(QWidget* parent, UiServices& services, const colour::ColorTable24& table, QString& caption);

// The colour dialog of the editors (full open, preset with `initial`): the chosen colour, or none when
// cancelled. Tests put a picker of their own in place of the platform's (an empty one: the platform's again).
using ColourPicker = std::function<std::optional<QColor>(QWidget* parent, const QColor& initial)>;
void setColourPicker(ColourPicker picker);
std::optional<QColor> pickColour(QWidget* parent, const QColor& initial);

// The first local file of a drag, or empty.
QString droppedLocalFile(const QMimeData* mime);

}  // namespace ui
