#include <gtest/gtest.h>

#include <string>

#include "engine/Catalogue.h"
#include "ui/text/CatalogueTexts.h"
#include "ui/text/ColourEditorTexts.h"
#include "ui/text/DialogTexts.h"
#include "ui/text/MenuTexts.h"
#include "ui/text/MessageTexts.h"
#include "ui/text/PrintExportTexts.h"
#include "ui/text/StatusTexts.h"
#include "ui/text/TextTables.h"
#include "ui/text/VariablesTexts.h"
#include "ui/text/ViewTexts.h"

using namespace text;

namespace {

// Number of characters of a UTF-8 text, or -1 when it is not valid UTF-8.
int utf8Length(std::string_view s)
{
    int count = 0;
    for (size_t i = 0; i < s.size(); ++count) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t extra;
        if (c < 0x80)
            extra = 0;
        else if ((c & 0xE0) == 0xC0)
            extra = 1;
        else if ((c & 0xF0) == 0xE0)
            extra = 2;
        else if ((c & 0xF8) == 0xF0)
            extra = 3;
        else
            return -1;
        for (size_t k = 1; k <= extra; ++k)
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return -1;
        i += extra + 1;
    }
    return count;
}

}  // namespace

TEST(TextTables, EveryEntryHasBothLanguages)
{
    size_t total = 0;
    for (const TextTableInfo& table : allTextTables()) {
        SCOPED_TRACE(table.name);
        EXPECT_FALSE(table.entries.empty());
        for (size_t i = 0; i < table.entries.size(); ++i) {
            SCOPED_TRACE("entry " + std::to_string(i + size_t(table.firstId)));
            const Bilingual& e = table.entries[i];
            for (std::string_view t : {e.english, e.french}) {
                EXPECT_FALSE(t.empty());
                // No entry is longer than 45 characters; all are valid UTF-8.
                const int length = utf8Length(t);
                EXPECT_GE(length, 1) << t;
                EXPECT_LE(length, 45) << t;
                EXPECT_EQ(t.data()[t.size()], '\0');  // usable where a C string is expected
            }
        }
        // The window's own later additions are counted apart (their size is checked where they are defined).
        if (table.name != "NavigationText")
            total += table.entries.size();
    }
    // 6 + 42 + 17 + 6 + 32 + 47 + 19 + 20 + 5 + 2 + 2 + 11 + 23 + 24 + 29 + 11 + 13 entries of the
    // window tables, 16 screen-reader texts of the colour editors, 6 + 3 + 2 + 6 names of the catalogue
    // lists and the 7 texts of the tool windows.
    EXPECT_EQ(total, 309u + 16u + 17u + 7u);
}

// Status prompts are copied into a 40-character buffer before they are shown.
TEST(TextTables, StatusTextsFitThePromptBuffer)
{
    for (const Bilingual& e : statusTable()) {
        SCOPED_TRACE(std::string(e.english));
        EXPECT_LE(utf8Length(e.english), 40);
        EXPECT_LE(utf8Length(e.french), 40);
    }
}

