#include "MessageBoxUpdateAlerts.h"

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void saveScreenshot(QMessageBox& box, const QString& name)
{
    // Showing lets the box choose its size as it does on screen (offscreen, nothing appears).
    box.show();
    const QImage image = box.grab().toImage();
    QDir().mkpath(QStringLiteral(LUMATICK_SCREENSHOT_DIR));
    EXPECT_TRUE(image.save(QStringLiteral(LUMATICK_SCREENSHOT_DIR "/") + name + u".png"_s));
}

QStringList buttonTexts(const QMessageBox& box)
{
    QStringList texts;
    for (const QAbstractButton* button : box.buttons())
        texts.append(button->text().remove(u'&'));
    texts.sort();
    return texts;
}

TEST(MessageBoxUpdateAlertsTest, upToDateAlertHasMessageTextAndOk)
{
    const auto box = MessageBoxUpdateAlerts::messageBox(u"You're up to date!"_s,
                                                        u"Lumatick 0.1.0 is the latest version."_s);
    EXPECT_EQ(box->text(), u"You're up to date!"_s);
    EXPECT_EQ(box->informativeText(), u"Lumatick 0.1.0 is the latest version."_s);
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    EXPECT_EQ(buttonTexts(*box), QStringList{u"OK"_s});
    saveScreenshot(*box, u"update-up-to-date"_s);
}

// The release notes link is escaped into the rich text, so a feed cannot inject markup.
TEST(MessageBoxUpdateAlertsTest, offerNamesBothVersionsAndLinksReleaseNotes)
{
    AppcastItem item;
    item.version = u"12"_s;
    item.shortVersion = u"1.2<b>"_s;
    item.releaseNotesLink = QUrl(u"https://example.org/notes/1.2.html?a=1&b=2"_s);
    const auto box = MessageBoxUpdateAlerts::offerBox(item, u"0.1.0"_s);
    EXPECT_EQ(box->informativeText(),
              u"Version 1.2&lt;b&gt; is available; you have 0.1.0.<br><a "
              u"href=\"https://example.org/notes/1.2.html?a=1&amp;b=2\">Release notes</a>"_s);
    EXPECT_EQ(buttonTexts(*box), (QStringList{u"Download"_s, u"Later"_s}));
    saveScreenshot(*box, u"update-available"_s);
}

} // namespace
