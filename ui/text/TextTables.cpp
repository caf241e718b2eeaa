#include "ui/text/TextTables.h"

#include <array>

#include "ui/text/ColourEditorTexts.h"
#include "ui/text/DialogTexts.h"
#include "ui/text/MenuTexts.h"
#include "ui/text/MessageTexts.h"
#include "ui/text/NavigationTexts.h"
#include "ui/text/PrintExportTexts.h"
#include "ui/text/StatusTexts.h"
#include "ui/text/ToolTexts.h"
#include "ui/text/VariablesTexts.h"
#include "ui/text/ViewTexts.h"
#include "ui/text/CatalogueTexts.h"

namespace text {

std::span<const TextTableInfo> allTextTables()
{
    static const std::array<TextTableInfo, 24> tables = {{
        {"MessageText", messageTable(), 0},
        {"MainMenuText", mainMenuTable(), 0},
        {"Popup2DText", popup2DTable(), 0},
        {"Popup3DText", popup3DTable(), 0},
        {"StatusText", statusTable(), 0},
        {"VariablesText", variablesTable(), 1},
        {"MarkerText", markerTable(), 1},
        {"PreferencesText", preferencesTable(), 1},
        {"OrbitText", orbitTable(), 1},
        {"ProfileText", profileTable(), 1},
        {"InfosText", infosTable(), 1},
        {"ExportText", exportTable(), 1},
        {"PrintText", printTable(), 1},
        {"PaletteEditorText", paletteEditorTable(), 1},
        {"ColourTableEditorText", colourTableEditorTable(), 1},
        {"ColourEditorA11yText", colourEditorA11yTable(), 1},
        {"Params3DText", params3DTable(), 1},
        {"FilterText", filterTable(), 1},
        {"CatalogueList::Algorithms", catalogueTable(CatalogueList::Algorithms), 0},
        {"CatalogueList::BoundaryTypes", catalogueTable(CatalogueList::BoundaryTypes), 0},
        {"CatalogueList::TableModes", catalogueTable(CatalogueList::TableModes), 0},
        {"CatalogueList::TransferFunctions", catalogueTable(CatalogueList::TransferFunctions), 0},
        {"ToolText", toolTable(), 1},
        {"NavigationText", navigationTable(), 1},
    }};
    return tables;
}

}  // namespace text