// Reference texts copied from the bilingual tables of the program's design, chosen for their
// accelerators, trailing blanks, accents, quotes and the places where the two languages differ.
TEST(TextTables, SpotChecks)
{
    const struct { std::string_view got[2]; const char* english; const char* french; } cases[] = {
        {{lookup(MessageText::SaveQuestion, 0), lookup(MessageText::SaveQuestion, 1)},
         "Save current Fractal ?", "Enregistrer la Fractale en cours ?"},
        {{lookup(MessageText::MarkerTitle, 0), lookup(MessageText::MarkerTitle, 1)}, "Marker", "Repères"},
        {{lookup(MainMenuText::MenuFil, 0), lookup(MainMenuText::MenuFil, 1)}, "&File", "&Fichier"},
        {{lookup(MainMenuText::MenuSavePict, 0), lookup(MainMenuText::MenuSavePict, 1)},
         "&Export Image", "E&xporter image"},
        {{lookup(MainMenuText::MenuPalSys, 0), lookup(MainMenuText::MenuPalSys, 1)},
         "Apply &system Palette", "Appliquer palette de &Windows"},
        {{lookup(MainMenuText::MenuCoul24, 0), lookup(MainMenuText::MenuCoul24, 1)}, "24 bits&Color", "&Couleurs 24 bits"},
        {{lookup(MainMenuText::MenuSee100, 0), lookup(MainMenuText::MenuSee100, 1)},
         "&Display at 100%", "Afficher à &100%"},
        {{lookup(MainMenuText::MenuAbo, 0), lookup(MainMenuText::MenuAbo, 1)}, "&About", "&A propos"},
        {{lookup(Popup2DText::PopCalcul, 0), lookup(Popup2DText::PopCalcul, 1)}, "Compute ", "Calculer "},
        {{lookup(Popup2DText::PopCalculFromLine, 0), lookup(Popup2DText::PopCalculFromLine, 1)},
         "from line ", "depuis la ligne "},
        {{lookup(Popup2DText::PopPert, 0), lookup(Popup2DText::PopPert, 1)}, "Choose PertZ & PertZi", "Choisir PertZ & PertZi"},
        {{lookup(Popup3DText::Pop3DDeplY, 0), lookup(Popup3DText::Pop3DDeplY, 1)}, "Vertical Shift", "Déplacement vertical"},
        {{lookup(StatusText::NotEnoughMemory, 0), lookup(StatusText::NotEnoughMemory, 1)},
         "Not enough memory to open file", "Memoire insuffisante"},
        {{lookup(StatusText::ZoomCorner2, 0), lookup(StatusText::ZoomCorner2, 1)}, "2st corner of Zoom: ", "2em point du Zoom: "},
        {{lookup(StatusText::NoMarkerAvailable, 0), lookup(StatusText::NoMarkerAvailable, 1)},
         "No Marker available.", "Pas de repères à disposition."},
        {{lookup(VariablesText::DistanceAlgorithm, 0), lookup(VariablesText::DistanceAlgorithm, 1)},
         "Distance algorithm ", "Algorithme de Filaments "},
        {{lookup(VariablesText::ImageSizeLabel, 0), lookup(VariablesText::ImageSizeLabel, 1)}, "Image Size: ", "Taille:   "},
        {{lookup(VariablesText::Scale, 0), lookup(VariablesText::Scale, 1)}, "Scale:   ", "Echelle:"},
        {{lookup(VariablesText::HeighPixels, 0), lookup(VariablesText::HeighPixels, 1)}, "Heigh (pixels):", "Hauteur (pixels):"},
        {{lookup(VariablesText::CurrentColourConfiguration, 0), lookup(VariablesText::CurrentColourConfiguration, 1)},
         "The current color configuration is", "Le système de couleur en cours est"},
        {{lookup(MarkerText::UsedText, 0), lookup(MarkerText::UsedText, 1)}, "Used text: ", "Texte utilisé: "},
        {{lookup(PreferencesText::ActivateHints, 0), lookup(PreferencesText::ActivateHints, 1)},
         "Activate Hints", "Activer les \"Hints\""},
        {{lookup(PreferencesText::MarkerColor, 0), lookup(PreferencesText::MarkerColor, 1)}, "Marker Color", "Couleur des Repères."},
        {{lookup(OrbitText::ColorOrbits, 0), lookup(OrbitText::ColorOrbits, 1)}, "Color Orbits", "Couleur"},
        {{lookup(ProfileText::PosY, 0), lookup(ProfileText::PosY, 1)}, "PosY: ", "PosY: "},
        {{lookup(InfosText::FractalInfos, 0), lookup(InfosText::FractalInfos, 1)}, "Fractal Infos", "Infos de la fractale"},
        {{lookup(ExportText::Bmp, 0), lookup(ExportText::Bmp, 1)}, "BMP (Windows Bitmap)", "BMP (Bitmap Windows)"},
        {{lookup(ExportText::Dither, 0), lookup(ExportText::Dither, 1)}, "Dither", "Simulation:"},
        {{lookup(PrintText::CalculatedWithVorex, 0), lookup(PrintText::CalculatedWithVorex, 1)},
         "Fractal calculated with Vorex ", "Fractale calculée avec Vorex "},
        {{lookup(PrintText::Detail, 0), lookup(PrintText::Detail, 1)}, "&Detail", "&Détails"},
        {{lookup(PaletteEditorText::ClickToSeeBoundary, 0), lookup(PaletteEditorText::ClickToSeeBoundary, 1)},
         "Click on palette to see boundary.", "Voir une frontière: cliquer sur la palette."},
        {{lookup(PaletteEditorText::ViewModifications, 0), lookup(PaletteEditorText::ViewModifications, 1)},
         "View modifications", "Prévue des modifications"},
        {{lookup(ColourTableEditorText::ColorBoundariesType, 0), lookup(ColourTableEditorText::ColorBoundariesType, 1)},
         "Color Boundaries type:", "Type de projection:"},
        {{lookup(ColourTableEditorText::ResetZoom, 0), lookup(ColourTableEditorText::ResetZoom, 1)},
         "Reset Zoom to 1X", "Reset Zoom table des couleurs"},
        {{lookup(Params3DText::Caption, 0), lookup(Params3DText::Caption, 1)}, "3D Parameters ", "Paramètres 3D "},
        {{lookup(FilterText::LightAngle, 0), lookup(FilterText::LightAngle, 1)}, "Light angle:", "Angle d'éclairage:"},
        {{catalogueName(CatalogueList::TransferFunctions, 3, 0), catalogueName(CatalogueList::TransferFunctions, 3, 1)},
         "Logarithmic base10", "Logarithmique base10"},
        {{catalogueName(CatalogueList::TableModes, 1, 0), catalogueName(CatalogueList::TableModes, 1, 1)},
         "Calculated", "Calculée"},
        {{catalogueName(CatalogueList::BoundaryTypes, 2, 0), catalogueName(CatalogueList::BoundaryTypes, 2, 1)},
         "Square root", "Racine carrée"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.english);
        EXPECT_EQ(c.got[0], c.english);
        EXPECT_EQ(c.got[1], c.french);
    }
}

