#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/Fractal.h"

namespace document {

// One horizontal mark of the cross-section window: a line across the window at Y and, when it lies
// more than 40 pixels above the bottom, its label 13 pixels above it.
struct ProfileMark {
    bool Shown = false;
    int Y = 0;
    bool Labelled = false;
    int LabelY = 0;
    std::string Label;
};

// What the cross-section window draws in a client area of a given height (colours are the window's).
struct ProfileDrawing {
    double K = 0;                    // pixels per iteration: height x zoom / maximum iterations
    ProfileMark MaxLine;             // grey, when zoom < 1: the maximum iterations; the band above is black
    ProfileMark OriginalLine;        // red, after a touch-up: "I.Ori:" + the iterations first computed with
    std::vector<int> Xs, Ys;         // the green polyline, one point per image column
    std::string TopLabel;            // at (5, 3): round(maximum iterations / zoom)
    int ZeroLabelY = 0;              // "0" at (5, height - 43)
};

// The cross-section of one image row: its values and the vertical zoom, for the window that plots them.
class TProfile {
public:
    static constexpr double MinZoom = 0.25;
    static constexpr size_t HeadLength = 30;

    // Reads row `row` of the document's values and the parameters the drawing needs. `lineLabel` and
    // `posLabel` are "Line: " and "PosY: " in the user's language. The zoom is kept.
    void Fill(const TFractal& f, int row, std::string_view lineLabel = "Line: ", std::string_view posLabel = "PosY: ");

    int Row() const { return m_row; }
    double PlaneY() const { return m_planeY; }
    const std::vector<uint16_t>& Values() const { return m_values; }
    const std::string& Head() const { return m_head; }
    uint16_t MaxIter() const { return m_maxIter; }
    uint16_t BaseMaxIter() const { return m_baseMaxIter; }
    engine::TypeId Type() const { return m_type; }
    uint8_t Algorithm() const { return m_algorithm; }
    uint16_t EscapeValue() const { return m_escape; }
    int ImageWidth() const { return m_imageWidth; }
    int ImageHeight() const { return m_imageHeight; }

    double Zoom() const { return m_zoom; }
    bool CanZoomIn() const { return m_maxIter / m_zoom > 10; }   // "Zoom X 2"
    bool CanZoomOut() const { return m_zoom / 2 >= MinZoom; }     // "Zoom / 2"
    void ZoomIn();
    void ZoomOut();
    // Head + "  [" + zoom in shortest decimal form + "X]".
    std::string Caption() const;

    // The main picture's horizontal scroll position: the profile shifts left by it.
    void SetScrollPosition(int position) { m_offset = -position; }
    int Offset() const { return m_offset; }

    ProfileDrawing Layout(int clientHeight) const;

private:
    int m_row = 0;
    double m_planeY = 0;
    std::string m_head;
    int m_imageWidth = 0, m_imageHeight = 0;
    engine::TypeId m_type{};
    uint8_t m_algorithm = 0;
    uint16_t m_maxIter = 1, m_baseMaxIter = 1, m_escape = 4;
    bool m_uniform = true;
    std::vector<uint16_t> m_values;
    double m_zoom = 1.0;
    int m_offset = 0;
};

}  // namespace document
