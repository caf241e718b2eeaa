#include "storage/VariablesSummary.h"

#include <cmath>

#include "engine/Catalogue.h"
#include "engine/NumberFormat.h"
#include "ui/text/VariablesTexts.h"

namespace storage {
namespace {

constexpr int GeneralDigits = 16;
constexpr int ScientificDigits = 16;
constexpr int ExponentDigits = 4;

class Lines {
public:
    void add(std::string_view label, const std::string& value)
    {
        m_text.append(label);
        m_text += '\t';
        m_text += value;
        m_text += "\r\n";
    }
    std::string take() { return std::move(m_text); }

private:
    std::string m_text;
};

std::string general(double v) { return engine::formatGeneral(v, GeneralDigits); }
std::string scientific(double v) { return engine::formatScientific(v, ScientificDigits, ExponentDigits); }

// The fn(Z)C types use the level only with exp, and the text does not show it for them.
bool showsEscapeLevel(const engine::TypeTraits& t, int algorithm)
{
    return t.escapeLevel == engine::EscapeLevelUse::Always
        && (algorithm == engine::AlgLevel || algorithm == engine::AlgLevelDistance || algorithm == engine::AlgBinary);
}

// The labels of the type constant; these exist in one form only.
struct ConstantLabels {
    std::string_view real, imag;
};
ConstantLabels constantLabels(engine::ParamCRole role)
{
    switch (role) {
    case engine::ParamCRole::JuliaC: return {"Julia Cr: ", "Julia Ci:"};
    case engine::ParamCRole::MagnetismQ: return {"Magnet.Qr: ", "Magnet.Qi:"};
    case engine::ParamCRole::PhoenixC: return {"Phoenix.Cr: ", "Phoenix.Ci:"};
    case engine::ParamCRole::VolterraHK: return {"Voltera h: ", "Voltera k:"};
    case engine::ParamCRole::None: break;
    }
    return {};
}

}  // namespace

std::string VariablesSummary(const engine::FractalParams& p, int language)
{
    using text::VariablesText;
    const auto label = [language](VariablesText id) { return text::lookup(id, language); };
    const engine::TypeTraits& t = engine::traits(p.FractalType);
    Lines lines;

    std::string typeText(t.name);
    if (t.hasNewtonP)
        typeText += "^" + std::to_string(p.NewtonP);
    lines.add(label(VariablesText::FractalLabel), typeText);
    if (t.hasFunction)
        lines.add(std::string(label(VariablesText::Function)) + " fn:", std::string(engine::functionName(p.FunctionIndex)));
    lines.add(label(VariablesText::Algorithm), std::string(engine::algorithmName(p.Algorithm, language)));
    lines.add(label(VariablesText::ImageSizeLabel), std::to_string(p.Width) + "x" + std::to_string(p.Height));
    lines.add(label(VariablesText::XCenter), general(p.CentreX));
    lines.add(label(VariablesText::YCenter), general(p.CentreY));
    lines.add(label(VariablesText::CalculationStep), scientific(p.Step));
    lines.add(label(VariablesText::Scale), scientific(engine::zoomFromStep(p.Step)));
    lines.add(label(VariablesText::Iterations), std::to_string(p.MaxIter));
    if (showsEscapeLevel(t, p.Algorithm))
        lines.add(label(VariablesText::EscapeLevelShort),
                  std::to_string(std::lround(std::sqrt(double(p.EscapeLevelSq)))));
    if (const ConstantLabels c = constantLabels(t.paramC); !c.real.empty()) {
        lines.add(c.real, general(p.ParamCr));
        lines.add(c.imag, general(p.ParamCi));
    }
    if (t.pertZInSummary && !(p.PertZr == 0.0 && p.PertZi == 0.0)) {
        lines.add("Pertub.Zr: ", general(p.PertZr));
        lines.add("Pertub.Zi:", general(p.PertZi));
    }
    if (engine::usesOrbitArrays(p.Algorithm))
        lines.add("Delta:  ", std::to_string(p.Delta));
    return lines.take();
}

}  // namespace storage
