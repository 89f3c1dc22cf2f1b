#include "console/form_warning.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace cvh {

WarningForm::WarningForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("WARNING!!!"));
    setModal(false);

    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("Label1"));
    message_->setWordWrap(true);
    message_->setAlignment(Qt::AlignCenter);
    message_->setMinimumWidth(380);
    QFont font = message_->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    message_->setFont(font);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BTOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_, 1);
    layout->addSpacing(12);
    layout->addLayout(buttons);
}

void WarningForm::setMessage(const QString& text) {
    message_->setText(text);
}

QString WarningForm::message() const {
    return message_->text();
}

}  // namespace cvh