// Switching to French changes the top-level captions to these; the English forms of the two
// "Working" messages are equal while the French ones tell 2D from 3D.
TEST(TextTables, DocumentedLanguageDifferences)
{
    const std::pair<MainMenuText, const char*> topLevel[] = {
        {MainMenuText::MenuFil, "&Fichier"}, {MainMenuText::MenuFra, "F&ractale"}, {MainMenuText::MenuCol, "&Couleurs"},
        {MainMenuText::Menu3D, "&3D"}, {MainMenuText::MenuMes, "&Mesurer"}, {MainMenuText::MenuFit, "Fil&tres"},
        {MainMenuText::MenuAbo, "&A propos"},
    };
    for (const auto& [id, french] : topLevel)
        EXPECT_EQ(lookup(id, French), french);

    EXPECT_EQ(lookup(StatusText::Working, English), "Working... Press [Esc] to stop");
    EXPECT_EQ(lookup(StatusText::Working3D, English), lookup(StatusText::Working, English));
    EXPECT_EQ(lookup(StatusText::Working, French), "Calcule... [Esc] pour arrêter");
    EXPECT_EQ(lookup(StatusText::Working3D, French), "Calcule 3D... [Esc] pour arrêter");
    EXPECT_EQ(lookup(MainMenuText::MenuEff, French), "&Effacer");
}

TEST(TextTables, UnknownLanguageFallsBackToEnglish)
{
    for (int language : {2, -1, 255, 1000}) {
        SCOPED_TRACE(language);
        EXPECT_EQ(lookup(MainMenuText::MenuCal, language), "&Compute");
        EXPECT_EQ(lookup(VariablesText::Yes, language), "Yes");
        EXPECT_EQ(catalogueName(CatalogueList::Algorithms, 1, language), "Distance");
    }
}

TEST(TextTables, IdsOutsideATableGiveNothing)
{
    EXPECT_EQ(lookup(MainMenuText::End, English), "");
    EXPECT_EQ(lookup(VariablesText::End, French), "");
    EXPECT_EQ(lookup(static_cast<VariablesText>(0), English), "");  // numbered tables start at 1
    EXPECT_EQ(lookup(VariablesText::Caption, English), "Fractal variables");
    EXPECT_EQ(lookup(VariablesText::CorrectColourQuestion, French), "Corriger le système de couleur ?");
    EXPECT_EQ(catalogueName(CatalogueList::Algorithms, 6, English), "");
    EXPECT_EQ(catalogueName(CatalogueList::Algorithms, -1, English), "");
    EXPECT_EQ(catalogueName(CatalogueList::End, 0, English), "");
}

// The algorithm names are also held by the fractal catalogue; both must agree.
TEST(TextTables, AlgorithmNamesAgreeWithTheCatalogue)
{
    for (int language = 0; language < LanguageCount; ++language)
        for (int algorithm = 0; algorithm < engine::AlgorithmCount; ++algorithm) {
            SCOPED_TRACE(algorithm);
            EXPECT_EQ(catalogueName(CatalogueList::Algorithms, algorithm, language),
                      engine::algorithmName(algorithm, language));
        }
}
