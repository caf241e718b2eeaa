#include "ui/text/CatalogueTexts.h"

#include <array>

namespace text {

namespace {

constexpr std::array<Bilingual, 6> Algorithms = {{
    {"Level", "Niveau"},
    {"Distance", "Filaments"},
    {"Level+Distance", "Niveau+Filaments"},
    {"Binary", "Binaire"},
    {"Color Distance", "Distance"},
    {"Potential", "Potentiel"},
}};

constexpr std::array<Bilingual, 3> BoundaryTypes = {{
    {"Linear", "Linéaire"},
    {"Logarithmic", "Logarithmique"},
    {"Square root", "Racine carrée"},
}};

constexpr std::array<Bilingual, 2> TableModes = {{
    {"Color table", "Table des couleurs"},
    {"Calculated", "Calculée"},
}};

constexpr std::array<Bilingual, 6> TransferFunctions = {{
    {"Unity", "Unité"},
    {"Linear", "Linéaire"},
    {"Logarithmic base2", "Logarithmique base2"},
    {"Logarithmic base10", "Logarithmique base10"},
    {"Square root", "Racine carrée"},
    {"Sinus", "Sinus"},
}};

}  // namespace

std::span<const Bilingual> catalogueTable(CatalogueList list)
{
    switch (list) {
    case CatalogueList::Algorithms: return Algorithms;
    case CatalogueList::BoundaryTypes: return BoundaryTypes;
    case CatalogueList::TableModes: return TableModes;
    case CatalogueList::TransferFunctions: return TransferFunctions;
    case CatalogueList::End: break;
    }
    return {};
}

std::string_view catalogueName(CatalogueList list, int index, int language)
{
    return pick(catalogueTable(list), index, language);
}

}  // namespace text
