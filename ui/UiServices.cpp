#include "ui/UiServices.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

#include "ui/Texts.h"

namespace ui {

namespace {

QString startPath(const QString& directory, const QString& name)
{
    if (name.isEmpty())
        return directory;
    return QDir(directory).filePath(name);
}

}  // namespace

QString QtUiServices::openDocumentPath(QWidget* parent, const QString& startDirectory, const QString& proposedName)
{
    QFileDialog dialog(parent, QString(), startPath(startDirectory, proposedName), DocumentFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(DocumentSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtUiServices::saveDocumentPath(QWidget* parent, const QString& startDirectory, const QString& proposedName)
{
    QFileDialog dialog(parent, QString(), startPath(startDirectory, proposedName), DocumentFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(DocumentSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString UiServices::saveExportPath(QWidget*, const QString&, const QString&, const QString&, const QString&)
{
    return {};
}

QString QtUiServices::saveExportPath(QWidget* parent, const QString& startDirectory, const QString& proposedName,
                                     const QString& filter, const QString& suffix)
{
    QFileDialog dialog(parent, QString(), startPath(startDirectory, proposedName), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

UiServices::Answer QtUiServices::askYesNoCancel(QWidget* parent, const QString& title, const QString& question)
{
    const auto button = QMessageBox::warning(parent, title, question,
                                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                             QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    if (button == QMessageBox::No)
        return Answer::No;
    return Answer::Cancel;
}

void QtUiServices::showError(QWidget* parent, const QString& title, const QString& message)
{
    QMessageBox::critical(parent, title, message);
}

void QtUiServices::beep()
{
    QApplication::beep();
}

}  // namespace ui
