#include "ui/CommandTable.h"

#include <algorithm>
#include <array>

namespace ui {

namespace {

using M = MenuId;

constexpr std::array<CommandInfo, size_t(Cmd::Count)> Table = {{
    {Cmd::MenuFil, "MenuFil", M::File},
    {Cmd::MenuFra, "MenuFra", M::Fractal},
    {Cmd::MenuCol, "MenuCol", M::Colors},
    {Cmd::Menu3D, "Menu3D", M::View3D},
    {Cmd::MenuMes, "MenuMes", M::Measuring},
    {Cmd::MenuFit, "MenuFit", M::Filters},
    {Cmd::MenuAbo, "MenuAbo", M::About},

    {Cmd::MenuNew, "MenuNew", M::File},
    {Cmd::MenuOpenFrac, "MenuOpenFrac", M::File},
    {Cmd::MenuSaveFrac, "MenuSaveFrac", M::File},
    {Cmd::MenuSaveAsFrac, "MenuSaveAsFrac", M::File},
    {Cmd::MenuSavePict, "MenuSavePict", M::File, true},
    {Cmd::MenuPrintCfg, "MenuPrintCfg", M::File, true},
    {Cmd::MenuPrint, "MenuPrint", M::File},
    {Cmd::MenuPrintPar, "MenuPrintPar", M::File},
    {Cmd::MenuInfos, "MenuInfos", M::File, true},
    {Cmd::MenuPre, "MenuPre", M::File},
    {Cmd::file05, "file05", M::File},  // the separator above the recent files
    {Cmd::file01, "file01", M::File},
    {Cmd::file02, "file02", M::File},
    {Cmd::file03, "file03", M::File},
    {Cmd::file04, "file04", M::File},
    {Cmd::MenuExi, "MenuExi", M::File, true},

    {Cmd::MenuVar, "MenuVar", M::Fractal},
    {Cmd::MenuCal, "MenuCal", M::Fractal, true},
    {Cmd::MenuSto, "MenuSto", M::Fractal},
    {Cmd::MenuEff, "MenuEff", M::Fractal},
    {Cmd::MenuPos, "MenuPos", M::Fractal, true},
    {Cmd::MenuRet, "MenuRet", M::Fractal},

    {Cmd::MenuRotateOut, "MenuRotateOut", M::Colors},
    {Cmd::MenuRotateIn, "MenuRotateIn", M::Colors},
    {Cmd::MenuPal8, "MenuPal8", M::Colors, true},
    {Cmd::MenuCoul24, "MenuCoul24", M::Colors},
    {Cmd::MenuPalSys, "MenuPalSys", M::Colors, true},

    {Cmd::Menu3DParam, "Menu3DParam", M::View3D},
    {Cmd::MenuDraw2D, "MenuDraw2D", M::View3D},

    {Cmd::MenuSeeAll, "MenuSeeAll", M::Measuring},
    {Cmd::MenuSee100, "MenuSee100", M::Measuring},
    {Cmd::MenuGoto, "MenuGoto", M::Measuring, true},
    {Cmd::MenuIter, "MenuIter", M::Measuring, true},
    {Cmd::MenuOrb, "MenuOrb", M::Measuring},
    {Cmd::MenuProfilH, "MenuProfilH", M::Measuring},
    {Cmd::MenuMarker, "MenuMarker", M::Measuring, true, true},
    {Cmd::MenuDeleteMkr, "MenuDeleteMkr", M::Measuring},

    {Cmd::MenuNone, "MenuNone", M::Filters, false, true},
    {Cmd::MenuEdg, "MenuEdg", M::Filters, false, true},
    {Cmd::MenuRelief, "MenuRelief", M::Filters, false, true},

    {Cmd::PopVar, "PopVar", M::Popup2D},
    {Cmd::PopColor, "PopColor", M::Popup2D},
    {Cmd::PopCalcul, "PopCalcul", M::Popup2D, true},
    {Cmd::PopCalculZ, "PopCalculZ", M::Popup2D},
    {Cmd::PopStop, "PopStop", M::Popup2D},
    {Cmd::PopErase, "PopErase", M::Popup2D},
    {Cmd::PopCenter, "PopCenter", M::Popup2D, true},
    {Cmd::PopZoom, "PopZoom", M::Popup2D},
    {Cmd::PopJulia, "PopJulia", M::Popup2D},
    {Cmd::PopPert, "PopPert", M::Popup2D},
    {Cmd::PopSeeAll, "PopSeeAll", M::Popup2D, true},
    {Cmd::PopSee100, "PopSee100", M::Popup2D},
    {Cmd::PopAzimut, "PopAzimut", M::Popup2D, true},
    {Cmd::PopDraw3D, "PopDraw3D", M::Popup2D},
    {Cmd::PopMarker, "PopMarker", M::Popup2D, true},
    {Cmd::PopShowMarker, "PopShowMarker", M::Popup2D, false, true},

    {Cmd::Pop3DParameters, "Pop3DParameters", M::Popup3D},
    {Cmd::Pop3DDraw2D, "Pop3DDraw2D", M::Popup3D},
    {Cmd::Pop3DColor, "Pop3DColor", M::Popup3D},
    {Cmd::Pop3DAzimuth, "Pop3DAzimuth", M::Popup3D, true},
    {Cmd::Pop3DDeplY, "Pop3DDeplY", M::Popup3D},
    {Cmd::Pop3DShowMarker, "Pop3DShowMarker", M::Popup3D, true, true},

    {Cmd::MenuBack, "MenuBack", M::Fractal, true},
    {Cmd::MenuForward, "MenuForward", M::Fractal},
    {Cmd::PopBack, "PopBack", M::Popup2D, true},
    {Cmd::PopForward, "PopForward", M::Popup2D},
}};

constexpr bool tableInOrder()
{
    for (size_t i = 0; i < Table.size(); ++i)
        if (size_t(Table[i].cmd) != i)
            return false;
    return true;
}
static_assert(tableInOrder(), "the command table is indexed by Cmd");

// Features still to come. Remove a command from here when its feature lands.
constexpr std::array<Cmd, 0> Pending = {};

CommandRule enabledIf(bool enabled)
{
    return CommandRule{enabled, true, false};
}

}  // namespace

std::span<const CommandInfo> commandTable()
{
    return Table;
}

const CommandInfo& commandInfo(Cmd cmd)
{
    return Table[size_t(cmd)];
}

Cmd topLevelCommand(MenuId menu)
{
    switch (menu) {
    case M::File: return Cmd::MenuFil;
    case M::Fractal: return Cmd::MenuFra;
    case M::Colors: return Cmd::MenuCol;
    case M::View3D: return Cmd::Menu3D;
    case M::Measuring: return Cmd::MenuMes;
    case M::Filters: return Cmd::MenuFit;
    case M::About: return Cmd::MenuAbo;
    case M::Popup2D:
    case M::Popup3D: break;
    }
    return Cmd::Count;
}

bool isTopLevel(Cmd cmd)
{
    return cmd <= Cmd::MenuAbo;
}

Cmd recentFileCommand(int index)
{
    return Cmd(int(Cmd::file01) + index);
}

CommandRule ruleFor(Cmd cmd, const CommandState& s)
{
    const bool noFilter = s.filter == 0;
    const bool image8 = s.image && !s.pixelFormat24;
    switch (cmd) {
    case Cmd::MenuFil:
    case Cmd::MenuAbo:
    case Cmd::MenuPrintCfg:
    case Cmd::MenuPre:
    case Cmd::MenuExi:
        return enabledIf(true);
    case Cmd::MenuFra: return enabledIf(!s.view3D && noFilter);
    case Cmd::MenuCol: return enabledIf(!s.touchUpRunning && noFilter);
    case Cmd::Menu3D: return enabledIf(s.image && !s.touchUpRunning && noFilter);
    case Cmd::MenuMes: return enabledIf(s.image && !s.view3D);
    case Cmd::MenuFit: return enabledIf(s.image && !s.view3D && s.pixelFormat24);

    case Cmd::MenuNew:
    case Cmd::MenuOpenFrac:
    case Cmd::MenuVar:
        return enabledIf(s.idle);
    case Cmd::MenuSaveFrac: return enabledIf(s.idle && s.modified && s.image);
    case Cmd::MenuSaveAsFrac: return enabledIf(s.idle && s.image && !s.stale);
    case Cmd::MenuSavePict: return enabledIf(s.image);
    case Cmd::MenuPrint:
    case Cmd::MenuPrintPar:
        return enabledIf(s.idle && s.image);
    case Cmd::MenuInfos: return enabledIf(s.image);
    case Cmd::file05: return CommandRule{true, s.recentFile[0], false};
    case Cmd::file01:
    case Cmd::file02:
    case Cmd::file03:
    case Cmd::file04:
        // Opening replaces the workspace, so it waits for an idle engine like Open does.
        return CommandRule{s.idle, s.recentFile[int(cmd) - int(Cmd::file01)], false};

    case Cmd::MenuCal: return enabledIf(s.idle && s.image);
    case Cmd::MenuSto: return enabledIf(!s.idle);
    case Cmd::MenuEff: return enabledIf(s.idle && s.image);
    case Cmd::MenuPos:
    case Cmd::MenuRet:
        return enabledIf(s.idle && s.image && !s.stale);

    // Rotation and the system palette recolour every row of the picture, which a computation
    // running on another thread is writing: they wait for an idle engine.
    case Cmd::MenuRotateOut:
    case Cmd::MenuRotateIn:
        return enabledIf(image8 && s.idle);
    case Cmd::MenuPal8: return enabledIf(!s.pixelFormat24);
    case Cmd::MenuCoul24: return enabledIf(s.pixelFormat24 && s.screenDepth >= 16);
    case Cmd::MenuPalSys: return enabledIf(!s.pixelFormat24 && s.idle);

    case Cmd::Menu3DParam: return enabledIf(!s.stale);
    case Cmd::MenuDraw2D: return enabledIf(s.view3D);

    case Cmd::MenuSeeAll:
    case Cmd::PopSeeAll:
        return enabledIf(s.fitPossible);
    case Cmd::MenuSee100:
    case Cmd::PopSee100:
        return enabledIf(!s.scaleIsOne);
    case Cmd::MenuGoto: return enabledIf(s.idle && !s.stale && s.image && s.markersAvailable);
    case Cmd::MenuIter: return enabledIf(s.idle && !s.stale && s.image && !s.view3D);
    case Cmd::MenuOrb: return enabledIf(engine::traits(s.fractalType).orbits && s.image && !s.view3D);
    case Cmd::MenuProfilH: return enabledIf(s.idle && s.image && (s.algorithm == 0 || s.algorithm == 2));
    case Cmd::MenuMarker:
        return CommandRule{s.idle && !s.stale && s.image && s.markersAvailable, true, s.markersShown};
    case Cmd::MenuDeleteMkr: return enabledIf(s.anyMarkerPlaced && s.markersAvailable);

    case Cmd::MenuNone: return CommandRule{true, true, s.filter == 0};
    case Cmd::MenuEdg: return CommandRule{true, true, s.filter == 1};
    case Cmd::MenuRelief: return CommandRule{true, true, s.filter == 2};

    case Cmd::PopVar:
    case Cmd::PopCalcul:
    case Cmd::PopErase:
        return enabledIf(s.idle && noFilter);
    case Cmd::PopColor: return enabledIf((!s.pixelFormat24 || s.screenDepth >= 16) && noFilter);
    case Cmd::PopCalculZ: return enabledIf(s.idle && s.resumeLine != 0 && noFilter);
    case Cmd::PopStop: return enabledIf(!s.idle);
    case Cmd::PopCenter:
    case Cmd::PopZoom:
    case Cmd::PopAzimut:
    case Cmd::PopDraw3D:
        return enabledIf(!s.stale && noFilter);
    case Cmd::PopJulia:
        return enabledIf(engine::traits(s.fractalType).hasJuliaPartner && s.pertZero && !s.stale && noFilter);
    case Cmd::PopPert:
        return enabledIf(engine::traits(s.fractalType).hasJuliaPartner && s.algorithm == 0 && !s.stale && noFilter);
    case Cmd::PopMarker: return enabledIf(s.markersAvailable);
    case Cmd::PopShowMarker:
    case Cmd::Pop3DShowMarker:
        return CommandRule{s.markersAvailable, true, s.markersShown};

    case Cmd::Pop3DParameters:
    case Cmd::Pop3DDraw2D:
    case Cmd::Pop3DColor:
    case Cmd::Pop3DDeplY:
        return enabledIf(true);
    case Cmd::Pop3DAzimuth: return enabledIf(s.elevation > 14);

    case Cmd::MenuBack: return enabledIf(s.idle && s.canGoBack);
    case Cmd::MenuForward: return enabledIf(s.idle && s.canGoForward);
    case Cmd::PopBack: return enabledIf(s.idle && s.canGoBack && noFilter);
    case Cmd::PopForward: return enabledIf(s.idle && s.canGoForward && noFilter);

    case Cmd::Count: break;
    }
    return enabledIf(false);
}

std::span<const Cmd> pendingCommands()
{
    return Pending;
}

bool isPending(Cmd cmd)
{
    return std::find(Pending.begin(), Pending.end(), cmd) != Pending.end();
}

CommandRule effectiveRule(Cmd cmd, const CommandState& s)
{
    CommandRule rule = ruleFor(cmd, s);
    if (!isTopLevel(cmd)) {
        const Cmd top = topLevelCommand(commandInfo(cmd).menu);
        if (top != Cmd::Count && !ruleFor(top, s).enabled)
            rule.enabled = false;
    }
    return rule;
}

CommandRule availableRule(Cmd cmd, const CommandState& s)
{
    CommandRule rule = effectiveRule(cmd, s);
    if (isPending(cmd))
        rule.enabled = false;
    return rule;
}

}  // namespace ui
