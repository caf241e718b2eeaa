#include "ui/tools/ProfilForm.h"
// The tool texts come before ui/Texts.h so that its tx() sees their lookup().
#include "ui/text/ToolTexts.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "document/Fractal.h"
#include "ui/ImageView.h"
#include "ui/MainForm.h"
#include "ui/Texts.h"
#include "ui/modes/ModeBinding.h"

namespace ui {

namespace {

using text::ProfileText;

const QColor ProfileGreen(0, 255, 0);
const QColor MaxGrey(128, 128, 128);
const QColor OriginalRed(255, 0, 0);
const QColor LabelGrey(192, 192, 192);
constexpr int LabelLeft = 5, TopLabelY = 3;
constexpr int WidthMargin = 10, TopOffset = 75;

}  // namespace

TProfilForm::TProfilForm(TMainForm& window)
    : QWidget(&window, Qt::Tool | Qt::WindowStaysOnTopHint), m_window(window), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("ProfilForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    m_menu->setObjectName(QStringLiteral("ProfilPopupMenu"));
    const int language = window.settings().language();
    m_zoomIn = m_menu->addAction(tx(text::ToolText::ProfileZoomIn, language));
    m_zoomIn->setObjectName(QStringLiteral("Zoom"));
    m_zoomOut = m_menu->addAction(tx(text::ToolText::ZoomHalf, language));
    m_zoomOut->setObjectName(QStringLiteral("UnZoom"));
    connect(m_zoomIn, &QAction::triggered, this, &TProfilForm::zoomIn);
    connect(m_zoomOut, &QAction::triggered, this, &TProfilForm::zoomOut);
    // From the keyboard: "+" and "-" zoom (and the menu key opens the menu).
    m_zoomIn->setShortcut(QKeySequence(Qt::Key_Plus));
    m_zoomOut->setShortcut(QKeySequence(Qt::Key_Minus));
    addActions(m_menu->actions());
    QScrollBar* bar = window.scrollBox()->horizontalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, &TProfilForm::scrolled);
    m_profile.SetScrollPosition(bar->value());
}

void TProfilForm::fill(int row)
{
    const document::TFractal& f = m_window.fractal();
    const int language = m_window.settings().language();
    QFont font = this->font();
    font.setPointSize(m_window.settings().prefs.fontSize);
    setFont(font);
    m_profile.Fill(f, row, text::lookup(ProfileText::Line, language), text::lookup(ProfileText::PosY, language));
    // As wide as the picture (and a margin), but not wider than the main window; under its top.
    const QRect main = m_window.geometry();
    const int imageWidth = m_window.mainImage()->width();
    const int width = std::min(imageWidth + WidthMargin, main.width());
    int left = main.left();
    if (imageWidth < main.width())
        left += m_window.mainImage()->mapTo(&m_window, QPoint(0, 0)).x();
    setGeometry(left, main.top() + TopOffset, width, WindowHeight);
    m_profile.SetScrollPosition(m_window.scrollBox()->horizontalScrollBar()->value());
    updateCaption();
    show();
    update();
}

void TProfilForm::updateCaption()
{
    setWindowTitle(QString::fromStdString(m_profile.Caption()));
    setAccessibleName(tx(text::ToolText::CrossSectionWindow, m_window.settings().language()) + QStringLiteral(", ")
                      + windowTitle());
    m_zoomIn->setEnabled(m_profile.CanZoomIn());
    m_zoomOut->setEnabled(m_profile.CanZoomOut());
}

void TProfilForm::zoomIn()
{
    if (!m_profile.CanZoomIn())
        return;
    m_profile.ZoomIn();
    updateCaption();
    update();
}

void TProfilForm::zoomOut()
{
    if (!m_profile.CanZoomOut())
        return;
    m_profile.ZoomOut();
    updateCaption();
    update();
}

void TProfilForm::scrolled(int position)
{
    m_profile.SetScrollPosition(position);
    update();
}

void TProfilForm::draw(QPainter& p, QSize size) const
{
    const int h = size.height();
    const document::ProfileDrawing d = m_profile.Layout(h);
    p.fillRect(QRect(QPoint(0, 0), size), Qt::black);
    if (d.MaxLine.Shown) {
        p.setPen(MaxGrey);
        p.drawLine(0, d.MaxLine.Y, size.width(), d.MaxLine.Y);
    }
    if (d.OriginalLine.Shown) {
        p.setPen(OriginalRed);
        p.drawLine(0, d.OriginalLine.Y, size.width(), d.OriginalLine.Y);
    }
    if (!d.Xs.empty()) {
        QPolygon line;
        line.reserve(qsizetype(d.Xs.size()));
        for (size_t i = 0; i < d.Xs.size(); ++i)
            line << QPoint(d.Xs[i], d.Ys[i]);
        p.setPen(ProfileGreen);
        if (line.size() > 1)
            p.drawPolyline(line);
        // Every value's own point, whatever the rasteriser leaves out at the joins.
        p.drawPoints(line);
    }
    if (d.MaxLine.Shown && d.MaxLine.Y > 0)
        p.fillRect(0, 0, size.width(), d.MaxLine.Y, Qt::black);
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPointSize(font().pointSize());
    p.setFont(courier);
    const int ascent = p.fontMetrics().ascent();
    p.setPen(LabelGrey);
    p.drawText(LabelLeft, TopLabelY + ascent, QString::fromStdString(d.TopLabel));
    p.drawText(LabelLeft, d.ZeroLabelY + ascent, QStringLiteral("0"));
    if (d.MaxLine.Labelled)
        p.drawText(LabelLeft, d.MaxLine.LabelY + ascent, QString::fromStdString(d.MaxLine.Label));
    if (d.OriginalLine.Labelled) {
        p.setPen(OriginalRed);
        p.drawText(LabelLeft, d.OriginalLine.LabelY + ascent, QString::fromStdString(d.OriginalLine.Label));
    }
}

QImage TProfilForm::render() const
{
    QImage img(size(), QImage::Format_RGB32);
    QPainter p(&img);
    draw(p, size());
    return img;
}

void TProfilForm::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    draw(p, size());
}

void TProfilForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Plus: zoomIn(); return;
    case Qt::Key_Minus: zoomOut(); return;
    default: QWidget::keyPressEvent(event);
    }
}

void TProfilForm::contextMenuEvent(QContextMenuEvent* event)
{
    updateCaption();
    m_menu->popup(event->globalPos());
}

void TProfilForm::closeEvent(QCloseEvent* event)
{
    // The row's line on the picture goes with the window.
    m_window.modes().controller().removeLines();
    emit closed();
    QWidget::closeEvent(event);
}

}  // namespace ui
