#pragma once

#include <cstdint>
#include <span>

#include "engine/Catalogue.h"

// The commands of the main window: every entry of the main menu and of the two context menus,
// where it sits, and the rules that enable, show and check it. Pure logic over a snapshot of
// the window's state, so that the menus, the keyboard shortcuts and the handlers all agree.
namespace ui {

enum class Cmd : uint8_t {
    // top level
    MenuFil, MenuFra, MenuCol, Menu3D, MenuMes, MenuFit, MenuAbo,
    // Files
    MenuNew, MenuOpenFrac, MenuSaveFrac, MenuSaveAsFrac, MenuSavePict, MenuPrintCfg, MenuPrint, MenuPrintPar,
    MenuInfos, MenuPre, file05, file01, file02, file03, file04, MenuExi,
    // Fractal
    MenuVar, MenuCal, MenuSto, MenuEff, MenuPos, MenuRet,
    // Colors
    MenuRotateOut, MenuRotateIn, MenuPal8, MenuCoul24, MenuPalSys,
    // 3D
    Menu3DParam, MenuDraw2D,
    // Measuring
    MenuSeeAll, MenuSee100, MenuGoto, MenuIter, MenuOrb, MenuProfilH, MenuMarker, MenuDeleteMkr,
    // Filters
    MenuNone, MenuEdg, MenuRelief,
    // 2D context menu
    PopVar, PopColor, PopCalcul, PopCalculZ, PopStop, PopErase, PopCenter, PopZoom, PopJulia, PopPert,
    PopSeeAll, PopSee100, PopAzimut, PopDraw3D, PopMarker, PopShowMarker,
    // 3D context menu
    Pop3DParameters, Pop3DDraw2D, Pop3DColor, Pop3DAzimuth, Pop3DDeplY, Pop3DShowMarker,
    // the view history: Fractal menu and 2D context menu
    MenuBack, MenuForward, PopBack, PopForward,
    Count
};

// Where an entry lives. Top-level entries have themselves as their menu.
enum class MenuId : uint8_t { File, Fractal, Colors, View3D, Measuring, Filters, About, Popup2D, Popup3D };

struct CommandInfo {
    Cmd cmd;
    const char* objectName;
    MenuId menu;
    bool separatorBefore = false;  // a separator line precedes the entry in its menu
    bool checkable = false;
};

// Every command in menu order (top-level menus first, then the entries menu by menu).
std::span<const CommandInfo> commandTable();
const CommandInfo& commandInfo(Cmd cmd);
// The command that opens `menu` (MenuFil for File ...); Popup2D and Popup3D have none.
Cmd topLevelCommand(MenuId menu);
bool isTopLevel(Cmd cmd);
// The recent-file entry for index 0..3.
Cmd recentFileCommand(int index);

// What the rules look at. "image" is width and height at least 2; "stale" the needs-recalculation test.
struct CommandState {
    bool idle = true;
    bool modified = false;
    bool image = false;
    bool stale = false;
    int filter = 0;          // 0 none, 1 edges, 2 relief
    bool view3D = false;
    bool touchUpRunning = false;
    bool markersAvailable = true;
    bool markersShown = false;
    bool anyMarkerPlaced = false;
    bool pixelFormat24 = false;
    int screenDepth = 32;
    bool fitPossible = false;  // image larger than the client area less 40 pixels in width or height
    bool scaleIsOne = true;
    engine::TypeId fractalType = engine::TypeId::Mandelbrot;
    int algorithm = 0;
    bool pertZero = true;      // PertZ and PertZi both 0.0
    int resumeLine = 0;
    int elevation = 30;
    bool recentFile[4] = {false, false, false, false};
    bool canGoBack = false;     // the view history has a view before the current one
    bool canGoForward = false;  // and one after it
};

struct CommandRule {
    bool enabled = true;
    bool visible = true;
    bool checked = false;
};

// The commands whose feature is not built yet: their entries are shown disabled, never silently inert.
// The one list of them (shrinks as the features land).
std::span<const Cmd> pendingCommands();
bool isPending(Cmd cmd);

// The entry's own rule.
CommandRule ruleFor(Cmd cmd, const CommandState& s);
// The entry's rule combined with that of the top-level menu holding it: a command whose menu is
// disabled cannot run either, not even through its shortcut.
CommandRule effectiveRule(Cmd cmd, const CommandState& s);
// What the menus show and the commands obey: effectiveRule, and disabled while the command is pending.
CommandRule availableRule(Cmd cmd, const CommandState& s);

}  // namespace ui
