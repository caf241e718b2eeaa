#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// Captions of the main menu, read by DrawMainMenus and by each
// top-level menu when it opens. Ids are the names of the menu entries.
enum class MainMenuText : uint8_t {
    MenuFil,  // "&File"
    MenuNew,  // "&New Fractal"
    MenuOpenFrac,  // "&Open Fractal"
    MenuSaveFrac,  // "&Save Fractal"
    MenuSaveAsFrac,  // "Save &As"
    MenuSavePict,  // "&Export Image"
    MenuPrintCfg,  // "Printer &Configuration"
    MenuPrint,  // "&Print Fractal"
    MenuPrintPar,  // "Print Fractal Parameters"
    MenuInfos,  // "Fractal Infos"
    MenuPre,  // "P&references"
    MenuExi,  // "E&xit"
    MenuFra,  // "F&ractal"
    MenuCal,  // "&Compute"
    MenuSto,  // "&Stop Computing"
    MenuEff,  // "&Erase Fractal"
    MenuVar,  // "&Variables"
    MenuPos,  // "&Poster"
    MenuRet,  // "&Touching up"
    MenuCol,  // "&Colors"
    MenuRotateOut,  // "Rotate Pa&lette"
    MenuRotateIn,  // "&Rotate Palette"
    MenuPalSys,  // "Apply &system Palette"
    MenuPal8,  // "8 bits &Color"
    MenuCoul24,  // "24 bits&Color"
    Menu3D,  // "&3D"
    Menu3DParam,  // "&Draw 3D"
    MenuDraw2D,  // "&Draw 2D"
    MenuMes,  // "&Mesuring"
    MenuSeeAll,  // "&Fit Screen"
    MenuSee100,  // "&Display at 100%"
    MenuGoto,  // "&Go to"
    MenuIter,  // "Find &Iterations"
    MenuOrb,  // "See &Orbits"
    MenuProfilH,  // "Cross section in &X"
    MenuMarker,  // "Show &Marker"
    MenuDeleteMkr,  // "Delete &all Markers"
    MenuFit,  // "Fil&ters"
    MenuNone,  // "&None"
    MenuEdg,  // "E&dges"
    MenuRelief,  // "&Emboss"
    MenuAbo,  // "&About"
    End
};
std::string_view lookup(MainMenuText id, int language);
std::span<const Bilingual> mainMenuTable();

// Entries of the 2D context menu (MainPopupMenu2D), read each time it pops up.
// The "Compute" entry is PopCalcul + PopCalculFromLine + the resume line when resuming.
enum class Popup2DText : uint8_t {
    PopCalcul,  // "Compute "
    PopCalculZ,  // "Compute from start"
    PopCalculFromLine,  // "from line "
    PopStop,  // "Stop Computing"
    PopErase,  // "Erase Fractal"
    PopVar,  // "Variables"
    PopCenter,  // "New Fractal Center"
    PopZoom,  // "Zoom"
    PopColor,  // "Colors"
    PopPert,  // "Choose PertZ & PertZi"
    PopJulia,  // "Julia center"
    PopSeeAll,  // "Fit Screen"
    PopSee100,  // "Display at 100%"
    PopAzimut,  // "Choose azimuth for 3D"
    PopDraw3D,  // "Draw in 3D"
    PopMarker,  // "Place Marker"
    PopShowMarker,  // "Show Marker"
    End
};
std::string_view lookup(Popup2DText id, int language);
std::span<const Bilingual> popup2DTable();

// Entries of the 3D context menu (MainPopupMenu3D), read each time it pops up.
enum class Popup3DText : uint8_t {
    Pop3DParameters,  // "Redraw 3D"
    Pop3DDraw2D,  // "Draw 2D"
    Pop3DColor,  // "Colors"
    Pop3DAzimuth,  // "Choose new Azimuth"
    Pop3DDeplY,  // "Vertical Shift"
    Pop3DShowMarker,  // "Show Marker"
    End
};
std::string_view lookup(Popup3DText id, int language);
std::span<const Bilingual> popup3DTable();

}  // namespace text
