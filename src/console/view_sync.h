// Copying core view state into widgets: texts, visibility and the colours the core names.
// Widgets are only touched when a value differs, so a refresh with nothing new costs little.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QString>
#include <QWidget>
#include <string>

#include "session/colour.h"
#include "session/setup_exchange_forms.h"

namespace cvh {

inline QString qs(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<int>(s.size()));
}

// A control a binding names, looked up once when the binding is made. A window without it is a
// programming error: the program stops at start-up (and every widget test fails) instead of
// the control silently not working.
template <class W>
W* require(const QObject& parent, const QString& name) {
    W* w = parent.findChild<W*>(name);
    if (!w)
        qFatal("no control named %s in %s", qPrintable(name), qPrintable(parent.objectName()));
    return w;
}
template <class W>
W* require(const QObject& parent, const char* name) {
    return require<W>(parent, QLatin1String(name));
}

// Background of a control; the button face is the style's own.
void setColour(QWidget* w, Colour c);
void setText(QLabel* label, const std::string& text);
void setText(QAbstractButton* button, const std::string& text);
void setShown(QWidget* w, bool visible);
void applyLabel(QLabel* label, const LabelState& state);
// Index and visibility without firing the box's change signals.
void applyCombo(QComboBox* box, const ComboState& state);
void applyCombo(QComboBox* box, int index);
void applySpin(QSpinBox* spin, int value);

}  // namespace cvh
