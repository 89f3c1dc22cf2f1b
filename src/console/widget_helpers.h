// Small builders the pages and windows share: every control is made with its component name
// as objectName, so the bindings and tests find it by that name.
#pragma once

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <initializer_list>

namespace cvh {

template <class W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption);

// "stem" + n + "tail", the names of numbered rows (ComboMeter3, Port2LB).
QString numbered(const char* stem, int n, const char* tail = "");

QStringList itemList(std::initializer_list<const char*> texts);

template <std::size_t N>
QStringList itemList(const std::array<const char*, N>& texts) {
    QStringList items;
    for (const char* text : texts)
        items << QString::fromLatin1(text);
    return items;
}

// An up-down whose value the label beside it shows: only the arrows show.
QSpinBox* upDown(QWidget* parent, const QString& name, int min, int max, int value, int step = 1);

// The setup exchange row of a setup page: "Get Setup" BTGetSetup<n>, "Send Setup" BTSendSetup<n>.
QHBoxLayout* setupExchangeRow(QWidget* parent, int n);

// "Polled-Wake" Button<first> and "Polled-Sleep" Button<first + 1>, hidden: they appear only
// in polled moored mode.
void addPolledButtons(QBoxLayout* layout, QWidget* parent, int first);

// A raised, centred panel label of at least 35 pixels (the "not current" and status panels).
QLabel* panelLabel(QWidget* parent, const QString& name, const QString& text);

// A yellow panel telling the operator the values shown are not yet the logger's.
QLabel* notCurrentPanel(QWidget* parent, const QString& name, const QString& text);

}  // namespace cvh
