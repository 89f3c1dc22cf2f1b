#include "console/form_annotation.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "console/widget_helpers.h"

namespace cvh {

namespace {

// The annotation text travels in a 200-character buffer with its terminator.
constexpr int kAnnotationMaxLength = 199;

}  // namespace

AnnotationForm::AnnotationForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAnnotationForm"));
    setWindowTitle(QStringLiteral("Annotate Archive File"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(false);

    // Water samples: the label shows the next number, the arrows change it.
    auto* sample = new QHBoxLayout;
    sample->addWidget(
        named(new QLabel(QStringLiteral("Next Water Sample:  1"), this), QStringLiteral("LBNext")));
    auto* next = named(new QSpinBox(this), QStringLiteral("UDNext"));
    next->setRange(1, 1000);
    next->setValue(1);
    next->findChild<QLineEdit*>()->setVisible(false);
    next->setFixedWidth(22);
    sample->addWidget(next);
    sample->addStretch(1);

    auto* sampleButtons = new QHBoxLayout;
    sampleButtons->addWidget(button(this, "BTStart", "Start Water Sample"));
    sampleButtons->addWidget(button(this, "BTEnd", "End Water Sample"));
    sampleButtons->addWidget(button(this, "BTReset", "Reset Sample Count"));

    auto* text = new QHBoxLayout;
    auto* edit = named(new QLineEdit(QStringLiteral("Annotate Here"), this),
                       QStringLiteral("EDITAnnotation"));
    edit->setMaxLength(kAnnotationMaxLength);
    edit->setMinimumWidth(300);
    text->addWidget(edit, 1);
    text->addWidget(button(this, "BTSend", "Insert Annotation"));

    auto* heading =
        named(new QLabel(QStringLiteral("Last Annotation"), this), QStringLiteral("lbx"));
    QFont underlined = heading->font();
    underlined.setUnderline(true);
    heading->setFont(underlined);
    auto* stamp =
        named(new QLabel(QStringLiteral("Date and Time"), this), QStringLiteral("AnnotateDANDT"));
    auto* last = named(new QLabel(QStringLiteral("Last Annotation..."), this),
                       QStringLiteral("LBAnnotation"));
    last->setWordWrap(true);

    auto* close = new QHBoxLayout;
    close->addStretch(1);
    close->addWidget(button(this, "BTClose", "Close"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sample);
    layout->addLayout(sampleButtons);
    layout->addSpacing(8);
    layout->addLayout(text);
    layout->addSpacing(8);
    layout->addWidget(heading);
    layout->addWidget(stamp);
    layout->addWidget(last);
    layout->addSpacing(8);
    layout->addLayout(close);
}

}  // namespace cvh
