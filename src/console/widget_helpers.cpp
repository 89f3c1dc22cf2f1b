#include "console/widget_helpers.h"

#include <QLineEdit>
#include <QPalette>

namespace cvh {

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    return named(new QPushButton(QString::fromLatin1(caption), parent), name);
}

QString numbered(const char* stem, int n, const char* tail) {
    return QString::fromLatin1(stem) + QString::number(n) + QString::fromLatin1(tail);
}

QStringList itemList(std::initializer_list<const char*> texts) {
    QStringList items;
    for (const char* text : texts)
        items << QString::fromLatin1(text);
    return items;
}

QSpinBox* upDown(QWidget* parent, const QString& name, int min, int max, int value, int step) {
    auto* spin = named(new QSpinBox(parent), name);
    spin->setRange(min, max);
    spin->setSingleStep(step);
    spin->setValue(value);
    spin->findChild<QLineEdit*>()->setVisible(false);
    spin->setFixedWidth(22);
    return spin;
}

QHBoxLayout* setupExchangeRow(QWidget* parent, int n) {
    auto* row = new QHBoxLayout;
    row->addWidget(
        named(new QPushButton(QStringLiteral("Get Setup"), parent), numbered("BTGetSetup", n)));
    row->addWidget(
        named(new QPushButton(QStringLiteral("Send Setup"), parent), numbered("BTSendSetup", n)));
    return row;
}

void addPolledButtons(QBoxLayout* layout, QWidget* parent, int first) {
    const char* captions[] = {"Polled-Wake", "Polled-Sleep"};
    for (int i = 0; i < 2; ++i) {
        auto* b = named(new QPushButton(QString::fromLatin1(captions[i]), parent),
                        numbered("Button", first + i));
        b->setVisible(false);
        layout->addWidget(b);
    }
}

QLabel* panelLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = named(new QLabel(text, parent), name);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Raised);
    label->setMinimumHeight(35);
    return label;
}

QLabel* notCurrentPanel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = panelLabel(parent, name, text);
    label->setAutoFillBackground(true);
    QPalette yellow = label->palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    yellow.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(yellow);
    label->setMargin(8);
    return label;
}

}  // namespace cvh
