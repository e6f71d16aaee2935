#include "CsvSaveDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

QString startDirectory()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

} // namespace

CsvSaveDialog::CsvSaveDialog(QWidget* parent)
    : m_parent(parent)
{}

std::optional<QString> CsvSaveDialog::chooseSaveLocation(const QString& suggestedName)
{
    QFileDialog dialog(m_parent ? m_parent.data() : QApplication::activeWindow(), u"Export CSV"_s,
                       startDirectory());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(u"Comma-separated values (*.csv)"_s);
    dialog.setDefaultSuffix(u"csv"_s);
    dialog.selectFile(suggestedName);
    // Creating folders is allowed as long as the dialog is not read-only, which is the default.
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.constFirst();
}
