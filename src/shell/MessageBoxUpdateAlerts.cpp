#include "MessageBoxUpdateAlerts.h"

#include "WindowIcon.h"

#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

std::unique_ptr<QMessageBox> MessageBoxUpdateAlerts::messageBox(const QString& message,
                                                                const QString& informativeText)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Information, QString(), message, QMessageBox::Ok);
    box->setInformativeText(informativeText);
    return box;
}

std::unique_ptr<QMessageBox> MessageBoxUpdateAlerts::offerBox(const AppcastItem& item,
                                                              const QString& runningVersion)
{
    auto box =
        std::make_unique<QMessageBox>(QMessageBox::Information, QString(), u"A new version is available!"_s);
    QString text = u"Version %1 is available; you have %2."_s.arg(item.displayVersion().toHtmlEscaped(),
                                                                  runningVersion.toHtmlEscaped());
    if (item.releaseNotesLink.isValid())
        text += u"<br><a href=\"%1\">Release notes</a>"_s.arg(
            item.releaseNotesLink.toString(QUrl::FullyEncoded).toHtmlEscaped());
    box->setTextFormat(Qt::RichText);
    box->setInformativeText(text);
    box->setDefaultButton(box->addButton(u"Download"_s, QMessageBox::AcceptRole));
    box->addButton(u"Later"_s, QMessageBox::RejectRole);
    return box;
}

void MessageBoxUpdateAlerts::showMessage(const QString& message, const QString& informativeText)
{
    WindowIcon::applyToApplication();
    messageBox(message, informativeText)->exec();
}

void MessageBoxUpdateAlerts::offerUpdate(const AppcastItem& item, const QString& runningVersion,
                                         std::function<void()> download)
{
    WindowIcon::applyToApplication();
    const std::unique_ptr<QMessageBox> box = offerBox(item, runningVersion);
    box->exec();
    if (box->buttonRole(box->clickedButton()) == QMessageBox::AcceptRole)
        download();
}
