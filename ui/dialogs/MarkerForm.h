#pragma once

#include <QDialog>
#include <QPoint>
#include <string>

#include "document/Markers.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ui {

class TMainForm;

// `TMarkerForm`, "Marker Properties": the plane position of one marker (XEdit, YEdit, with the key
// filter of the plane fields), its pixel, its text (MarkerMemo, at most 80 characters, with "Used text:
// n/80" under it) and its shape (TComboBox). "Delete" closes the dialog as cancelled with deleted()
// set. In the 3D view only Delete, OK and Cancel can be used.
class TMarkerForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int TextLength = 80;
    struct Values {
        double x = 0, y = 0;
        std::string text;  // UTF-8
        document::MarkerShape shape = document::MarkerShape::Simple;
    };
    TMarkerForm(int number, const Values& values, QPoint pixel, bool view3D, int language, bool hints,
                QWidget* parent = nullptr);

    // What the fields hold now (a position field that cannot be read keeps the marker's value).
    Values values() const;
    // The position, the text or the shape differ from the marker's.
    bool changed() const;
    bool deleted() const { return m_deleted; }
    QString usedText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textEdited();

    Values m_initial;
    int m_language;
    QLineEdit* m_xEdit;
    QLineEdit* m_yEdit;
    QLabel* m_pixel;
    QPlainTextEdit* m_memo;
    QLabel* m_used;
    QComboBox* m_shape;
    QPushButton* m_delete;
    bool m_deleted = false;
};

// The double-click on the picture: the properties of the marker under the pixel (as shown), when there
// is one. OK in the plain view moves, re-labels or re-shapes it (a position outside the image deletes
// it); Delete deletes it. True when a marker was under the pixel.
bool runMarkerPropertiesCommand(TMainForm& window, QPoint shownPixel);

}  // namespace ui
