#include "Look.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>

namespace runtime {

namespace {

// Fusion, drawing button faces with FacePalette.
class FixedLookStyle : public QProxyStyle {
public:
    FixedLookStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_PanelButtonCommand) {
            if (const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option)) {
                QStyleOptionButton face(*button);
                face.palette = FacePalette(button->palette);
                QProxyStyle::drawPrimitive(element, &face, painter, widget);
                return;
            }
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

}  // namespace

void UseFixedLook() {
    QApplication::setStyle(new FixedLookStyle);
    QApplication::setPalette(QApplication::style()->standardPalette());
}

QPalette FacePalette(const QPalette& button) {
    const QPalette application = QApplication::palette();
    return button == application ? application : button;
}

}  // namespace runtime
