#include "app/layout_palette.h"

QPalette layoutPalette()
{
    const QColor face(239, 239, 239);
    const QColor dark = face.darker(150);
    const QColor mid = face.darker(130);
    QPalette palette;
    for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        const bool disabled = group == QPalette::Disabled;
        const QColor text = disabled ? QColor(190, 190, 190) : QColor(Qt::black);
        palette.setColor(group, QPalette::Window, face);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, disabled ? face : QColor(Qt::white));
        palette.setColor(group, QPalette::AlternateBase, face);
        palette.setColor(group, QPalette::ToolTipBase, QColor(0, 255, 255));
        palette.setColor(group, QPalette::ToolTipText, Qt::black);
        palette.setColor(group, QPalette::PlaceholderText, QColor(0, 0, 0, 128));
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Button, face);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::BrightText, Qt::white);
        palette.setColor(group, QPalette::Light, face.lighter(150));
        palette.setColor(group, QPalette::Midlight, mid.lighter(110));
        palette.setColor(group, QPalette::Dark, dark);
        palette.setColor(group, QPalette::Mid, mid);
        palette.setColor(group, QPalette::Shadow, dark.darker(135));
        palette.setColor(group, QPalette::Highlight,
                         group == QPalette::Active ? QColor(48, 140, 198) : QColor(145, 141, 126));
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::Link, Qt::blue);
        palette.setColor(group, QPalette::LinkVisited, Qt::magenta);
    }
    return palette;
}
