#include "DesignStyle.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QPalette>
#include <QStringList>
#include <QWidget>
#include <optional>

namespace runtime {

namespace {

// What the declarations ask for; each unset member leaves the control's own value.
struct Declared {
    std::optional<QString> family;
    std::optional<double> points;
    std::optional<int> weight;
    std::optional<QFont::Style> style;
    std::optional<QColor> colour;
    std::optional<QColor> background;
};

// A colour as rgb(r, g, b) or #rrggbb.
std::optional<QColor> Colour(QStringView value) {
    if (value.size() == 7 && value.startsWith(u'#')) {
        const QColor colour = QColor::fromString(value);
        if (!colour.isValid()) return std::nullopt;
        return colour;
    }
    if (!value.startsWith(u"rgb(") || !value.endsWith(u')')) return std::nullopt;
    const QList<QStringView> parts = value.mid(4, value.size() - 5).split(u',');
    if (parts.size() != 3) return std::nullopt;
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        rgb[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || rgb[i] < 0 || rgb[i] > 255) return std::nullopt;
    }
    return QColor(rgb[0], rgb[1], rgb[2]);
}

// One "name: value" declaration; false when it is not one understood here.
bool Declare(QStringView name, QStringView value, Declared& declared) {
    bool ok = false;
    if (name == u"font-family") {
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')) value = value.mid(1, value.size() - 2);
        if (value.isEmpty() || value.contains(u'"') || value.contains(u',')) return false;
        declared.family = value.toString();
        return true;
    }
    if (name == u"font-size") {
        if (!value.endsWith(u"pt")) return false;
        const double points = value.chopped(2).toDouble(&ok);
        if (!ok || points <= 0) return false;
        declared.points = points;
        return true;
    }
    if (name == u"font-weight") {
        if (value == u"normal") {
            declared.weight = QFont::Normal;
        } else if (value == u"bold") {
            declared.weight = QFont::Bold;
        } else {
            const int weight = value.toInt(&ok);
            if (!ok || weight < 1 || weight > 1000) return false;
            declared.weight = weight;
        }
        return true;
    }
    if (name == u"font-style") {
        if (value == u"normal") {
            declared.style = QFont::StyleNormal;
        } else if (value == u"italic") {
            declared.style = QFont::StyleItalic;
        } else {
            return false;
        }
        return true;
    }
    if (name == u"color" || name == u"background-color") {
        const std::optional<QColor> colour = Colour(value);
        if (!colour) return false;
        (name == u"color" ? declared.colour : declared.background) = colour;
        return true;
    }
    return false;
}

// The declarations of a control's style sheet, bare or in a block that names the control.
std::optional<Declared> Parse(const QWidget* control, QStringView sheet) {
    sheet = sheet.trimmed();
    if (sheet.startsWith(u'#')) {
        const qsizetype open = sheet.indexOf(u'{');
        if (open < 0 || !sheet.endsWith(u'}') || sheet.mid(1, open - 1).trimmed() != control->objectName()) {
            return std::nullopt;
        }
        sheet = sheet.mid(open + 1, sheet.size() - open - 2);
    }
    Declared declared;
    for (QStringView declaration : sheet.split(u';', Qt::SkipEmptyParts)) {
        declaration = declaration.trimmed();
        if (declaration.isEmpty()) continue;
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0) return std::nullopt;
        if (!Declare(declaration.left(colon).trimmed(), declaration.mid(colon + 1).trimmed(), declared)) {
            return std::nullopt;
        }
    }
    return declared;
}

void SetColour(QPalette& palette, std::initializer_list<QPalette::ColorRole> roles, const QColor& colour) {
    for (QPalette::ColorRole role : roles) palette.setColor(role, colour);
}

// Applies a control's design style as its font and palette; false when the declarations
// are not all of the kinds this knows.
bool ApplyDesignStyle(QWidget* control, const QString& style) {
    const std::optional<Declared> declared = Parse(control, style);
    // A background is applied here to frames and labels, which have no look of their own
    // beneath it.
    if (!declared || (declared->background && !qobject_cast<QFrame*>(control))) return false;

    if (declared->family || declared->points || declared->weight || declared->style) {
        QFont font = control->font();
        if (declared->family) font.setFamilies({*declared->family});
        if (declared->points) font.setPointSizeF(*declared->points);
        if (declared->weight) font.setWeight(QFont::Weight(*declared->weight));
        if (declared->style) font.setStyle(*declared->style);
        control->setFont(font);
    }
    if (declared->colour || declared->background) {
        // The roles a style sheet's colours give a control in every colour group: the
        // background is the window, the base and the button behind the control, and a
        // frame's border is shaded from it; the colour is the text of buttons, labels and
        // text boxes alike, and the placeholder text at half its opacity.
        QPalette palette = control->palette();
        if (const std::optional<QColor>& background = declared->background) {
            SetColour(palette, {control->backgroundRole(), QPalette::Base, QPalette::Button, QPalette::Window},
                      *background);
            palette.setColor(QPalette::Light, background->lighter(115));
            palette.setColor(QPalette::Midlight, background->lighter(107));
            palette.setColor(QPalette::Dark, background->darker(150));
            palette.setColor(QPalette::Shadow, background->darker(300));
        }
        if (declared->colour) {
            SetColour(palette, {QPalette::ButtonText, control->foregroundRole(), QPalette::WindowText, QPalette::Text},
                      *declared->colour);
            QColor placeholder = *declared->colour;
            placeholder.setAlpha((placeholder.alpha() + 1) / 2);
            palette.setColor(QPalette::PlaceholderText, placeholder);
        }
        control->setPalette(palette);
        if (declared->background) control->setAutoFillBackground(true);
    }
    return true;
}

}  // namespace

void ApplyDesignStyles(QWidget* window) {
    const QString style = window->property(DesignStyleProperty).toString();
    if (!style.isEmpty() && !ApplyDesignStyle(window, style)) window->setStyleSheet(style);
    for (QObject* child : window->children()) {
        if (child->isWidgetType()) ApplyDesignStyles(static_cast<QWidget*>(child));
    }
}

}  // namespace runtime
