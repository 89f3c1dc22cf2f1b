#include "console/qt_operator.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace cvh {

namespace {

QString qs(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<int>(s.size()));
}

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

int ask(QWidget* parent, const std::string& caption, const std::string& text, Icon icon,
        QMessageBox::StandardButtons buttons) {
    QMessageBox box(qtIcon(icon), qs(caption), qs(text), buttons, parent);
    return box.exec();
}

}  // namespace

void QtOperator::notice(const std::string& caption, const std::string& text, bool beep) {
    if (beep)
        QApplication::beep();
    QMessageBox box(QMessageBox::Warning, qs(caption), qs(text), QMessageBox::Ok, parent_);
    box.exec();
}

Answer QtOperator::askOkCancel(const std::string& caption, const std::string& text, Icon icon,
                               bool beep) {
    if (beep)
        QApplication::beep();
    return ask(parent_, caption, text, icon, QMessageBox::Ok | QMessageBox::Cancel) ==
                   QMessageBox::Ok
               ? Answer::Ok
               : Answer::Cancel;
}

Answer QtOperator::askYesNo(const std::string& caption, const std::string& text, Icon icon,
                            bool beep) {
    if (beep)
        QApplication::beep();
    return ask(parent_, caption, text, icon, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes
               ? Answer::Yes
               : Answer::No;
}

Answer QtOperator::askYesNoCancel(const std::string& caption, const std::string& text, Icon icon) {
    switch (ask(parent_, caption, text, icon,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

std::optional<std::string> QtOperator::openFile(const FileDialogRequest& r) {
    const QString path =
        QFileDialog::getOpenFileName(parent_, qs(r.title), qs(r.initialName), qs(r.filter));
    if (path.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(path).toStdString();
}

std::optional<std::string> QtOperator::saveFile(const FileDialogRequest& r) {
    QFileDialog dialog(parent_, qs(r.title), qs(r.initialName), qs(r.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(qs(r.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
}

void QtOperator::beep() {
    QApplication::beep();
}

}  // namespace cvh
