#include "ui/text/MenuTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 42> MainMenuTable = {{
    {"&File", "&Fichier"},  // MenuFil
    {"&New Fractal", "&Nouvelle fractale"},  // MenuNew
    {"&Open Fractal", "&Ouvrir une fractale"},  // MenuOpenFrac
    {"&Save Fractal", "&Enregistrer la fractale"},  // MenuSaveFrac
    {"Save &As", "Enregistrer &sous"},  // MenuSaveAsFrac
    {"&Export Image", "E&xporter image"},  // MenuSavePict
    {"Printer &Configuration", "&Configuration imprimante"},  // MenuPrintCfg
    {"&Print Fractal", "&Imprimer la fractale"},  // MenuPrint
    {"Print Fractal Parameters", "Imprimer les paramètres"},  // MenuPrintPar
    {"Fractal Infos", "Infos de la fractale"},  // MenuInfos
    {"P&references", "&Préférences"},  // MenuPre
    {"E&xit", "&Quitte"},  // MenuExi
    {"F&ractal", "F&ractale"},  // MenuFra
    {"&Compute", "&Calculer"},  // MenuCal
    {"&Stop Computing", "&Arrêter le calcul"},  // MenuSto
    {"&Erase Fractal", "&Effacer"},  // MenuEff
    {"&Variables", "&Variables"},  // MenuVar
    {"&Poster", "&Poster"},  // MenuPos
    {"&Touching up", "&Retouches"},  // MenuRet
    {"&Colors", "&Couleurs"},  // MenuCol
    {"Rotate Pa&lette", "Rotation de la pa&lette"},  // MenuRotateOut
    {"&Rotate Palette", "&Rotation de la palette"},  // MenuRotateIn
    {"Apply &system Palette", "Appliquer palette de &Windows"},  // MenuPalSys
    {"8 bits &Color", "&Couleurs 8 bits"},  // MenuPal8
    {"24 bits&Color", "&Couleurs 24 bits"},  // MenuCoul24
    {"&3D", "&3D"},  // Menu3D
    {"&Draw 3D", "&Dessiner 3D"},  // Menu3DParam
    {"&Draw 2D", "&Dessiner 2D"},  // MenuDraw2D
    {"&Mesuring", "&Mesurer"},  // MenuMes
    {"&Fit Screen", "Afficher &toute l'image"},  // MenuSeeAll
    {"&Display at 100%", "Afficher à &100%"},  // MenuSee100
    {"&Go to", "&Aller à"},  // MenuGoto
    {"Find &Iterations", "Nbr &Itérations"},  // MenuIter
    {"See &Orbits", "Voir les &Orbites"},  // MenuOrb
    {"Cross section in &X", "Profil &X"},  // MenuProfilH
    {"Show &Marker", "Afficher &Repères"},  // MenuMarker
    {"Delete &all Markers", "&Effacer tous les Repères"},  // MenuDeleteMkr
    {"Fil&ters", "Fil&tres"},  // MenuFit
    {"&None", "&Aucun"},  // MenuNone
    {"E&dges", "&Contours"},  // MenuEdg
    {"&Emboss", "&Relief"},  // MenuRelief
    {"&About", "&A propos"},  // MenuAbo
}};
static_assert(MainMenuTable.size() == size_t(MainMenuText::End));

constexpr std::array<Bilingual, 17> Popup2DTable = {{
    {"Compute ", "Calculer "},  // PopCalcul
    {"Compute from start", "Calculer depuis le début"},  // PopCalculZ
    {"from line ", "depuis la ligne "},  // PopCalculFromLine
    {"Stop Computing", "Arrêter le calcul"},  // PopStop
    {"Erase Fractal", "Effacer"},  // PopErase
    {"Variables", "Variables"},  // PopVar
    {"New Fractal Center", "Nouveau centre"},  // PopCenter
    {"Zoom", "Zoom"},  // PopZoom
    {"Colors", "Couleurs"},  // PopColor
    {"Choose PertZ & PertZi", "Choisir PertZ & PertZi"},  // PopPert
    {"Julia center", "Centre Julia"},  // PopJulia
    {"Fit Screen", "Afficher toute l'image"},  // PopSeeAll
    {"Display at 100%", "Afficher à 100%"},  // PopSee100
    {"Choose azimuth for 3D", "Choisir azimut pour 3D"},  // PopAzimut
    {"Draw in 3D", "Dessiner en 3D"},  // PopDraw3D
    {"Place Marker", "Placer un repère"},  // PopMarker
    {"Show Marker", "Afficher Repères"},  // PopShowMarker
}};
static_assert(Popup2DTable.size() == size_t(Popup2DText::End));

constexpr std::array<Bilingual, 6> Popup3DTable = {{
    {"Redraw 3D", "Redessine 3D"},  // Pop3DParameters
    {"Draw 2D", "Dessiner 2D"},  // Pop3DDraw2D
    {"Colors", "Couleurs"},  // Pop3DColor
    {"Choose new Azimuth", "Choisir un nouvel azimut"},  // Pop3DAzimuth
    {"Vertical Shift", "Déplacement vertical"},  // Pop3DDeplY
    {"Show Marker", "Afficher Repères"},  // Pop3DShowMarker
}};
static_assert(Popup3DTable.size() == size_t(Popup3DText::End));

}  // namespace

std::string_view lookup(MainMenuText id, int language) { return pick(MainMenuTable, int(id), language); }
std::span<const Bilingual> mainMenuTable() { return MainMenuTable; }

std::string_view lookup(Popup2DText id, int language) { return pick(Popup2DTable, int(id), language); }
std::span<const Bilingual> popup2DTable() { return Popup2DTable; }

std::string_view lookup(Popup3DText id, int language) { return pick(Popup3DTable, int(id), language); }
std::span<const Bilingual> popup3DTable() { return Popup3DTable; }

}  // namespace text
