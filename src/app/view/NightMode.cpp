#include "app/view/NightMode.h"

#include <QApplication>
#include <QPalette>
#include <QString>

#include <optional>

namespace tavik {

namespace {

// Dark red text and lines on black; the highlight is a slightly brighter red
// on a very dark red so that a chosen item is still seen.
const QColor kBlack(0, 0, 0);
const QColor kRed(0xA0, 0, 0);
const QColor kDimRed(0x50, 0, 0);
const QColor kDarkRed(0x30, 0, 0);

QPalette RedPalette() {
    QPalette p;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor text = g == QPalette::Disabled ? kDimRed : kRed;
        p.setColor(g, QPalette::Window, kBlack);
        p.setColor(g, QPalette::Base, kBlack);
        p.setColor(g, QPalette::AlternateBase, kBlack);
        p.setColor(g, QPalette::Button, kBlack);
        p.setColor(g, QPalette::ToolTipBase, kBlack);
        p.setColor(g, QPalette::WindowText, text);
        p.setColor(g, QPalette::Text, text);
        p.setColor(g, QPalette::ButtonText, text);
        p.setColor(g, QPalette::ToolTipText, text);
        p.setColor(g, QPalette::PlaceholderText, kDimRed);
        p.setColor(g, QPalette::BrightText, kRed);
        p.setColor(g, QPalette::Highlight, kDarkRed);
        p.setColor(g, QPalette::HighlightedText, kRed);
        p.setColor(g, QPalette::Link, kRed);
        p.setColor(g, QPalette::LinkVisited, kRed);
        p.setColor(g, QPalette::Light, kDimRed);
        p.setColor(g, QPalette::Midlight, kDarkRed);
        p.setColor(g, QPalette::Mid, kDarkRed);
        p.setColor(g, QPalette::Dark, kDarkRed);
        p.setColor(g, QPalette::Shadow, kBlack);
    }
    return p;
}

// Styles that draw some parts from their own colours (menu bars, tool buttons,
// check boxes) follow the sheet.
QString RedStyleSheet() {
    return QStringLiteral(
        "QWidget { background-color: #000000; color: #a00000; }"
        "QMenuBar, QMenu, QToolBar, QToolTip { background-color: #000000; color: #a00000;"
        " border: 1px solid #300000; }"
        "QMenuBar::item:selected, QMenu::item:selected { background-color: #300000; }"
        "QMenu::item:disabled, QWidget:disabled { color: #500000; }"
        "QPushButton, QToolButton, QComboBox, QLineEdit, QSpinBox {"
        " background-color: #000000; color: #a00000; border: 1px solid #500000; }"
        "QToolButton:checked, QPushButton:pressed { background-color: #300000; }");
}

struct Saved {
    QPalette palette;
    QString styleSheet;
};
std::optional<Saved> g_saved;  // set while the red palette is in force

}  // namespace

void ApplyNightMode(QApplication& app, bool red) {
    if (red == g_saved.has_value()) return;
    if (red) {
        g_saved = Saved{QApplication::palette(), app.styleSheet()};
        QApplication::setPalette(RedPalette());
        app.setStyleSheet(RedStyleSheet());
    } else {
        QApplication::setPalette(g_saved->palette);
        app.setStyleSheet(g_saved->styleSheet);
        g_saved.reset();
    }
}

bool NightModeActive() { return g_saved.has_value(); }

}  // namespace tavik
