#pragma once

#include <QObject>
#include <QString>
#include <array>

#include "ui/CommandTable.h"

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;

namespace ui {

// The main menu and the two context menus of the picture, built from the command table. Each
// entry is a QAction named after its command (objectName "MenuCal", "PopStop", ...); each
// top-level menu is a QMenu named "MenuFil", "MenuFra", ... Captions are set in the current
// language by setCaptions, enabled, visible and checked states by applyRules.
class MainMenus : public QObject {
    Q_OBJECT
public:
    explicit MainMenus(QMainWindow* window);

    QAction* action(Cmd cmd) const { return m_actions[size_t(cmd)]; }
    QMenu* menu(MenuId id) const { return m_menus[size_t(id)]; }
    QMenu* popup2D() const { return menu(MenuId::Popup2D); }
    QMenu* popup3D() const { return menu(MenuId::Popup3D); }

    // Captions of every entry in `language`. The 2D menu's Compute entry names the line a resumed
    // computation starts from (see commandCaption); the recent-file entries show `recentCaptions`.
    void setCaptions(int language, int resumeLine, int imageHeight, const std::array<QString, 4>& recentCaptions);
    void applyRules(const CommandState& state);

signals:
    // An entry was chosen (by a click or its shortcut).
    void commandTriggered(ui::Cmd cmd);
    // A menu is about to open (top-level or context menu).
    void menuOpening(ui::MenuId menu);

private:
    std::array<QAction*, size_t(Cmd::Count)> m_actions{};
    std::array<QMenu*, 9> m_menus{};
};

// The caption of an entry in `language` ("&Compute", "Compute from line 57", ...); empty for the
// recent-file entries and the separator, whose captions come from the recent-files list. The Compute
// entry names `resumeLine` only when it is a row of the image other than the first (above 0 and below
// `imageHeight`): from any other value a computation starts at the top.
QString commandCaption(Cmd cmd, int language, int resumeLine, int imageHeight);

// A caption ready for a menu entry, button or label with accelerators: an "&" that marks no letter
// (followed by a blank or ending the text, as in "PertZ & PertZi") is doubled so that it shows.
QString withTextAmpersands(const QString& caption);

}  // namespace ui
