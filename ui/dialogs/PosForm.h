#pragma once

#include <QDialog>
#include <QPoint>
#include <optional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace document {
class TFractal;
}

namespace ui {

class TMainForm;
class UiServices;

// A plane point of the image as it was computed: X0 < X < X0 + W s and Y0 - H s < Y < Y0.
bool planePointInside(const document::TFractal& f, double x, double y);
// The pixel of a plane point inside the image: (round((X - X0) / s), round((Y0 - Y) / s)); nothing
// outside.
std::optional<QPoint> planeToPixel(const document::TFractal& f, double x, double y);

// The one place where the go-to changes what the window shows: both scroll bars are set so that the
// image pixel comes to the middle of the visible area.
void centreViewOn(TMainForm& window, QPoint pixel);

// A plane coordinate as the fields show it: general form, up to 16 significant digits.
QString planeText(double v);
// The value of a plane field; nothing when it cannot be read.
std::optional<double> readPlaneField(const QLineEdit* edit);

// The key filter of the plane fields: backspace, "-", ".", digits, "E" and "e" only (keys without
// printable text, the editing and moving keys, go through).
bool acceptedPlaneKey(const QString& text);

// `TPosForm`, "Move image to:": the plane point to go to, checked against the image while it is typed
// (a value outside is shown in red and OK is disabled), the centre of the image, a point read from
// another document, and whether a marker is placed there.
class TPosForm : public QDialog {
    Q_OBJECT
public:
    struct Context {
        double lastX = 0, lastY = 0;  // the last go-to point
        bool placeMarker = false;     // markers are shown
        int language = 0;
        bool hints = true;
        UiServices* services = nullptr;  // the document dialog of "Get X and Y from a file"
        QString directory;
    };
    TPosForm(const document::TFractal& f, const Context& context, QWidget* parent = nullptr);

    double x() const { return m_x; }
    double y() const { return m_y; }
    bool placeMarker() const;
    // The text of the marker: empty, or the name and type of the document the point was read from.
    const std::string& markerText() const { return m_markerText; }
    bool okEnabled() const;

    // The document's centre into the fields.
    void takeCentre();
    // A document's point into the fields: its Julia constant for a Julia document, else its centre;
    // the marker text becomes its file name + "/" + its type name. False when it cannot be read.
    bool takeFromDocument(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void check();
    void chooseDocument();

    const document::TFractal& m_fractal;
    Context m_context;
    QLineEdit* m_xEdit;
    QLineEdit* m_yEdit;
    QPushButton* m_centre;
    QPushButton* m_file;
    QCheckBox* m_marker;
    QPushButton* m_ok;
    double m_x = 0, m_y = 0;
    std::string m_markerText;
};

// "Go to": the dialog with the last go-to point; OK moves the view to the point, places a marker
// there when asked (or shows "No Marker available.") and crosses it with a vertical and a horizontal
// line until the next mode reset. True when OK was chosen.
bool runPosCommand(TMainForm& window);
// What OK of the go-to does after the dialog: the point to the middle of the view, the marker, the
// lines. False when the point lies outside the image.
bool goToPoint(TMainForm& window, double x, double y, bool placeMarker, const std::string& markerText);

}  // namespace ui
