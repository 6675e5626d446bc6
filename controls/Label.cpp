// Label control and the system colour table.
#include "controls/Label.h"

#include "controls/Accessible.h"

#include <QEvent>
#include <QPainter>

QColor ResolveColor(int32_t value, const QPalette& palette) {
    const auto bits = static_cast<uint32_t>(value);
    if (bits & 0x80000000u) {
        struct Role {
            QPalette::ColorGroup group;
            QPalette::ColorRole role;
        };
        // The system colours in the order of their numbers.
        static constexpr Role Table[25] = {
            {QPalette::Active, QPalette::Button},            // scroll bar
            {QPalette::Active, QPalette::Dark},              // desktop background
            {QPalette::Active, QPalette::Highlight},         // active caption
            {QPalette::Inactive, QPalette::Highlight},       // inactive caption
            {QPalette::Active, QPalette::Window},            // menu
            {QPalette::Active, QPalette::Base},              // window
            {QPalette::Active, QPalette::Shadow},            // window frame
            {QPalette::Active, QPalette::WindowText},        // menu text
            {QPalette::Active, QPalette::Text},              // window text
            {QPalette::Active, QPalette::HighlightedText},   // caption text
            {QPalette::Active, QPalette::Window},            // active border
            {QPalette::Inactive, QPalette::Window},          // inactive border
            {QPalette::Active, QPalette::Dark},              // application workspace
            {QPalette::Active, QPalette::Highlight},         // highlight
            {QPalette::Active, QPalette::HighlightedText},   // highlighted text
            {QPalette::Active, QPalette::Button},            // button face
            {QPalette::Active, QPalette::Dark},              // button shadow
            {QPalette::Disabled, QPalette::Text},            // grey text
            {QPalette::Active, QPalette::ButtonText},        // button text
            {QPalette::Inactive, QPalette::HighlightedText}, // inactive caption text
            {QPalette::Active, QPalette::Light},             // button highlight
            {QPalette::Active, QPalette::Shadow},            // 3D dark shadow
            {QPalette::Active, QPalette::Midlight},          // 3D light
            {QPalette::Active, QPalette::ToolTipText},       // tooltip text
            {QPalette::Active, QPalette::ToolTipBase},       // tooltip background
        };
        const uint32_t n = bits & 0x7FFFFFFFu;
        if (n >= 25) return QColor(0, 0, 0);
        return palette.color(Table[n].group, Table[n].role);
    }
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

TLabel::TLabel(QWidget* parent) : QWidget(parent) {
    UseAccessibleControls();
}

void TLabel::SetCaption(const QString& text) {
    if (text == Text) return;
    Text = text;
    // Measuring text loads fonts and the shaper; a label in a hidden window waits until shown.
    if (isVisible())
        Fit();
    else
        NeedsFit = true;
    update();
    // A screen reader reads the label's text as its name.
    AnnounceNameChange(this);
}

void TLabel::SetFontColor(int32_t value) {
    if (value == Color) return;
    Color = value;
    update();
}

void TLabel::Fit() {
    NeedsFit = false;
    const QFontMetrics metrics(font());
    resize(metrics.horizontalAdvance(Text), metrics.height());
}

void TLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) NeedsFit = true;
    QWidget::changeEvent(event);
}

void TLabel::showEvent(QShowEvent* event) {
    if (NeedsFit) Fit();
    QWidget::showEvent(event);
}

QSize TLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(Text), metrics.height());
}

void TLabel::paintEvent(QPaintEvent*) {
    if (Text.isEmpty()) return;
    QPainter painter(this);
    painter.setPen(ResolveColor(Color, palette()));
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Text);
}
