#include "console/view_sync.h"

#include <QVariant>

namespace cvh {

namespace {

const char* colourCss(Colour c) {
    switch (c) {
        case Colour::ButtonFace:
            return "";
        case Colour::Window:
            return "background-color: palette(base);";
        case Colour::Yellow:
            return "background-color: #ffff00; color: black;";
        case Colour::Red:
            return "background-color: #ff0000; color: white;";
        case Colour::Silver:
            return "background-color: #c0c0c0; color: black;";
        case Colour::Green:
            return "background-color: #008000; color: white;";
        case Colour::Lime:
            return "background-color: #00ff00; color: black;";
        case Colour::Aqua:
            return "background-color: #00ffff; color: black;";
        case Colour::White:
            return "background-color: #ffffff; color: black;";
    }
    return "";
}

}  // namespace

void setColour(QWidget* w, Colour c) {
    const QVariant last = w->property("cvhColour");
    if (last.isValid() && last.toInt() == static_cast<int>(c))
        return;
    w->setProperty("cvhColour", static_cast<int>(c));
    const char* css = colourCss(c);
    if (auto* box = qobject_cast<QComboBox*>(w))
        box->setStyleSheet(*css ? QStringLiteral("QComboBox { %1 }").arg(QLatin1String(css))
                                : QString());
    else
        w->setStyleSheet(QLatin1String(css));
    if (qobject_cast<QLabel*>(w))
        w->setAutoFillBackground(*css != 0);
}

void setText(QLabel* label, const std::string& text) {
    const QString t = qs(text);
    if (label->text() != t)
        label->setText(t);
}

void setText(QAbstractButton* button, const std::string& text) {
    const QString t = qs(text);
    if (button->text() != t)
        button->setText(t);
}

void setShown(QWidget* w, bool visible) {
    if (w->isHidden() == visible)
        w->setVisible(visible);
}

void applyLabel(QLabel* label, const LabelState& state) {
    setText(label, state.caption);
    setColour(label, state.colour);
    setShown(label, state.visible);
}

void applyCombo(QComboBox* box, const ComboState& state) {
    applyCombo(box, state.index);
    setShown(box, state.visible);
}

void applyCombo(QComboBox* box, int index) {
    if (box->currentIndex() == index)
        return;
    const QSignalBlocker block(box);
    box->setCurrentIndex(index);
}

void applySpin(QSpinBox* spin, int value) {
    if (spin->value() == value)
        return;
    const QSignalBlocker block(spin);
    spin->setValue(value);
}

}  // namespace cvh
